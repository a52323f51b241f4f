#pragma once

#include <windows.h>

#include "app/dpi_scale.h"

namespace app {

// The DPI of the monitor the window is on; the screen's without a window.
UINT WindowDpi(HWND window);
// AdjustWindowRectExForDpi where the system has it, AdjustWindowRectEx elsewhere.
void AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, UINT dpi);
// The frame that a window of this style has at dpi, from AdjustWindowRectForDpi.
FrameInsets FrameAt(DWORD style, DWORD exStyle, UINT dpi);
// A font of the given character height (96-DPI pixels) scaled to dpi.
HFONT CreateScaledFont(const wchar_t* face, int height96, UINT dpi, BYTE charset);

}  // namespace app
