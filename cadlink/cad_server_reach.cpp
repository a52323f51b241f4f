#include "cadlink/cad_server_reach.h"

#include <optional>

#include "cadlink/cad_automation.h"
#include "cadlink/cad_window_finder.h"

namespace cadlink {

CadServerReach ReachCadServer(platform::WindowSystem& windows, platform::ProcessSystem& processes,
                              platform::Automation& automation, CallBudget& budget) {
    if (IsCadAutomationActive(automation, budget)) {
        return CadServerReach::Reachable;
    }
    const platform::WindowHandle window = FindCadMainWindow(windows);
    if (window == platform::WindowHandle::none) {
        return CadServerReach::NotRunning;
    }
    const std::optional<bool> cad = processes.IsElevated(windows.WindowProcessId(window));
    const std::optional<bool> panel = processes.IsElevated(processes.CurrentProcessId());
    if (!cad || !panel || *cad == *panel) {
        return CadServerReach::Unreachable;
    }
    return *cad ? CadServerReach::CadElevated : CadServerReach::PanelElevated;
}

}  // namespace cadlink
