#include "platform/win32/win32_trace.h"

#include <windows.h>

namespace platform::win32 {

void Win32Trace::Write(const std::wstring& line) noexcept {
    // A viewer shows each string as it comes; the line break ends the line there.
    ::OutputDebugStringW(line.c_str());
    ::OutputDebugStringW(L"\n");
}

}  // namespace platform::win32
