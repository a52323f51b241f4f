#include "cadsim/automation/application.h"

#include <cstdint>

#include "cadsim/automation/document.h"
#include "cadsim/automation/documents.h"
#include "cadsim/automation/state.h"
#include "cadsim/automation/weak_table_marshal.h"

namespace cadsim::automation {
namespace {

enum Member : std::size_t { fullName, hwnd, activeDocument, documents, getAcadState };

// The main window handle in the variant type that the tests chose.
void SetHandle(Variant& result, HWND window, HwndType type) {
    const auto value = reinterpret_cast<std::uintptr_t>(window);
    switch (type) {
        case HwndType::i4:
            result->vt = VT_I4;
            result->lVal = static_cast<LONG>(static_cast<std::uint32_t>(value));
            break;
        case HwndType::ui4:
            result->vt = VT_UI4;
            result->ulVal = static_cast<ULONG>(value);
            break;
        case HwndType::i8:
            result->vt = VT_I8;
            result->llVal = static_cast<LONGLONG>(value);
            break;
    }
}

// The running object table holds the Application through a table-weak marshal (see
// WeakTableMarshal); the server's own reference keeps it alive while it is registered.
class Application final : public DispatchBase, public WeakTableMarshal {
  public:
    explicit Application(std::shared_ptr<AutomationContext> context)
        : DispatchBase(std::move(context), kApplication) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        return DispatchBase::QueryInterface(iid, object);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return DispatchBase::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return DispatchBase::Release(); }

  private:
    void* OwnInterface(REFIID iid) override {
        return iid == IID_IMarshal ? static_cast<IMarshal*>(this) : nullptr;
    }
    IUnknown* MarshalledObject() override { return static_cast<IDispatch*>(this); }

    void Call(std::size_t member, const Arguments& arguments, Variant& result) override {
        arguments.RequireCount(0, 0);
        const CadModel& model = Context().Model();
        switch (member) {
            case fullName:
                result.SetText(model.applicationPath);
                break;
            case hwnd:
                SetHandle(result, Context().MainWindow(), model.hwndType);
                break;
            case activeDocument: {
                const std::shared_ptr<Drawing> drawing = model.ActiveDrawing();
                if (!drawing) {
                    Fail(member, L"without an open drawing");
                }
                result.SetObject(MakeDocument(SharedContext(), drawing).Get());
                break;
            }
            case documents:
                result.SetObject(MakeDocuments(SharedContext()).Get());
                break;
            case getAcadState:
                result.SetObject(MakeState(SharedContext()).Get());
                break;
            default:
                break;
        }
    }
};

}  // namespace

Microsoft::WRL::ComPtr<DispatchBase> MakeApplication(std::shared_ptr<AutomationContext> context) {
    Microsoft::WRL::ComPtr<DispatchBase> application;
    application.Attach(new Application(std::move(context)));
    return application;
}

}  // namespace cadsim::automation
