#include "cadsim/automation/documents.h"

#include "cadsim/automation/dispatch_base.h"
#include "cadsim/automation/document.h"

namespace cadsim::automation {
namespace {

enum Member : std::size_t { count, item };

class Documents final : public DispatchBase {
  public:
    explicit Documents(std::shared_ptr<AutomationContext> context)
        : DispatchBase(std::move(context), kDocuments) {}

  private:
    void Call(std::size_t member, const Arguments& arguments, Variant& result) override {
        const CadModel& model = Context().Model();
        if (member == count) {
            arguments.RequireCount(0, 0);
            result.SetInt32(static_cast<LONG>(model.DrawingCount()));
            return;
        }
        arguments.RequireCount(1, 1);
        const std::int32_t index = arguments.Int32(0);
        std::shared_ptr<Drawing> drawing =
            index < 0 ? nullptr : model.DrawingAt(static_cast<std::size_t>(index));
        if (!drawing) {
            Fail(member, L"index out of range");
        }
        result.SetObject(MakeDocument(SharedContext(), drawing).Get());
    }
};

}  // namespace

Microsoft::WRL::ComPtr<IDispatch> MakeDocuments(std::shared_ptr<AutomationContext> context) {
    Microsoft::WRL::ComPtr<IDispatch> documents;
    documents.Attach(new Documents(std::move(context)));
    return documents;
}

}  // namespace cadsim::automation
