#pragma once

#include "fakes/fake_automation.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_input.h"
#include "fakes/fake_panel.h"
#include "fakes/fake_trace.h"
#include "fakes/fake_window_system.h"
#include "monitor/cad_monitor.h"

namespace fakes {

// The monitor wired to a fake system; the fixtures of the monitor's tests derive from it.
struct MonitorWorld {
    FakePanel panel;
    FakeWindowSystem desktop;
    FakeKeyboard keyboard;
    FakeIme ime;
    FakeAutomation automation;
    FakeClock clock;
    FakeTrace trace;
    monitor::CadMonitor monitor{panel, {desktop, keyboard, ime, automation, clock, trace}};
};

}  // namespace fakes
