#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace e2e {

// Input as a person makes it: through the X server that Wine draws on (xdotool's XTEST
// events), so that it reaches Wine by the path of a real keyboard and mouse. Keys are given as
// virtual-key codes. Each function returns once the X server has taken all of it and Wine
// holds every key and button it leaves down (GetAsyncKeyState) and the pointer where it put it
// (GetCursorPos). A release is not awaited: Wine reads a window's X events only while its
// thread takes input, so the release of a key whose press closed a window or started a long
// command comes later, or with the window gone, never.

enum class MouseButton { kLeft, kRight, kMiddle, kBack, kForward };

// Moves the pointer there and waits until it has arrived.
void MoveTo(POINT screenPoint);
void ClickAt(POINT screenPoint);
void ClickCentreOf(HWND window);
// Clicks the window's centre until `clicked` holds, a few times at most; true when it held.
// Wine may lose the first clicks on a fresh display, which a person would simply repeat.
bool ClickCentreUntil(HWND window, const std::function<bool()>& clicked);
void RightClickAt(POINT screenPoint);
// A click with the modifiers held around it (Shift+click, Ctrl+click, Shift+right-click):
// modifiers down, the button held holdMs, the modifiers up, played as one piece.
void ClickWithModifiersAt(POINT screenPoint, MouseButton button,
                          std::initializer_list<WORD> modifiers, DWORD holdMs = 80);
// The wheel turned by notches (positive: away from the user) with the pointer there.
void TurnWheelAt(POINT screenPoint, int notches, std::initializer_list<WORD> modifiers = {});
void PressKey(WORD key);
void ReleaseKey(WORD key);
// Presses the modifiers, taps the key, releases the modifiers in reverse order. Wine has taken
// every press before the first release is made.
void TapKey(WORD key, std::initializer_list<WORD> modifiers = {});
// Holds the key (with the modifiers around it) for holdMs, kept to the millisecond by the X
// server: a lone Shift tap held 60 ms is HoldKey(VK_SHIFT, 60).
void HoldKey(WORD key, DWORD holdMs, std::initializer_list<WORD> modifiers = {});

// A timed sequence of input that the X server plays as one piece, so that its pauses are kept
// exactly: a chord typed fast, a Shift+click inside one tick. Play returns once the X server
// has played it and Wine holds every key and button that it leaves down.
class Gesture {
  public:
    Gesture& Press(WORD key);
    Gesture& Release(WORD key);
    Gesture& PressButton(MouseButton button);
    Gesture& ReleaseButton(MouseButton button);
    Gesture& MoveTo(POINT screenPoint);
    Gesture& Wheel(int notches);
    Gesture& Pause(DWORD ms);
    void Play() const;

  private:
    Gesture& Set(int virtualKey, bool down);

    std::string arguments_;
    bool pressesKeys_ = false;
    std::vector<std::pair<int, bool>> lastStates_;  // virtual-key code, down
};

// Presses and releases again every key that Wine holds down, so that a test starts with
// every key up.
void LetGoOfKeysLeftDown();

// The colour of one screen pixel, as the user sees it.
COLORREF ScreenPixel(POINT screenPoint);
POINT CentreOf(HWND window);

}  // namespace e2e
