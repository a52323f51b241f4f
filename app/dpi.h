#pragma once

#include <windows.h>

namespace app {

// Layout is written in 96-DPI units and scaled to the DPI of the monitor a window is on.
UINT WindowDpi(HWND window);
inline int Scale(int value96, UINT dpi) { return ::MulDiv(value96, static_cast<int>(dpi), 96); }
// AdjustWindowRectExForDpi where the system has it, AdjustWindowRectEx elsewhere.
void AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, UINT dpi);
// A font of the given character height (96-DPI pixels) scaled to dpi.
HFONT CreateScaledFont(const wchar_t* face, int height96, UINT dpi, BYTE charset);

}  // namespace app
