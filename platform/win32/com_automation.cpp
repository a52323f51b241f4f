#include <windows.h>
#include <oleauto.h>
#include <wrl/client.h>

#include "platform/win32/com_automation.h"

#include <optional>
#include <type_traits>

#include "platform/win32/system_message.h"

namespace platform::win32 {
namespace {

using Microsoft::WRL::ComPtr;

// A VARIANT that is cleared on every way out.
class Variant {
  public:
    Variant() { ::VariantInit(&value_); }
    ~Variant() { ::VariantClear(&value_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    VARIANT* get() { return &value_; }
    const VARIANT& operator*() const { return value_; }

  private:
    VARIANT value_;
};

// A BSTR that is freed on every way out; a callee may replace it through Address().
class Bstr {
  public:
    explicit Bstr(const std::wstring& text)
        : value_(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    ~Bstr() { ::SysFreeString(value_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR* Address() { return &value_; }
    std::wstring Text() const {
        return value_ == nullptr ? std::wstring() : std::wstring(value_, ::SysStringLen(value_));
    }

  private:
    BSTR value_;
};

// EXCEPINFO whose strings are freed on every way out.
struct ExceptionInfo : EXCEPINFO {
    ExceptionInfo() : EXCEPINFO{} {}
    ~ExceptionInfo() {
        ::SysFreeString(bstrSource);
        ::SysFreeString(bstrDescription);
        ::SysFreeString(bstrHelpFile);
    }
    ExceptionInfo(const ExceptionInfo&) = delete;
    ExceptionInfo& operator=(const ExceptionInfo&) = delete;
};

[[noreturn]] void Fail(const std::wstring& member, HRESULT result, const std::wstring& detail) {
    const auto code = static_cast<std::uint32_t>(result);
    const std::wstring reason = detail.empty() ? SystemMessage(code) : detail;
    throw AutomationError(member + L": " + reason + L" (" + HexCode(code) + L")", member, code);
}

bool IsObject(VARTYPE type) { return type == VT_DISPATCH || type == VT_UNKNOWN; }

// Converts a result to the type the caller relies on; an object never counts as a value.
void ConvertResult(const std::wstring& member, Variant& result, VARTYPE type, Variant& converted) {
    if (IsObject((*result).vt)) {
        Fail(member, DISP_E_TYPEMISMATCH, L"the result is an object");
    }
    const HRESULT status = ::VariantChangeType(converted.get(), result.get(), 0, type);
    if (FAILED(status)) {
        Fail(member, status, L"");
    }
}

class ComObject final : public AutomationObject {
  public:
    explicit ComObject(ComPtr<IDispatch> dispatch) : dispatch_(std::move(dispatch)) {}

    IDispatch* Dispatch() const { return dispatch_.Get(); }

    std::wstring GetText(const std::wstring& member) override {
        Variant result;
        Invoke(member, DISPATCH_METHOD | DISPATCH_PROPERTYGET, {}, result.get());
        Variant text;
        ConvertResult(member, result, VT_BSTR, text);
        const BSTR value = (*text).bstrVal;
        return value == nullptr ? std::wstring() : std::wstring(value, ::SysStringLen(value));
    }

    std::int32_t GetInteger(const std::wstring& member) override {
        Variant result;
        Invoke(member, DISPATCH_METHOD | DISPATCH_PROPERTYGET, {}, result.get());
        Variant integer;
        ConvertResult(member, result, VT_I4, integer);
        return (*integer).lVal;
    }

    bool GetBool(const std::wstring& member) override {
        Variant result;
        Invoke(member, DISPATCH_METHOD | DISPATCH_PROPERTYGET, {}, result.get());
        Variant boolean;
        ConvertResult(member, result, VT_BOOL, boolean);
        return (*boolean).boolVal != VARIANT_FALSE;
    }

    std::uint64_t GetHandle(const std::wstring& member) override {
        Variant result;
        Invoke(member, DISPATCH_METHOD | DISPATCH_PROPERTYGET, {}, result.get());
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
        Invoke(member, DISPATCH_METHOD | DISPATCH_PROPERTYGET, arguments, result.get());
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
    void Invoke(const std::wstring& member, WORD flags, const std::vector<Argument>& arguments,
                VARIANT* result);

    ComPtr<IDispatch> dispatch_;
};

void ComObject::Invoke(const std::wstring& member, WORD flags,
                       const std::vector<Argument>& arguments, VARIANT* result) {
    DISPID id = DISPID_UNKNOWN;
    std::wstring name = member;
    LPOLESTR names[] = {name.data()};
    HRESULT status = dispatch_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(status)) {
        Fail(member, status, L"");
    }

    // Automation takes the arguments last first.
    const std::size_t count = arguments.size();
    std::vector<VARIANT> slots(count);
    // The caller owns whatever a by-reference slot holds after the call, so the objects lent to
    // the server are held by the slots and cleared with them.
    std::vector<Variant> objects(count);
    std::vector<std::optional<Bstr>> texts(count);
    for (std::size_t slot = 0; slot < count; ++slot) {
        VARIANT& variant = slots[slot];
        ::VariantInit(&variant);
        const Argument& argument = arguments[count - 1 - slot];
        if (const auto* integer = std::get_if<std::int32_t>(&argument)) {
            variant.vt = VT_I4;
            variant.lVal = *integer;
        } else if (std::holds_alternative<Omitted>(argument)) {
            variant.vt = VT_ERROR;
            variant.scode = DISP_E_PARAMNOTFOUND;
        } else if (const auto* text = std::get_if<TextByRef>(&argument)) {
            texts[slot].emplace(*text->text);
            variant.vt = VT_BSTR | VT_BYREF;
            variant.pbstrVal = texts[slot]->Address();
        } else {
            const auto* object =
                dynamic_cast<const ComObject*>(std::get<ObjectByRef>(argument).object);
            if (object == nullptr) {
                Fail(member, E_INVALIDARG, L"the argument is not an automation object");
            }
            ComPtr<IDispatch> lent = object->Dispatch();
            VARIANT* held = objects[slot].get();
            held->vt = VT_DISPATCH;
            held->pdispVal = lent.Detach();
            variant.vt = VT_VARIANT | VT_BYREF;
            variant.pvarVal = held;
        }
    }

    DISPPARAMS parameters{slots.data(), nullptr, static_cast<UINT>(count), 0};
    ExceptionInfo exception;
    UINT badArgument = 0;
    status = dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters, result,
                               &exception, &badArgument);

    for (std::size_t slot = 0; slot < count; ++slot) {
        const Argument& argument = arguments[count - 1 - slot];
        if (const auto* text = std::get_if<TextByRef>(&argument)) {
            *text->text = texts[slot]->Text();
        }
    }
    if (FAILED(status)) {
        if (status == DISP_E_EXCEPTION && exception.pfnDeferredFillIn != nullptr) {
            exception.pfnDeferredFillIn(&exception);
        }
        const std::wstring description =
            status == DISP_E_EXCEPTION && exception.bstrDescription != nullptr
                ? std::wstring(exception.bstrDescription, ::SysStringLen(exception.bstrDescription))
                : std::wstring();
        Fail(member, status, description);
    }
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
    return SUCCEEDED(::GetActiveObject(clsid, nullptr, &running));
}

std::unique_ptr<AutomationObject> ComAutomation::Attach(const std::wstring& progId) {
    const CLSID clsid = ClassOf(progId);
    ComPtr<IUnknown> running;
    HRESULT status = ::GetActiveObject(clsid, nullptr, &running);
    if (FAILED(status)) {
        Fail(progId, status, L"");
    }
    ComPtr<IDispatch> dispatch;
    status = running.As(&dispatch);
    if (FAILED(status)) {
        Fail(progId, status, L"");
    }
    return std::make_unique<ComObject>(std::move(dispatch));
}

}  // namespace platform::win32
