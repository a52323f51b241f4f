#include "cadsim/automation/state.h"

#include "cadsim/automation/dispatch_base.h"

namespace cadsim::automation {
namespace {

class State final : public DispatchBase {
  public:
    explicit State(std::shared_ptr<AutomationContext> context)
        : DispatchBase(std::move(context), kState) {}

  private:
    void Call(std::size_t, const Arguments& arguments, Variant& result) override {
        arguments.RequireCount(0, 0);
        result.SetBool(!Context().Model().busy);  // the one member: IsQuiescent
    }
};

}  // namespace

Microsoft::WRL::ComPtr<IDispatch> MakeState(std::shared_ptr<AutomationContext> context) {
    Microsoft::WRL::ComPtr<IDispatch> state;
    state.Attach(new State(std::move(context)));
    return state;
}

}  // namespace cadsim::automation
