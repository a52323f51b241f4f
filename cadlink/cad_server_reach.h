#pragma once

#include "cadlink/call_budget.h"
#include "platform/automation.h"
#include "platform/process_system.h"
#include "platform/window_system.h"

namespace cadlink {

// Whether AutoCAD's automation server can be reached and, when not, what the user sees.
enum class CadServerReach {
    Reachable,    // the server runs under CadProgId
    NotRunning,   // no server and no main window of AutoCAD's: AutoCAD is not running
    Unreachable,  // AutoCAD's main window is there but its server is not (another version)
    // AutoCAD's main window is there, and its process and this one run with different rights,
    // which keeps the server out of reach: AutoCAD elevated and the panel not, or the reverse.
    CadElevated,
    PanelElevated,
};

// Checks the server under CadProgId and, when it does not answer, looks for AutoCAD's main
// window and compares the rights of its process with this one's; a process whose rights
// cannot be read counts as having the same. Throws as IsCadAutomationActive does.
CadServerReach ReachCadServer(platform::WindowSystem& windows, platform::ProcessSystem& processes,
                              platform::Automation& automation, CallBudget& budget);

}  // namespace cadlink
