#include <windows.h>
#include <oleauto.h>
#include <wrl/client.h>

#include "platform/win32/com_automation.h"

#include <optional>
#include <type_traits>
#include <variant>

#include "platform/win32/system_message.h"
#include "platform/win32/unique_com_values.h"

namespace platform::win32 {
namespace {

using Microsoft::WRL::ComPtr;

[[noreturn]] void Fail(const std::wstring& member, HRESULT result, const std::wstring& detail) {
    const auto code = static_cast<std::uint32_t>(result);
    const std::wstring reason = detail.empty() ? SystemMessage(code) : detail;
    throw AutomationError(member + L": " + reason + L" (" + HexCode(code) + L")", member, code);
}

// A failed call becomes the automation error, with the server's description where it gave one
// and the system's text for the code otherwise.
void ThrowIfFailed(const std::wstring& member, HRESULT status, const std::wstring& detail = {}) {
    if (FAILED(status)) {
        Fail(member, status, detail);
    }
}

bool IsObject(VARTYPE type) { return type == VT_DISPATCH || type == VT_UNKNOWN; }

constexpr WORD kGet = DISPATCH_METHOD | DISPATCH_PROPERTYGET;

class ComObject final : public AutomationObject {
  public:
    explicit ComObject(ComPtr<IDispatch> dispatch) : dispatch_(std::move(dispatch)) {}

    IDispatch* Dispatch() const { return dispatch_.Get(); }

    std::wstring GetText(const std::wstring& member) override {
        return GetValue(member, VT_BSTR,
                        [](const VARIANT& value) { return BstrText(value.bstrVal); });
    }

    std::int32_t GetInteger(const std::wstring& member) override {
        return GetValue(member, VT_I4,
                        [](const VARIANT& value) { return static_cast<std::int32_t>(value.lVal); });
    }

    bool GetBool(const std::wstring& member) override {
        return GetValue(member, VT_BOOL,
                        [](const VARIANT& value) { return value.boolVal != VARIANT_FALSE; });
    }

    std::uint64_t GetHandle(const std::wstring& member) override {
        Variant result;
        Invoke(member, kGet, {}, result.get());
        const VARIANT& value = *result;
        // Handles are sign-extended from 32 bits, as the system extends them.
        switch (value.vt) {
            case VT_I1:
                return static_cast<std::uint64_t>(static_cast<std::int64_t>(value.cVal));
            case VT_I2:
                return static_cast<std::uint64_t>(static_cast<std::int64_t>(value.iVal));
            case VT_I4:
            case VT_INT:
                return static_cast<std::uint64_t>(static_cast<std::int64_t>(value.lVal));
            case VT_UI1:
                return value.bVal;
            case VT_UI2:
                return value.uiVal;
            case VT_UI4:
            case VT_UINT:
                return static_cast<std::uint64_t>(
                    static_cast<std::int64_t>(static_cast<std::int32_t>(value.ulVal)));
            case VT_I8:
                return static_cast<std::uint64_t>(value.llVal);
            case VT_UI8:
                return value.ullVal;
            default:
                Fail(member, DISP_E_TYPEMISMATCH, L"the result is not an integer");
        }
    }

    std::unique_ptr<AutomationObject> GetObject(const std::wstring& member,
                                                const std::vector<Argument>& arguments) override {
        Variant result;
        Invoke(member, kGet, arguments, result.get());
        const VARIANT& value = *result;
        ComPtr<IDispatch> dispatch;
        if (value.vt == VT_DISPATCH && value.pdispVal != nullptr) {
            dispatch = value.pdispVal;
        } else if (value.vt == VT_UNKNOWN && value.punkVal != nullptr) {
            value.punkVal->QueryInterface(IID_PPV_ARGS(&dispatch));
        }
        if (!dispatch) {
            Fail(member, DISP_E_TYPEMISMATCH, L"the result is not an object");
        }
        return std::make_unique<ComObject>(std::move(dispatch));
    }

    void Call(const std::wstring& member, const std::vector<Argument>& arguments) override {
        Invoke(member, DISPATCH_METHOD, arguments, nullptr);
    }

  private:
    // A member's result converted to `type`, taken out of the converted value by `read`; an
    // object never counts as a value.
    template <typename Read>
    std::invoke_result_t<Read, const VARIANT&> GetValue(const std::wstring& member, VARTYPE type,
                                                        Read read) {
        Variant result;
        Invoke(member, kGet, {}, result.get());
        if (IsObject((*result).vt)) {
            Fail(member, DISP_E_TYPEMISMATCH, L"the result is an object");
        }
        Variant converted;
        ThrowIfFailed(member, ::VariantChangeType(converted.get(), result.get(), 0, type));
        return read(*converted);
    }

    void Invoke(const std::wstring& member, WORD flags, const std::vector<Argument>& arguments,
                VARIANT* result);

    ComPtr<IDispatch> dispatch_;
};

// The arguments of one call as IDispatch::Invoke takes them, last first. The caller owns
// whatever a by-reference slot holds after the call, so the texts and the objects lent to the
// server are held here and released with this object.
class ArgumentArray {
  public:
    ArgumentArray(const std::wstring& member, const std::vector<Argument>& arguments)
        : arguments_(arguments),
          slots_(arguments.size()),
          objects_(arguments.size()),
          texts_(arguments.size()) {
        for (std::size_t slot = 0; slot < slots_.size(); ++slot) {
            ::VariantInit(&slots_[slot]);
            Fill(member, slot);
        }
        parameters_ = DISPPARAMS{slots_.data(), nullptr, static_cast<UINT>(slots_.size()), 0};
    }
    ArgumentArray(const ArgumentArray&) = delete;
    ArgumentArray& operator=(const ArgumentArray&) = delete;

    DISPPARAMS* Parameters() { return &parameters_; }

    // Hands the texts passed by reference back to the caller, as the server left them.
    void CopyTextsBack() const {
        for (std::size_t slot = 0; slot < slots_.size(); ++slot) {
            if (const auto* text = std::get_if<TextByRef>(&ArgumentAt(slot))) {
                *text->text = texts_[slot]->Text();
            }
        }
    }

  private:
    const Argument& ArgumentAt(std::size_t slot) const {
        return arguments_[arguments_.size() - 1 - slot];
    }

    void Fill(const std::wstring& member, std::size_t slot) {
        VARIANT& variant = slots_[slot];
        const Argument& argument = ArgumentAt(slot);
        if (const auto* integer = std::get_if<std::int32_t>(&argument)) {
            variant.vt = VT_I4;
            variant.lVal = *integer;
        } else if (std::holds_alternative<Omitted>(argument)) {
            variant.vt = VT_ERROR;
            variant.scode = DISP_E_PARAMNOTFOUND;
        } else if (const auto* text = std::get_if<TextByRef>(&argument)) {
            texts_[slot].emplace(*text->text);
            variant.vt = VT_BSTR | VT_BYREF;
            variant.pbstrVal = texts_[slot]->Address();
        } else {
            const auto* object =
                dynamic_cast<const ComObject*>(std::get<ObjectByRef>(argument).object);
            if (object == nullptr) {
                Fail(member, E_INVALIDARG, L"the argument is not an automation object");
            }
            ComPtr<IDispatch> lent = object->Dispatch();
            VARIANT* held = objects_[slot].get();
            held->vt = VT_DISPATCH;
            held->pdispVal = lent.Detach();
            variant.vt = VT_VARIANT | VT_BYREF;
            variant.pvarVal = held;
        }
    }

    const std::vector<Argument>& arguments_;
    std::vector<VARIANT> slots_;
    std::vector<Variant> objects_;
    std::vector<std::optional<Bstr>> texts_;
    DISPPARAMS parameters_{};
};

void ComObject::Invoke(const std::wstring& member, WORD flags,
                       const std::vector<Argument>& arguments, VARIANT* result) {
    DISPID id = DISPID_UNKNOWN;
    std::wstring name = member;
    LPOLESTR names[] = {name.data()};
    ThrowIfFailed(member, dispatch_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id));

    ArgumentArray argumentArray(member, arguments);
    ExceptionInfo exception;
    UINT badArgument = 0;
    const HRESULT status =
        dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, argumentArray.Parameters(),
                          result, &exception, &badArgument);
    argumentArray.CopyTextsBack();
    ThrowIfFailed(member, status, exception.Description(status));
}

CLSID ClassOf(const std::wstring& progId) {
    CLSID clsid{};
    const HRESULT status = ::CLSIDFromProgID(progId.c_str(), &clsid);
    if (FAILED(status)) {
        // The user sees this one: the system's own text for the failure.
        const auto code = static_cast<std::uint32_t>(status);
        throw AutomationError(SystemMessage(code), progId, code);
    }
    return clsid;
}

}  // namespace

bool ComAutomation::IsActive(const std::wstring& progId) {
    const CLSID clsid = ClassOf(progId);
    ComPtr<IUnknown> running;
    const HRESULT status = ::GetActiveObject(clsid, nullptr, &running);
    // A busy server's refusal is no answer: the caller may ask again.
    if (IsRefusedCall(static_cast<std::uint32_t>(status))) {
        Fail(progId, status, {});
    }
    return SUCCEEDED(status);
}

std::unique_ptr<AutomationObject> ComAutomation::Attach(const std::wstring& progId) {
    const CLSID clsid = ClassOf(progId);
    ComPtr<IUnknown> running;
    ThrowIfFailed(progId, ::GetActiveObject(clsid, nullptr, &running));
    ComPtr<IDispatch> dispatch;
    ThrowIfFailed(progId, running.As(&dispatch));
    return std::make_unique<ComObject>(std::move(dispatch));
}

}  // namespace platform::win32
