#pragma once

#include <chrono>

namespace platform {

// Time as the program's thread sees it.
class Clock {
  public:
    virtual ~Clock() = default;
    // A steady time, counted from an arbitrary origin.
    virtual std::chrono::milliseconds Now() = 0;
    // Waits for the given time. Meanwhile the program's windows repaint and answer the messages
    // that other threads send them, but no input, timer or other posted message is handled,
    // so that nothing the user or the timer starts runs inside the caller.
    virtual void Pause(std::chrono::milliseconds duration) = 0;
    // Blocks the calling thread for the given time; nothing is handled meanwhile.
    virtual void Sleep(std::chrono::milliseconds duration) = 0;
};

}  // namespace platform
