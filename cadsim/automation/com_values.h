#pragma once

#include <windows.h>
#include <oleauto.h>

#include <memory>
#include <new>
#include <string>
#include <string_view>

namespace cadsim::automation {

struct BstrFreer {
    void operator()(BSTR text) const noexcept { ::SysFreeString(text); }
};
using UniqueBstr = std::unique_ptr<OLECHAR, BstrFreer>;

inline UniqueBstr MakeBstr(std::wstring_view text) {
    UniqueBstr result(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
    if (!result) {
        throw std::bad_alloc();
    }
    return result;
}

inline std::wstring BstrText(BSTR text) {
    return text == nullptr ? std::wstring() : std::wstring(text, ::SysStringLen(text));
}

// A VARIANT that clears itself.
class Variant {
  public:
    Variant() noexcept { ::VariantInit(&value_); }
    ~Variant() { ::VariantClear(&value_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;

    VARIANT* get() noexcept { return &value_; }
    const VARIANT* get() const noexcept { return &value_; }
    VARIANT* operator->() noexcept { return &value_; }
    const VARIANT* operator->() const noexcept { return &value_; }
    void SetText(std::wstring_view text) {
        UniqueBstr bstr = MakeBstr(text);
        ::VariantClear(&value_);
        value_.vt = VT_BSTR;
        value_.bstrVal = bstr.release();
    }
    void SetInt32(LONG number) noexcept {
        ::VariantClear(&value_);
        value_.vt = VT_I4;
        value_.lVal = number;
    }
    void SetBool(bool flag) noexcept {
        ::VariantClear(&value_);
        value_.vt = VT_BOOL;
        value_.boolVal = flag ? VARIANT_TRUE : VARIANT_FALSE;
    }
    // Takes a reference of its own to the object.
    void SetObject(IDispatch* object) noexcept {
        ::VariantClear(&value_);
        object->AddRef();
        value_.vt = VT_DISPATCH;
        value_.pdispVal = object;
    }
    // Hands the content to target, which must be empty or uninitialised; this becomes empty.
    void MoveTo(VARIANT& target) noexcept {
        target = value_;
        ::VariantInit(&value_);
    }

  private:
    VARIANT value_;
};

}  // namespace cadsim::automation
