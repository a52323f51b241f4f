#pragma once

#include <windows.h>

namespace app {

// The status lamp: a child window of class "TShape" that shows a solid fill inside a black
// one-pixel outline. It takes no input and lets mouse clicks through to the panel.
inline constexpr wchar_t kLampClassName[] = L"TShape";

void RegisterLampClass(HINSTANCE instance);
COLORREF LampFill(HWND lamp);
// Repaints only when the colour differs from the one shown.
void SetLampFill(HWND lamp, COLORREF colour);

}  // namespace app
