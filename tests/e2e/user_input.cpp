#include "user_input.h"

#include <vector>

#include "tests/support/wait.h"

namespace e2e {
namespace {

INPUT MouseInput(POINT point, DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = ::MulDiv(point.x, 65535, ::GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = ::MulDiv(point.y, 65535, ::GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
    return input;
}

INPUT KeyInput(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

void Send(std::vector<INPUT> inputs) {
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

}  // namespace

// The pointer is moved first and the button pressed only once it has arrived, so that the click
// lands where it is meant to. Wine may drop the very first pointer motion of a fresh display, so
// the move is repeated until the pointer is there.
void MoveTo(POINT screenPoint) {
    const auto arrived = [&] {
        POINT cursor{};
        ::GetCursorPos(&cursor);
        return cursor.x == screenPoint.x && cursor.y == screenPoint.y;
    };
    for (int attempt = 0; attempt < 20 && !arrived(); ++attempt) {
        ::SetCursorPos(screenPoint.x, screenPoint.y);
        Send({MouseInput(screenPoint, MOUSEEVENTF_MOVE)});
        test_support::WaitUntil(arrived, 500);
    }
}

bool IsButton(HWND window) {
    wchar_t className[16] = {};
    ::GetClassNameW(window, className, 16);
    return ::lstrcmpiW(className, L"Button") == 0;
}

// The button is held as a person holds it: a button under the pointer is released once it
// shows itself pressed (its window has taken the press), anything else after a short moment.
// On a busy machine Wine may drop a press; a button that never showed itself pressed has not
// acted on it either, so the press is made again.
void ClickAt(POINT screenPoint) {
    constexpr DWORD kHoldMs = 100;  // a person's click, not an instant one
    MoveTo(screenPoint);
    HWND target = ::WindowFromPoint(screenPoint);
    if (!IsButton(target)) {
        Send({MouseInput(screenPoint, MOUSEEVENTF_LEFTDOWN)});
        ::Sleep(kHoldMs);
        Send({MouseInput(screenPoint, MOUSEEVENTF_LEFTUP)});
        return;
    }
    const auto pushed = [&] {
        return (::SendMessageW(target, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
    };
    for (int attempt = 0; attempt < 3; ++attempt) {
        Send({MouseInput(screenPoint, MOUSEEVENTF_LEFTDOWN)});
        const bool taken = test_support::WaitUntil(pushed, 5000);
        ::Sleep(kHoldMs);
        Send({MouseInput(screenPoint, MOUSEEVENTF_LEFTUP)});
        if (taken) {
            return;
        }
        test_support::WaitUntil([&] { return !pushed(); }, 5000);
    }
}

void RightClickAt(POINT screenPoint) {
    MoveTo(screenPoint);
    Send({MouseInput(screenPoint, MOUSEEVENTF_RIGHTDOWN),
          MouseInput(screenPoint, MOUSEEVENTF_RIGHTUP)});
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

void PressKey(WORD key) { Send({KeyInput(key, false)}); }

void ReleaseKey(WORD key) { Send({KeyInput(key, true)}); }

void TapKey(WORD key, std::initializer_list<WORD> modifiers) {
    std::vector<INPUT> inputs;
    for (WORD modifier : modifiers) {
        inputs.push_back(KeyInput(modifier, false));
    }
    inputs.push_back(KeyInput(key, false));
    inputs.push_back(KeyInput(key, true));
    for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it) {
        inputs.push_back(KeyInput(*it, true));
    }
    Send(std::move(inputs));
}

COLORREF ScreenPixel(POINT screenPoint) {
    HDC screen = ::GetDC(nullptr);
    const COLORREF colour = ::GetPixel(screen, screenPoint.x, screenPoint.y);
    ::ReleaseDC(nullptr, screen);
    return colour;
}

}  // namespace e2e
