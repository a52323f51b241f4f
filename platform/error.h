#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "platform/hex_digits.h"

namespace platform {

// The program's errors: a text for the user, shown by the application-wide handler.
class Error : public std::runtime_error {
  public:
    explicit Error(std::wstring message)
        : std::runtime_error("MERIDO_B error"), message_(std::move(message)) {}
    const std::wstring& Message() const noexcept { return message_; }

  private:
    std::wstring message_;
};

// An error code as "0x" and eight upper-case hexadecimal digits, for codes without a text.
inline std::wstring HexCode(std::uint32_t code) { return L"0x" + HexDigits(code, 8); }

}  // namespace platform
