#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "cadlink/call_budget.h"
#include "monitor/key_record.h"
#include "monitor/modifier_latches.h"
#include "platform/automation.h"
#include "platform/clock.h"
#include "platform/ime.h"
#include "platform/keyboard.h"
#include "platform/panel.h"
#include "platform/raw_input.h"
#include "platform/trace.h"
#include "platform/window_handle.h"
#include "platform/window_system.h"

namespace monitor {

struct MonitorServices {
    platform::WindowSystem& windows;
    platform::Keyboard& keyboard;
    platform::Ime& ime;
    platform::Automation& automation;
    platform::Clock& clock;
    platform::Trace& trace;
};

// The 200 ms monitor tick: lamp, auto-exit, lone Shift/Ctrl taps and the IME guard.
class CadMonitor {
  public:
    CadMonitor(platform::Panel& panel, const MonitorServices& services);

    // One tick (the panel's Timer1Timer). The timer is stopped for the tick's duration, so the
    // next tick comes 200 ms after this one ends. An error that escapes the tick goes to the
    // panel's error report, and the timer is started again once the box is closed.
    void Timer1Timer();

    // One raw input event, whatever program is in front. The events gather until the detector's
    // next run takes them, so that a key released before any sample saw it still spoils a tap,
    // and a lone modifier tapped between two runs still counts.
    void RawInput(const platform::RawInputEvent& event);

    // True while Shift or Ctrl is down: only then do mouse buttons and the wheel matter.
    bool WantsMouseInput() const { return monitor::WantsMouseInput(record_); }

    // The automation identifier whose availability check last failed in a tick; empty when none.
    const std::wstring& FailedCadProgId() const { return failedCadProgId_; }

  private:
    void Tick();
    bool IsCadInFront(platform::WindowHandle window);
    void RunModifierTapDetector(platform::WindowHandle window);
    void SendKeyIfCadBusy(std::uint8_t key, platform::WindowHandle window);
    void RunImeGuard(platform::WindowHandle window);
    bool IsAutomationActive(cadlink::CallBudget& budget);
    bool IsCadQuiescent(cadlink::CallBudget& budget);

    platform::Panel& panel_;
    MonitorServices services_;
    // While CadProgId equals it, the tick's checks count as "server not running", so that a
    // wrong version shows its error once instead of stopping the monitor or showing it every tick.
    std::wstring failedCadProgId_;
    KeyRecord record_;
    // The window that the last tick found: a modifier pressed while it (or a pop-up of it) is in
    // front may make a quick tap.
    platform::WindowHandle cadWindow_ = platform::WindowHandle::none;
    // The key this monitor has just sent: its own press comes back as an event and is no
    // key of the user's. Only until the detector's next run: a key that the system dropped
    // never comes back, and the user's next press of it must count.
    std::optional<int> ownKeyDue_;
};

// The panel's caption once the IME guard has acted: the handle in upper-case hexadecimal, at
// least eight digits.
std::wstring ImeGuardCaption(platform::WindowHandle window);

}  // namespace monitor
