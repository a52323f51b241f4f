#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>

namespace platform::win32 {

// Owning wrappers for the values automation calls hand over; each frees what it holds once, on
// every way out.

// A VARIANT, cleared when destroyed.
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

// The text of a BSTR; a null BSTR is the empty text.
inline std::wstring BstrText(BSTR text) {
    return text == nullptr ? std::wstring() : std::wstring(text, ::SysStringLen(text));
}

// A BSTR, freed when destroyed; a callee may replace it through Address().
class Bstr {
  public:
    explicit Bstr(const std::wstring& text)
        : value_(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    ~Bstr() { ::SysFreeString(value_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR* Address() { return &value_; }
    std::wstring Text() const { return BstrText(value_); }

  private:
    BSTR value_;
};

// EXCEPINFO, whose strings are freed when destroyed.
struct ExceptionInfo : EXCEPINFO {
    ExceptionInfo() : EXCEPINFO{} {}
    ~ExceptionInfo() {
        ::SysFreeString(bstrSource);
        ::SysFreeString(bstrDescription);
        ::SysFreeString(bstrHelpFile);
    }
    ExceptionInfo(const ExceptionInfo&) = delete;
    ExceptionInfo& operator=(const ExceptionInfo&) = delete;

    // The server's description of the failure of a call that returned `status`; fills in a
    // deferred description first. Empty when the server gave none.
    std::wstring Description(HRESULT status) {
        if (status != DISP_E_EXCEPTION) {
            return {};
        }
        if (pfnDeferredFillIn != nullptr) {
            pfnDeferredFillIn(this);
        }
        return BstrText(bstrDescription);
    }
};

}  // namespace platform::win32
