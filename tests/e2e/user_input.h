#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>

namespace e2e {

// Input as a user makes it, through the system's input stream.
// Moves the pointer there and waits until it has arrived.
void MoveTo(POINT screenPoint);
void ClickAt(POINT screenPoint);
void ClickCentreOf(HWND window);
// Clicks the window's centre until `clicked` holds, a few times at most; true when it held.
// Wine may lose the first clicks on a fresh display, which a person would simply repeat.
bool ClickCentreUntil(HWND window, const std::function<bool()>& clicked);
void RightClickAt(POINT screenPoint);
void PressKey(WORD key);
void ReleaseKey(WORD key);
// Presses the modifiers, taps the key, releases the modifiers in reverse order.
void TapKey(WORD key, std::initializer_list<WORD> modifiers = {});

// The colour of one screen pixel, as the user sees it.
COLORREF ScreenPixel(POINT screenPoint);
POINT CentreOf(HWND window);

}  // namespace e2e
