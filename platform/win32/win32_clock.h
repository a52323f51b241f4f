#pragma once

#include "platform/clock.h"

namespace platform::win32 {

// The system's tick count, and pauses that repaint the thread's windows and answer the
// messages sent to them.
class Win32Clock final : public Clock {
  public:
    std::chrono::milliseconds Now() override;
    void Pause(std::chrono::milliseconds duration) override;
    void Sleep(std::chrono::milliseconds duration) override;
};

}  // namespace platform::win32
