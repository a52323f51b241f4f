#pragma once

#include <cstdint>
#include <string_view>

namespace settings {

// The one rule for reading a signed 32-bit integer from text; `fallback` for text it rejects.
// Leading blanks (not tabs), an optional sign, then decimal digits, or hexadecimal digits after
// "$", "x", "X", "0x" or "0X", and nothing after them. Decimal must fit the 32-bit range;
// hexadecimal may have up to eight significant digits, read as two's complement.
std::int32_t TextToIntOrDefault(std::wstring_view text, std::int32_t fallback);

}  // namespace settings
