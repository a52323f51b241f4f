#include "user_input.h"

#include <vector>

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

void ClickAt(POINT screenPoint) {
    Send({MouseInput(screenPoint, MOUSEEVENTF_MOVE), MouseInput(screenPoint, MOUSEEVENTF_LEFTDOWN),
          MouseInput(screenPoint, MOUSEEVENTF_LEFTUP)});
}

void RightClickAt(POINT screenPoint) {
    Send({MouseInput(screenPoint, MOUSEEVENTF_MOVE), MouseInput(screenPoint, MOUSEEVENTF_RIGHTDOWN),
          MouseInput(screenPoint, MOUSEEVENTF_RIGHTUP)});
}

POINT CentreOf(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

void ClickCentreOf(HWND window) { ClickAt(CentreOf(window)); }

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
