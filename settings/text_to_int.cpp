#include "settings/text_to_int.h"

#include <optional>

namespace settings {
namespace {

int DigitValue(wchar_t c, bool hexadecimal) {
    if (c >= L'0' && c <= L'9') {
        return c - L'0';
    }
    if (hexadecimal && c >= L'a' && c <= L'f') {
        return c - L'a' + 10;
    }
    if (hexadecimal && c >= L'A' && c <= L'F') {
        return c - L'A' + 10;
    }
    return -1;
}

// The digits as an unsigned number, or nothing when a character is no digit or the value
// passes `limit`.
std::optional<std::uint64_t> ReadDigits(std::wstring_view digits, bool hexadecimal,
                                        std::uint64_t limit) {
    if (digits.empty()) {
        return std::nullopt;
    }
    const std::uint64_t base = hexadecimal ? 16 : 10;
    std::uint64_t value = 0;
    for (wchar_t c : digits) {
        const int digit = DigitValue(c, hexadecimal);
        if (digit < 0) {
            return std::nullopt;
        }
        value = value * base + static_cast<std::uint64_t>(digit);
        if (value > limit) {
            return std::nullopt;
        }
    }
    return value;
}

}  // namespace

std::int32_t TextToIntOrDefault(std::wstring_view text, std::int32_t fallback) {
    std::size_t position = text.find_first_not_of(L' ');
    if (position == std::wstring_view::npos) {
        return fallback;
    }
    text.remove_prefix(position);

    bool negative = false;
    if (text.front() == L'-' || text.front() == L'+') {
        negative = text.front() == L'-';
        text.remove_prefix(1);
    }

    bool hexadecimal = false;
    if (text.starts_with(L"0x") || text.starts_with(L"0X")) {
        hexadecimal = true;
        text.remove_prefix(2);
    } else if (text.starts_with(L"$") || text.starts_with(L"x") || text.starts_with(L"X")) {
        hexadecimal = true;
        text.remove_prefix(1);
    }

    // Decimal: up to 2147483648, which only a "-" makes valid. Hexadecimal: up to FFFFFFFF.
    const std::uint64_t limit = hexadecimal ? 0xFFFFFFFFull : 2147483648ull;
    const std::optional<std::uint64_t> magnitude = ReadDigits(text, hexadecimal, limit);
    if (!magnitude || (!hexadecimal && !negative && *magnitude > 2147483647ull)) {
        return fallback;
    }
    // Two's complement on 32 bits: FFFFFFFF is -1, and "-" wraps 80000000 onto itself.
    std::uint32_t bits = static_cast<std::uint32_t>(*magnitude);
    if (negative) {
        bits = ~bits + 1u;
    }
    return static_cast<std::int32_t>(bits);
}

}  // namespace settings
