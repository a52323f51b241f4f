#pragma once

#include "platform/ime.h"
#include "platform/keyboard.h"

namespace platform::win32 {

class Win32Keyboard final : public Keyboard {
  public:
    std::int16_t KeyState(int virtualKey) override;
    void SendKey(std::uint8_t virtualKey, bool release) override;
    void Sleep(std::uint32_t milliseconds) override;
};

class Win32Ime final : public Ime {
  public:
    WindowHandle DefaultImeWindow(WindowHandle window) override;
    // Waits at most kReplyLimitMs for the reply, and not at all for a hung or ending thread.
    static constexpr unsigned kReplyLimitMs = 100;
    std::optional<std::intptr_t> Control(WindowHandle imeWindow, std::uintptr_t request) override;
};

}  // namespace platform::win32
