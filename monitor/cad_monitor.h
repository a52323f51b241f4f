#pragma once

#include "platform/panel.h"
#include "platform/window_handle.h"
#include "platform/window_system.h"

namespace monitor {

// The 200 ms monitor tick: lamp, auto-exit, and the key and IME work while AutoCAD runs.
class CadMonitor {
  public:
    CadMonitor(platform::Panel& panel, platform::WindowSystem& windows);

    // One tick (the panel's Timer1Timer). The timer is stopped for the tick's duration, so the
    // next tick comes 200 ms after this one ends.
    void Timer1Timer();

  private:
    bool IsCadInFront(platform::WindowHandle window);
    void RunModifierTapDetector(platform::WindowHandle window);
    void RunImeGuard(platform::WindowHandle window);

    platform::Panel& panel_;
    platform::WindowSystem& windows_;
};

}  // namespace monitor
