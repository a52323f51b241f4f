#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace cadsim {

// UTF-16 to UTF-8, for the record file.
std::string ToUtf8(std::wstring_view text);

// "0x" followed by two upper-case hex digits: the form of a virtual-key code in the record.
std::string HexByte(unsigned value);

// "0x" followed by upper-case hex digits without leading zeros: the form of a window handle.
std::string HexValue(std::uintptr_t value);

}  // namespace cadsim
