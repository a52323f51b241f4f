#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "platform/win32/unique_handles.h"
#include "platform/win32/win32_input.h"
#include "tests/support/wait.h"

namespace {

using platform::RawInputEvent;
using Kind = RawInputEvent::Kind;

RAWINPUT KeyboardInput(USHORT virtualKey, USHORT flags, bool device) {
    RAWINPUT raw{};
    raw.header.dwType = RIM_TYPEKEYBOARD;
    raw.header.hDevice = device ? reinterpret_cast<HANDLE>(0x1234) : nullptr;
    raw.data.keyboard.VKey = virtualKey;
    raw.data.keyboard.Flags = flags;
    return raw;
}

RAWINPUT MouseInput(int buttonFlags) {
    RAWINPUT raw{};
    raw.header.dwType = RIM_TYPEMOUSE;
    raw.header.hDevice = reinterpret_cast<HANDLE>(0x5678);
    raw.data.mouse.usButtonFlags = static_cast<USHORT>(buttonFlags);
    return raw;
}

bool Same(const std::optional<RawInputEvent>& event, Kind kind, int key, bool device) {
    return event && event->kind == kind && event->virtualKey == key && event->fromDevice == device;
}

TEST(RawInputEventTest, KeysComeWithTheirDirectionAndWhetherADeviceMadeThem) {
    EXPECT_TRUE(Same(platform::win32::RawInputEventOf(KeyboardInput('A', RI_KEY_MAKE, true)),
                     Kind::KeyDown, 'A', true));
    EXPECT_TRUE(Same(platform::win32::RawInputEventOf(KeyboardInput(0xE2, RI_KEY_BREAK, false)),
                     Kind::KeyUp, 0xE2, false));
    // Either side of Shift and Ctrl as the generic code; the right Ctrl carries E0.
    EXPECT_TRUE(Same(platform::win32::RawInputEventOf(KeyboardInput(VK_RSHIFT, 0, true)),
                     Kind::KeyDown, VK_SHIFT, true));
    EXPECT_TRUE(Same(
        platform::win32::RawInputEventOf(KeyboardInput(VK_CONTROL, RI_KEY_E0 | RI_KEY_BREAK, true)),
        Kind::KeyUp, VK_CONTROL, true));
    // The keyboard's stand-in Shift around the cursor keys, and a scan code with no key.
    EXPECT_FALSE(platform::win32::RawInputEventOf(KeyboardInput(VK_SHIFT, RI_KEY_E0, true)));
    EXPECT_FALSE(platform::win32::RawInputEventOf(KeyboardInput(0xFF, 0, true)));
}

TEST(RawInputEventTest, EveryButtonAndBothWheelsCountButMovementAndReleasesDoNot) {
    for (int flags :
         {RI_MOUSE_LEFT_BUTTON_DOWN, RI_MOUSE_RIGHT_BUTTON_DOWN, RI_MOUSE_MIDDLE_BUTTON_DOWN,
          RI_MOUSE_BUTTON_4_DOWN, RI_MOUSE_BUTTON_5_DOWN}) {
        EXPECT_TRUE(Same(platform::win32::RawInputEventOf(MouseInput(flags)), Kind::MouseButtonDown,
                         0, true))
            << flags;
    }
    for (int flags : {RI_MOUSE_WHEEL, RI_MOUSE_HWHEEL}) {
        EXPECT_TRUE(Same(platform::win32::RawInputEventOf(MouseInput(flags)), Kind::Wheel, 0, true))
            << flags;
    }
    for (int flags : {0, RI_MOUSE_LEFT_BUTTON_UP, RI_MOUSE_RIGHT_BUTTON_UP, RI_MOUSE_BUTTON_5_UP}) {
        EXPECT_FALSE(platform::win32::RawInputEventOf(MouseInput(flags))) << flags;
    }
    RAWINPUT hid{};
    hid.header.dwType = RIM_TYPEHID;
    EXPECT_FALSE(platform::win32::RawInputEventOf(hid));
}

// A window that keeps what its WM_INPUT messages carry.
std::vector<RawInputEvent> received;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INPUT) {
        if (const auto event = platform::win32::RawInputEventOf(lParam)) {
            received.push_back(*event);
        }
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void Send(std::vector<INPUT> inputs) {
    ASSERT_EQ(::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)),
              inputs.size());
}

INPUT Key(WORD key, DWORD flags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = flags;
    return input;
}

INPUT Mouse(DWORD flags, DWORD data) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    input.mi.mouseData = data;
    input.mi.dx = 1;
    return input;
}

// Real input through the system: the mouse comes only while it is taken, the keyboard always.
TEST(RawInputEventTest, TheMouseComesOnlyWhileItIsTaken) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = RecordingProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"MeridoRawInputWindow";
    ::RegisterClassExW(&windowClass);
    platform::win32::UniqueWindow window(
        ::CreateWindowExW(0, L"MeridoRawInputWindow", L"", WS_OVERLAPPED, 0, 0, 100, 50, nullptr,
                          nullptr, ::GetModuleHandleW(nullptr), nullptr));
    ASSERT_NE(window, nullptr);
    // Wine hands injected input to no process while no window is in front (as after a dialog
    // of an earlier test closed): a visible window of its own stands in for the program in front.
    platform::win32::UniqueWindow front(
        ::CreateWindowExW(0, L"MeridoRawInputWindow", L"front", WS_OVERLAPPED | WS_VISIBLE, 200,
                          200, 100, 50, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr));
    ASSERT_NE(front, nullptr);
    ::SetForegroundWindow(front.get());
    ASSERT_TRUE(
        test_support::WaitUntil([&] { return ::GetForegroundWindow() == front.get(); }, 5000));
    const auto handle = platform::win32::FromHwnd(window.get());
    ASSERT_TRUE(platform::win32::ReceiveAllKeyPresses(handle));
    ASSERT_TRUE(platform::win32::ReceiveMouseButtons(handle, true));
    received.clear();
    Send({Mouse(MOUSEEVENTF_MOVE, 0), Mouse(MOUSEEVENTF_WHEEL, WHEEL_DELTA), Key(VK_LSHIFT, 0),
          Key(VK_LSHIFT, KEYEVENTF_KEYUP)});
    ASSERT_TRUE(test_support::WaitUntil([] { return received.size() >= 3; }, 10000));
    ASSERT_EQ(received.size(), 3u);
    EXPECT_EQ(received[0].kind, Kind::Wheel);
    EXPECT_EQ(received[1].kind, Kind::KeyDown);
    EXPECT_EQ(received[1].virtualKey, VK_SHIFT);
    EXPECT_EQ(received[2].kind, Kind::KeyUp);

    ASSERT_TRUE(platform::win32::ReceiveMouseButtons(handle, false));
    received.clear();
    Send({Mouse(MOUSEEVENTF_WHEEL, WHEEL_DELTA), Key(VK_F24, 0), Key(VK_F24, KEYEVENTF_KEYUP)});
    ASSERT_TRUE(test_support::WaitUntil([] { return received.size() >= 2; }, 10000));
    // Anything that came after the keys would have come before them.
    EXPECT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].virtualKey, VK_F24);
}

}  // namespace
