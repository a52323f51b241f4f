#pragma once

#include <windows.h>

#include <exception>
#include <optional>
#include <string>

namespace cadsim::automation {

// A member call that fails. Either an automation exception (DISP_E_EXCEPTION with a
// description in EXCEPINFO) or a plain dispatch status such as DISP_E_TYPEMISMATCH, which may
// name the offending argument by its position in rgvarg.
class AutomationError : public std::exception {
  public:
    static AutomationError Exception(std::wstring description, HRESULT code = E_FAIL) {
        return AutomationError(DISP_E_EXCEPTION, code, std::move(description), std::nullopt);
    }
    static AutomationError Status(HRESULT status, std::optional<UINT> argument = std::nullopt) {
        return AutomationError(status, status, {}, argument);
    }

    HRESULT Status() const noexcept { return status_; }
    HRESULT Code() const noexcept { return code_; }
    const std::wstring& Description() const noexcept { return description_; }
    std::optional<UINT> Argument() const noexcept { return argument_; }
    const char* what() const noexcept override { return "automation member failed"; }

  private:
    AutomationError(HRESULT status, HRESULT code, std::wstring description,
                    std::optional<UINT> argument)
        : status_(status), code_(code), description_(std::move(description)), argument_(argument) {}

    HRESULT status_;
    HRESULT code_;
    std::wstring description_;
    std::optional<UINT> argument_;
};

}  // namespace cadsim::automation
