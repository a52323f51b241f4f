#include "cadsim/automation/variant_text.h"

#include <cstdio>
#include <optional>

#include "cadsim/automation/com_values.h"
#include "cadsim/text.h"

namespace cadsim::automation {
namespace {

// The conversion functions take their source by non-const pointer in some SDKs; they do not
// change it.
inline VARIANT* Source(const VARIANT& value) { return const_cast<VARIANT*>(&value); }

std::string BaseTypeName(VARTYPE type) {
    switch (type) {
        case VT_EMPTY:
            return "EMPTY";
        case VT_NULL:
            return "NULL";
        case VT_I1:
            return "I1";
        case VT_I2:
            return "I2";
        case VT_I4:
            return "I4";
        case VT_I8:
            return "I8";
        case VT_UI1:
            return "UI1";
        case VT_UI2:
            return "UI2";
        case VT_UI4:
            return "UI4";
        case VT_UI8:
            return "UI8";
        case VT_INT:
            return "INT";
        case VT_UINT:
            return "UINT";
        case VT_R4:
            return "R4";
        case VT_R8:
            return "R8";
        case VT_CY:
            return "CY";
        case VT_DATE:
            return "DATE";
        case VT_BSTR:
            return "BSTR";
        case VT_DISPATCH:
            return "DISPATCH";
        case VT_UNKNOWN:
            return "UNKNOWN";
        case VT_ERROR:
            return "ERROR";
        case VT_BOOL:
            return "BOOL";
        case VT_VARIANT:
            return "VARIANT";
        case VT_DECIMAL:
            return "DECIMAL";
        default:
            return std::to_string(type);
    }
}

std::string TypeName(VARTYPE type) {
    std::string name = BaseTypeName(type & VT_TYPEMASK);
    if ((type & VT_ARRAY) != 0) {
        name += "|ARRAY";
    }
    if ((type & VT_BYREF) != 0) {
        name += "|BYREF";
    }
    return name;
}

std::string Hex32(unsigned long value) {
    char text[16] = {};
    std::snprintf(text, sizeof(text), "0x%08lX", value);
    return text;
}

// The value of a plain (not referenced) variant; none for objects and empty values.
std::optional<std::string> PlainValueText(const VARIANT& value) {
    switch (value.vt) {
        case VT_EMPTY:
        case VT_NULL:
        case VT_DISPATCH:
        case VT_UNKNOWN:
            return std::nullopt;
        case VT_BSTR:
            return ToUtf8(BstrText(value.bstrVal));
        case VT_ERROR:
            return Hex32(static_cast<unsigned long>(value.scode));
        case VT_BOOL:
            return value.boolVal != VARIANT_FALSE ? "true" : "false";
        default:
            break;
    }
    if ((value.vt & VT_ARRAY) != 0) {
        return std::nullopt;
    }
    Variant text;
    if (FAILED(::VariantChangeType(text.get(), Source(value), 0, VT_BSTR))) {
        return "?";
    }
    return ToUtf8(BstrText(text->bstrVal));
}

std::optional<std::string> ValueText(const VARIANT& value) {
    if ((value.vt & VT_BYREF) == 0) {
        return PlainValueText(value);
    }
    if (value.byref == nullptr) {
        return "null";
    }
    if ((value.vt & VT_TYPEMASK) == VT_VARIANT) {
        return ArgumentText(*value.pvarVal);
    }
    Variant target;
    if (FAILED(::VariantCopyInd(target.get(), Source(value)))) {
        return "?";
    }
    return PlainValueText(*target.get());
}

}  // namespace

std::string ArgumentText(const VARIANT& value) {
    const std::optional<std::string> text = ValueText(value);
    return text ? TypeName(value.vt) + ":" + *text : TypeName(value.vt);
}

}  // namespace cadsim::automation
