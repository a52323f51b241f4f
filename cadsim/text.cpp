#include <windows.h>

#include "cadsim/text.h"

#include <stdexcept>

namespace cadsim {

std::string ToUtf8(std::wstring_view text) {
    if (text.empty()) {
        return {};
    }
    const int units = static_cast<int>(text.size());
    const int bytes =
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), units, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) {
        throw std::runtime_error("cannot convert text to UTF-8");
    }
    std::string result(static_cast<std::size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), units, result.data(), bytes, nullptr, nullptr);
    return result;
}

namespace {
constexpr char kHexDigits[] = "0123456789ABCDEF";
}

std::string HexByte(unsigned value) {
    std::string result = "0x";
    result += kHexDigits[(value >> 4) & 0xF];
    result += kHexDigits[value & 0xF];
    return result;
}

std::string HexValue(std::uintptr_t value) {
    std::string digits;
    do {
        digits.insert(digits.begin(), kHexDigits[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    return "0x" + digits;
}

}  // namespace cadsim
