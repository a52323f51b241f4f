#pragma once

#include <cstdint>
#include <string>

namespace platform::win32 {

// The system's message text for a Win32 error or an HRESULT, without its line break; the code
// in hexadecimal when the system has no text for it.
std::wstring SystemMessage(std::uint32_t code);

}  // namespace platform::win32
