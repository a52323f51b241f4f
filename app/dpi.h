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
// The system's non-client metrics (the menu's and the boxes' fonts among them) for a window at
// dpi. In a per-monitor-aware program the plain call gives those of the sign-in DPI: it is the
// fallback where the system lacks the call for a DPI.
NONCLIENTMETRICSW NonClientMetricsAt(UINT dpi);
// A system metric (GetSystemMetrics' index) for a window at dpi, with the same fallback.
int SystemMetricAt(int index, UINT dpi);
// A font of the given character height (96-DPI pixels) scaled to dpi.
HFONT CreateScaledFont(const wchar_t* face, int height96, UINT dpi, BYTE charset);

}  // namespace app
