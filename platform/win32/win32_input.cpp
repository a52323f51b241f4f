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

WindowHandle Win32Ime::DefaultImeWindow(WindowHandle window) {
    return FromHwnd(::ImmGetDefaultIMEWnd(ToHwnd(window)));
}

std::optional<std::intptr_t> Win32Ime::Control(WindowHandle imeWindow, std::uintptr_t request) {
    // The IME window belongs to AutoCAD's UI thread: an unbounded wait would freeze the panel
    // for as long as AutoCAD regenerates, plots or hangs.
    DWORD_PTR reply = 0;
    if (::SendMessageTimeoutW(ToHwnd(imeWindow), WM_IME_CONTROL, request, 0,
                              SMTO_ABORTIFHUNG | SMTO_ERRORONEXIT, kReplyLimitMs, &reply) == 0) {
        return std::nullopt;
    }
    return static_cast<std::intptr_t>(reply);
}

bool ReceiveAllKeyPresses(WindowHandle window) {
    RAWINPUTDEVICE keyboard{};
    keyboard.usUsagePage = 0x01;  // generic desktop controls
    keyboard.usUsage = 0x06;      // keyboard
    keyboard.dwFlags = RIDEV_INPUTSINK;
    keyboard.hwndTarget = ToHwnd(window);
    return ::RegisterRawInputDevices(&keyboard, 1, sizeof(keyboard)) != FALSE;
}

std::optional<int> KeyPressOfRawInput(std::intptr_t input) {
    RAWINPUT raw{};
    UINT size = sizeof(raw);
    const UINT read = ::GetRawInputData(reinterpret_cast<HRAWINPUT>(input), RID_INPUT, &raw, &size,
                                        sizeof(RAWINPUTHEADER));
    if (read == static_cast<UINT>(-1) || read < sizeof(RAWINPUTHEADER) ||
        raw.header.dwType != RIM_TYPEKEYBOARD || (raw.data.keyboard.Flags & RI_KEY_BREAK) != 0) {
        return std::nullopt;
    }
    return raw.data.keyboard.VKey;
}

}  // namespace platform::win32
