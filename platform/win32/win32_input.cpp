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

bool ReceiveMouseButtons(WindowHandle window, bool receive) {
    RAWINPUTDEVICE mouse{};
    mouse.usUsagePage = 0x01;  // generic desktop controls
    mouse.usUsage = 0x02;      // mouse
    mouse.dwFlags = receive ? RIDEV_INPUTSINK : RIDEV_REMOVE;
    mouse.hwndTarget = receive ? ToHwnd(window) : nullptr;
    return ::RegisterRawInputDevices(&mouse, 1, sizeof(mouse)) != FALSE;
}

bool AnyMouseButtonDown() {
    for (int button : {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON, VK_XBUTTON1, VK_XBUTTON2}) {
        if (::GetAsyncKeyState(button) < 0) {
            return true;
        }
    }
    return false;
}

namespace {

constexpr USHORT kButtonDownFlags = RI_MOUSE_LEFT_BUTTON_DOWN | RI_MOUSE_RIGHT_BUTTON_DOWN |
                                    RI_MOUSE_MIDDLE_BUTTON_DOWN | RI_MOUSE_BUTTON_4_DOWN |
                                    RI_MOUSE_BUTTON_5_DOWN;
constexpr USHORT kWheelFlags = RI_MOUSE_WHEEL | RI_MOUSE_HWHEEL;

std::optional<RawInputEvent> KeyEventOf(const RAWKEYBOARD& keyboard, bool fromDevice) {
    int key = keyboard.VKey;
    if (key == VK_LSHIFT || key == VK_RSHIFT) {
        key = VK_SHIFT;
    } else if (key == VK_LCONTROL || key == VK_RCONTROL) {
        key = VK_CONTROL;
    }
    // 0xFF: a scan code with no key. A Shift with the E0 prefix: the keyboard's stand-in Shift
    // around the cursor keys while Num Lock is on, not a key the user pressed or let go.
    if (key == 0xFF || (key == VK_SHIFT && (keyboard.Flags & RI_KEY_E0) != 0)) {
        return std::nullopt;
    }
    const bool up = (keyboard.Flags & RI_KEY_BREAK) != 0;
    return RawInputEvent{up ? RawInputEvent::Kind::KeyUp : RawInputEvent::Kind::KeyDown, key,
                         fromDevice};
}

}  // namespace

std::optional<RawInputEvent> RawInputEventOf(const RAWINPUT& raw) {
    const bool fromDevice = raw.header.hDevice != nullptr;
    if (raw.header.dwType == RIM_TYPEKEYBOARD) {
        return KeyEventOf(raw.data.keyboard, fromDevice);
    }
    if (raw.header.dwType != RIM_TYPEMOUSE) {
        return std::nullopt;
    }
    const USHORT flags = raw.data.mouse.usButtonFlags;
    if ((flags & kButtonDownFlags) != 0) {
        return RawInputEvent{RawInputEvent::Kind::MouseButtonDown, 0, fromDevice};
    }
    if ((flags & kWheelFlags) != 0) {
        return RawInputEvent{RawInputEvent::Kind::Wheel, 0, fromDevice};
    }
    return std::nullopt;
}

std::optional<RawInputEvent> RawInputEventOf(std::intptr_t input) {
    RAWINPUT raw{};
    UINT size = sizeof(raw);
    const UINT read = ::GetRawInputData(reinterpret_cast<HRAWINPUT>(input), RID_INPUT, &raw, &size,
                                        sizeof(RAWINPUTHEADER));
    if (read == static_cast<UINT>(-1) || read < sizeof(RAWINPUTHEADER)) {
        return std::nullopt;
    }
    return RawInputEventOf(raw);
}

}  // namespace platform::win32
