#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

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
inline std::wstring HexCode(std::uint32_t code) {
    static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
    std::wstring text = L"0x";
    for (int shift = 28; shift >= 0; shift -= 4) {
        text += kDigits[(code >> shift) & 0xFu];
    }
    return text;
}

}  // namespace platform
