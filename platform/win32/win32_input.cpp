#include <windows.h>
#include <imm.h>

#include "platform/win32/win32_input.h"

#include "platform/win32/unique_handles.h"

namespace platform::win32 {

std::int16_t Win32Keyboard::KeyState(int virtualKey) {
    return static_cast<std::int16_t>(::GetKeyState(virtualKey));
}

void Win32Keyboard::SendKey(std::uint8_t virtualKey, bool release) {
    ::keybd_event(virtualKey, 0, release ? KEYEVENTF_KEYUP : 0, 0);
}

void Win32Keyboard::Sleep(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

WindowHandle Win32Ime::DefaultImeWindow(WindowHandle window) {
    return FromHwnd(::ImmGetDefaultIMEWnd(ToHwnd(window)));
}

std::intptr_t Win32Ime::Control(WindowHandle imeWindow, std::uintptr_t request) {
    return ::SendMessageW(ToHwnd(imeWindow), WM_IME_CONTROL, request, 0);
}

}  // namespace platform::win32
