#include "user_input.h"

#include <algorithm>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>

#include "tests/support/wait.h"
#include "x_key_names.h"
#include "x_server_input.h"

namespace e2e {
namespace {

// How long Wine may take to show what the X server handed it; it takes milliseconds, but a
// busy machine may keep its processes waiting.
constexpr DWORD kTakeLimitMs = 10000;

bool IsDown(int virtualKey) { return (::GetAsyncKeyState(virtualKey) & 0x8000) != 0; }

// Polls every millisecond, so that a timed sequence is not held up by the poll.
bool WaitBriefly(const std::function<bool()>& condition, DWORD limitMs) {
    const ULONGLONG deadline = ::GetTickCount64() + limitMs;
    while (!condition()) {
        if (::GetTickCount64() >= deadline) {
            return false;
        }
        ::Sleep(1);
    }
    return true;
}

struct ButtonCodes {
    int xButton;  // X's numbers: 1 left, 2 middle, 3 right, 8 and 9 the side buttons
    int virtualKey;
};

ButtonCodes CodesOf(MouseButton button) {
    constexpr ButtonCodes kCodes[] = {
        {1, VK_LBUTTON}, {3, VK_RBUTTON}, {2, VK_MBUTTON}, {8, VK_XBUTTON1}, {9, VK_XBUTTON2}};
    return kCodes[static_cast<int>(button)];
}

std::string Seconds(DWORD ms) {
    char text[32];
    std::snprintf(text, sizeof(text), "%lu.%03lu", ms / 1000, ms % 1000);
    return text;
}

bool IsButton(HWND window) {
    wchar_t className[16] = {};
    ::GetClassNameW(window, className, 16);
    return ::lstrcmpiW(className, L"Button") == 0;
}

// Keys go to the X window that has the X server's input focus, and Wine moves that focus only
// when the window it has just brought to the front gets round to it: a key typed right after a
// window came to the front would reach the window before it. The focus is therefore put on the
// front window's X window first, as a person's keyboard follows the window in front. A release
// goes wherever the focus is: the window that took the press may be gone.
std::string FocusOnTheFrontWindow() {
    HWND front = ::GetForegroundWindow();
    const auto xWindow =
        front != nullptr && ::IsWindowVisible(front)
            ? reinterpret_cast<std::uintptr_t>(::GetPropW(front, L"__wine_x11_whole_window"))
            : 0;
    return xWindow != 0 ? "windowfocus --sync " + std::to_string(xWindow) : "";
}

void PressButton(MouseButton button) { Gesture().PressButton(button).Play(); }
void ReleaseButton(MouseButton button) { Gesture().ReleaseButton(button).Play(); }

}  // namespace

Gesture& Gesture::Press(WORD key) {
    pressesKeys_ = true;
    arguments_ += " keydown --delay 0 " + KeysymOf(key);
    return Set(key, true);
}

Gesture& Gesture::Release(WORD key) {
    arguments_ += " keyup --delay 0 " + KeysymOf(key);
    return Set(key, false);
}

Gesture& Gesture::PressButton(MouseButton button) {
    arguments_ += " mousedown " + std::to_string(CodesOf(button).xButton);
    return Set(CodesOf(button).virtualKey, true);
}

Gesture& Gesture::ReleaseButton(MouseButton button) {
    arguments_ += " mouseup " + std::to_string(CodesOf(button).xButton);
    return Set(CodesOf(button).virtualKey, false);
}

Gesture& Gesture::MoveTo(POINT screenPoint) {
    arguments_ +=
        " mousemove " + std::to_string(screenPoint.x) + " " + std::to_string(screenPoint.y);
    return *this;
}

// X's buttons 4 and 5 are the wheel's notches away from and towards the user.
Gesture& Gesture::Wheel(int notches) {
    if (notches != 0) {
        arguments_ += " click --repeat " + std::to_string(std::abs(notches)) + " --delay 20 " +
                      (notches > 0 ? "4" : "5");
    }
    return *this;
}

Gesture& Gesture::Pause(DWORD ms) {
    arguments_ += " sleep " + Seconds(ms);
    return *this;
}

Gesture& Gesture::Set(int virtualKey, bool down) {
    const auto known = std::find_if(lastStates_.begin(), lastStates_.end(),
                                    [&](const auto& state) { return state.first == virtualKey; });
    if (known != lastStates_.end()) {
        known->second = down;
    } else {
        lastStates_.emplace_back(virtualKey, down);
    }
    return *this;
}

void Gesture::Play() const {
    if (arguments_.empty()) {
        return;
    }
    RunXdotool(arguments_.substr(1), pressesKeys_ ? FocusOnTheFrontWindow() : std::string());
    for (const auto& [virtualKey, down] : lastStates_) {
        if (down && !WaitBriefly([&] { return IsDown(virtualKey); }, kTakeLimitMs)) {
            char text[64];
            std::snprintf(text, sizeof(text), "Wine did not take key 0x%02X down", virtualKey);
            throw std::runtime_error(text);
        }
    }
}

// A pointer already where X has it makes no motion; a step aside and back makes one, should
// Wine's idea of the pointer differ from X's.
void MoveTo(POINT screenPoint) {
    const auto arrived = [&] {
        POINT cursor{};
        ::GetCursorPos(&cursor);
        return cursor.x == screenPoint.x && cursor.y == screenPoint.y;
    };
    for (int attempt = 0; attempt < 5 && !arrived(); ++attempt) {
        Gesture move;
        if (attempt > 0) {
            move.MoveTo(POINT{screenPoint.x > 0 ? screenPoint.x - 1 : 1, screenPoint.y});
        }
        move.MoveTo(screenPoint).Play();
        WaitBriefly(arrived, 2000);
    }
    if (!arrived()) {
        throw std::runtime_error("the pointer did not reach " + std::to_string(screenPoint.x) +
                                 "," + std::to_string(screenPoint.y));
    }
}

// The button is held as a person holds it: a button under the pointer is released once it
// shows itself pressed (its window has taken the press), anything else after a short moment.
// A button that never showed itself pressed has not acted on it either, so the press is made
// again.
void ClickAt(POINT screenPoint) {
    constexpr DWORD kHoldMs = 100;  // a person's click, not an instant one
    MoveTo(screenPoint);
    HWND target = ::WindowFromPoint(screenPoint);
    if (!IsButton(target)) {
        PressButton(MouseButton::kLeft);
        ::Sleep(kHoldMs);
        ReleaseButton(MouseButton::kLeft);
        return;
    }
    const auto pushed = [&] {
        return (::SendMessageW(target, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
    };
    for (int attempt = 0; attempt < 3; ++attempt) {
        PressButton(MouseButton::kLeft);
        const bool taken = test_support::WaitUntil(pushed, 5000);
        ::Sleep(kHoldMs);
        ReleaseButton(MouseButton::kLeft);
        if (taken) {
            return;
        }
        test_support::WaitUntil([&] { return !pushed(); }, 5000);
    }
}

void RightClickAt(POINT screenPoint) {
    MoveTo(screenPoint);
    PressButton(MouseButton::kRight);
    ReleaseButton(MouseButton::kRight);
}

void ClickWithModifiersAt(POINT screenPoint, MouseButton button,
                          std::initializer_list<WORD> modifiers, DWORD holdMs) {
    MoveTo(screenPoint);
    Gesture click;
    for (WORD modifier : modifiers) {
        click.Press(modifier);
    }
    click.Pause(50).PressButton(button).Pause(holdMs).ReleaseButton(button).Pause(50);
    for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it) {
        click.Release(*it);
    }
    click.Play();
}

void TurnWheelAt(POINT screenPoint, int notches, std::initializer_list<WORD> modifiers) {
    MoveTo(screenPoint);
    Gesture turn;
    for (WORD modifier : modifiers) {
        turn.Press(modifier);
    }
    turn.Pause(50).Wheel(notches).Pause(50);
    for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it) {
        turn.Release(*it);
    }
    turn.Play();
}

POINT CentreOf(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

void ClickCentreOf(HWND window) { ClickAt(CentreOf(window)); }

bool ClickCentreUntil(HWND window, const std::function<bool()>& clicked) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        ClickCentreOf(window);
        if (test_support::WaitUntil(clicked, 3000)) {
            return true;
        }
    }
    return false;
}

void PressKey(WORD key) { Gesture().Press(key).Play(); }

void ReleaseKey(WORD key) { Gesture().Release(key).Play(); }

void TapKey(WORD key, std::initializer_list<WORD> modifiers) {
    Gesture down;
    for (WORD modifier : modifiers) {
        down.Press(modifier);
    }
    down.Press(key).Play();
    Gesture up;
    up.Release(key);
    for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it) {
        up.Release(*it);
    }
    up.Play();
}

void HoldKey(WORD key, DWORD holdMs, std::initializer_list<WORD> modifiers) {
    Gesture hold;
    for (WORD modifier : modifiers) {
        hold.Press(modifier);
    }
    hold.Press(key).Pause(holdMs).Release(key);
    for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it) {
        hold.Release(*it);
    }
    hold.Play();
}

// A key whose press closed its window, or ended its process, may have its release go with the
// window: Wine then holds it down until it is pressed again.
void LetGoOfKeysLeftDown() {
    for (WORD key = VK_BACK; key < 0xFF; ++key) {
        if (key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU || !IsDown(key)) {
            continue;  // the generic modifier codes are let go through their left keys
        }
        try {
            HoldKey(key, 10);
        } catch (const std::invalid_argument&) {
            // a code without an X key here is never pressed by these functions
        }
    }
}

COLORREF ScreenPixel(POINT screenPoint) {
    HDC screen = ::GetDC(nullptr);
    const COLORREF colour = ::GetPixel(screen, screenPoint.x, screenPoint.y);
    ::ReleaseDC(nullptr, screen);
    return colour;
}

}  // namespace e2e
