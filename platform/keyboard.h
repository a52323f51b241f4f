#pragma once

#include <cstdint>

namespace platform {

// The keyboard as the program's thread sees it, and synthesised key events.
class Keyboard {
  public:
    virtual ~Keyboard() = default;
    // The key's state; negative (bit 15 set) while the key is down.
    virtual std::int16_t KeyState(int virtualKey) = 0;
    // One key event into the system's input stream, with scan code 0 and no extra information.
    virtual void SendKey(std::uint8_t virtualKey, bool release) = 0;
};

}  // namespace platform
