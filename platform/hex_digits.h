#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

// The value in upper-case hexadecimal, padded with zeros to at least `minDigits` digits and
// never cut.
inline std::wstring HexDigits(std::uint64_t value, std::size_t minDigits) {
    static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
    std::wstring digits;
    do {
        digits.insert(digits.begin(), kDigits[value & 0xFu]);
        value >>= 4;
    } while (value != 0);
    if (digits.size() < minDigits) {
        digits.insert(0, minDigits - digits.size(), L'0');
    }
    return digits;
}

}  // namespace platform
