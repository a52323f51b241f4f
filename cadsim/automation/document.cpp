#include "cadsim/automation/document.h"

#include "cadsim/automation/automation_error.h"
#include "cadsim/automation/dispatch_base.h"
#include "cadsim/automation/exchange_file.h"
#include "cadsim/automation/selection_set.h"
#include "cadsim/text.h"

namespace cadsim::automation {
namespace {

enum Member : std::size_t { fullName, name, activate, activeSelectionSet, wblock };

class Document final : public DispatchBase {
  public:
    Document(std::shared_ptr<AutomationContext> context, std::weak_ptr<Drawing> drawing)
        : DispatchBase(std::move(context), kDocument), drawing_(std::move(drawing)) {}

  private:
    void Call(std::size_t member, const Arguments& arguments, Variant& result) override {
        CadModel& model = Context().Model();
        const std::shared_ptr<Drawing> drawing = drawing_.lock();
        if (!model.IsOpen(drawing)) {
            Fail(member, L"on a closed drawing");
        }
        if (member == wblock) {
            Wblock(arguments, *drawing);
            return;
        }
        arguments.RequireCount(0, 0);
        switch (member) {
            case fullName:
                result.SetText(drawing->fullName);
                break;
            case name:
                result.SetText(drawing->name);
                break;
            case activate:
                model.Activate(drawing);
                break;
            case activeSelectionSet:
                result.SetObject(MakeSelectionSet(SharedContext(), drawing).Get());
                break;
            default:
                break;
        }
    }

    // Wblock(file name, selection set): writes the set's entities to that file.
    void Wblock(const Arguments& arguments, const Drawing& drawing) {
        arguments.RequireCount(2, 2);
        const std::wstring path = arguments.Text(0);
        const std::shared_ptr<Drawing> selected = SelectionSetDrawing(arguments.Dispatch(1).Get());
        if (!selected) {
            throw AutomationError::Status(DISP_E_TYPEMISMATCH, 0);  // rgvarg[0]: the set
        }
        if (selected.get() != &drawing) {
            Fail(wblock, L"with the selection set of another drawing");
        }
        WriteExchangeFile(path, drawing.name, drawing.selected);
        Context().Record().Line("wrote " + ToUtf8(path) +
                                " entities=" + std::to_string(drawing.selected));
    }

    std::weak_ptr<Drawing> drawing_;
};

}  // namespace

Microsoft::WRL::ComPtr<IDispatch> MakeDocument(std::shared_ptr<AutomationContext> context,
                                               std::weak_ptr<Drawing> drawing) {
    Microsoft::WRL::ComPtr<IDispatch> document;
    document.Attach(new Document(std::move(context), std::move(drawing)));
    return document;
}

}  // namespace cadsim::automation
