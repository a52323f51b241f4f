#pragma once

#include <cstdint>
#include <optional>

#include "platform/ime.h"
#include "platform/keyboard.h"
#include "platform/raw_input.h"
#include "platform/window_handle.h"

namespace platform::win32 {

class Win32Keyboard final : public Keyboard {
  public:
    std::int16_t KeyState(int virtualKey) override;
    void SendKey(std::uint8_t virtualKey, bool release) override;
};

class Win32Ime final : public Ime {
  public:
    WindowHandle DefaultImeWindow(WindowHandle window) override;
    // Waits at most kReplyLimitMs for the reply, and not at all for a hung or ending thread.
    static constexpr unsigned kReplyLimitMs = 100;
    std::optional<std::intptr_t> Control(WindowHandle imeWindow, std::uintptr_t request) override;
};

// Key events of every keyboard as WM_INPUT messages to the window, also while another program
// has the focus: no hook, so a busy window delays only its own view of them. False when the
// system refuses.
bool ReceiveAllKeyPresses(WindowHandle window);

// Mouse buttons and the wheel as WM_INPUT messages to the window, also while another program
// has the focus; receive false stops them. Pointer movement comes too, so they are taken only
// while needed. False when the system refuses.
bool ReceiveMouseButtons(WindowHandle window, bool receive);

// Whether a mouse button (left, right, middle, X1, X2) is down now, whoever holds the focus.
bool AnyMouseButtonDown();

// The event carried by WM_INPUT (its lParam); none for pointer movement, another device, the
// keyboard's own stand-in Shift events around the cursor keys, or input that cannot be read.
std::optional<RawInputEvent> RawInputEventOf(std::intptr_t input);

}  // namespace platform::win32

struct tagRAWINPUT;

namespace platform::win32 {

// The same for raw input already read.
std::optional<RawInputEvent> RawInputEventOf(const tagRAWINPUT& raw);

}  // namespace platform::win32
