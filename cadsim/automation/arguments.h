#pragma once

#include <windows.h>
#include <oaidl.h>
#include <wrl/client.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace cadsim::automation {

// A call's arguments in the caller's order (rgvarg holds them in reverse). The readers accept
// values by reference too and convert as automation does; a value that does not convert
// raises DISP_E_TYPEMISMATCH naming that argument.
class Arguments {
  public:
    explicit Arguments(const DISPPARAMS& params) : params_(params) {}

    std::size_t Count() const { return params_.cArgs; }
    const VARIANT& At(std::size_t position) const;
    // Raises DISP_E_BADPARAMCOUNT unless minimum <= Count() <= maximum.
    void RequireCount(std::size_t minimum, std::size_t maximum) const;

    std::int32_t Int32(std::size_t position) const;
    std::wstring Text(std::size_t position) const;
    Microsoft::WRL::ComPtr<IDispatch> Dispatch(std::size_t position) const;

  private:
    UINT RgvargIndex(std::size_t position) const;
    [[noreturn]] void Mismatch(std::size_t position) const;

    const DISPPARAMS& params_;
};

}  // namespace cadsim::automation
