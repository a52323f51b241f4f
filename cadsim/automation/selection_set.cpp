#include "cadsim/automation/selection_set.h"

#include "cadsim/automation/dispatch_base.h"

namespace cadsim::automation {
namespace {

// Answered by cadsim's selection sets alone, with their IDispatch: lets Wblock recognise the
// set it is given.
constexpr IID kSelectionSetIid = {
    0x0946ff33, 0xb603, 0x49dc, {0x86, 0xe6, 0x31, 0xf4, 0xa7, 0x09, 0xc5, 0xd3}};

constexpr int kSelectAll = 5;

enum Member : std::size_t { clear, select, count };

class SelectionSet final : public DispatchBase {
  public:
    SelectionSet(std::shared_ptr<AutomationContext> context, std::weak_ptr<Drawing> drawing)
        : DispatchBase(std::move(context), kSelectionSet), drawing_(std::move(drawing)) {}

    std::shared_ptr<Drawing> OpenDrawing() const {
        std::shared_ptr<Drawing> drawing = drawing_.lock();
        return Context().Attached() && Context().Model().IsOpen(drawing) ? drawing : nullptr;
    }

  private:
    void* OwnInterface(REFIID iid) override {
        return iid == kSelectionSetIid ? static_cast<IDispatch*>(this) : nullptr;
    }

    void Call(std::size_t member, const Arguments& arguments, Variant& result) override {
        const std::shared_ptr<Drawing> drawing = OpenDrawing();
        if (!drawing) {
            Fail(member, L"on a closed drawing");
        }
        switch (member) {
            case clear:
                arguments.RequireCount(0, 0);
                drawing->selected = 0;
                break;
            case select:
                // The mode, then four optional arguments (corners, filter) that mode 5 ignores.
                arguments.RequireCount(1, 5);
                if (arguments.Int32(0) != kSelectAll) {
                    Fail(member, L"supports mode 5 only");
                }
                drawing->selected = drawing->entityCount;
                break;
            case count:
                arguments.RequireCount(0, 0);
                result.SetInt32(drawing->selected);
                break;
            default:
                break;
        }
    }

    std::weak_ptr<Drawing> drawing_;
};

}  // namespace

Microsoft::WRL::ComPtr<IDispatch> MakeSelectionSet(std::shared_ptr<AutomationContext> context,
                                                   std::weak_ptr<Drawing> drawing) {
    Microsoft::WRL::ComPtr<IDispatch> set;
    set.Attach(new SelectionSet(std::move(context), std::move(drawing)));
    return set;
}

std::shared_ptr<Drawing> SelectionSetDrawing(IDispatch* object) {
    Microsoft::WRL::ComPtr<IDispatch> set;
    if (object == nullptr || FAILED(object->QueryInterface(
                                 kSelectionSetIid, reinterpret_cast<void**>(set.GetAddressOf())))) {
        return nullptr;
    }
    return static_cast<SelectionSet*>(set.Get())->OpenDrawing();
}

}  // namespace cadsim::automation
