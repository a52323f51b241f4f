#pragma once

#include <cstdint>
#include <optional>

#include "platform/ime.h"
#include "platform/keyboard.h"
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

// The virtual-key code of a key press carried by WM_INPUT (its lParam); none for a release,
// another device or input that cannot be read. Either Shift or Ctrl comes as its generic code.
std::optional<int> KeyPressOfRawInput(std::intptr_t input);

}  // namespace platform::win32
