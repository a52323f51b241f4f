#pragma once

#include <cstdint>
#include <optional>

#include "platform/window_handle.h"

namespace platform {

// The input method manager's view of a window (imm32 and WM_IME_CONTROL).
class Ime {
  public:
    static constexpr std::uintptr_t kGetOpenStatus = 0x0005;  // IMC_GETOPENSTATUS
    static constexpr std::uintptr_t kSetOpenStatus = 0x0006;  // IMC_SETOPENSTATUS

    virtual ~Ime() = default;
    // The default IME window that serves the window; none when there is none.
    virtual WindowHandle DefaultImeWindow(WindowHandle window) = 0;
    // Sends WM_IME_CONTROL with the request and lParam 0 and waits a bounded time for the reply;
    // nothing when the IME window's thread (AutoCAD's, busy or hung) did not answer in time.
    virtual std::optional<std::intptr_t> Control(WindowHandle imeWindow,
                                                 std::uintptr_t request) = 0;
};

}  // namespace platform
