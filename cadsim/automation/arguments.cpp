#include "cadsim/automation/arguments.h"

#include "cadsim/automation/automation_error.h"
#include "cadsim/automation/com_values.h"

namespace cadsim::automation {
namespace {

// The conversion functions take their source by non-const pointer in some SDKs; they do not
// change it.
inline VARIANT* Source(const VARIANT& value) { return const_cast<VARIANT*>(&value); }

}  // namespace

UINT Arguments::RgvargIndex(std::size_t position) const {
    return params_.cArgs - 1 - static_cast<UINT>(position);
}

const VARIANT& Arguments::At(std::size_t position) const {
    if (position >= Count()) {
        throw AutomationError::Status(DISP_E_BADPARAMCOUNT);
    }
    return params_.rgvarg[RgvargIndex(position)];
}

void Arguments::RequireCount(std::size_t minimum, std::size_t maximum) const {
    if (Count() < minimum || Count() > maximum) {
        throw AutomationError::Status(DISP_E_BADPARAMCOUNT);
    }
}

void Arguments::Mismatch(std::size_t position) const {
    throw AutomationError::Status(DISP_E_TYPEMISMATCH, RgvargIndex(position));
}

std::int32_t Arguments::Int32(std::size_t position) const {
    Variant value;
    if (FAILED(::VariantChangeType(value.get(), Source(At(position)), 0, VT_I4))) {
        Mismatch(position);
    }
    return value->lVal;
}

std::wstring Arguments::Text(std::size_t position) const {
    Variant value;
    if (FAILED(::VariantChangeType(value.get(), Source(At(position)), 0, VT_BSTR))) {
        Mismatch(position);
    }
    return BstrText(value->bstrVal);
}

Microsoft::WRL::ComPtr<IDispatch> Arguments::Dispatch(std::size_t position) const {
    // One level of reference is undone, so a VARIANT by reference yields the VARIANT it names.
    Variant value;
    if (FAILED(::VariantCopyInd(value.get(), Source(At(position)))) || value->vt != VT_DISPATCH ||
        value->pdispVal == nullptr) {
        Mismatch(position);
    }
    return Microsoft::WRL::ComPtr<IDispatch>(value->pdispVal);
}

}  // namespace cadsim::automation
