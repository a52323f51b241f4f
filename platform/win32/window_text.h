#pragma once

#include <windows.h>

#include <string>

namespace platform::win32 {

// A window's text (a title, a control's caption), up to its first NUL; with `bufferUnits`, at
// most bufferUnits - 1 characters of it. Empty when it has none or it cannot be read.
std::wstring WindowTextOf(HWND window, int bufferUnits = 0);

}  // namespace platform::win32
