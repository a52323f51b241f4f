#pragma once

#include <oaidl.h>
#include <wrl/client.h>

#include <memory>

#include "cadsim/automation/automation_context.h"

namespace cadsim::automation {

// The state object of GetAcadState: IsQuiescent, true while the simulated AutoCAD is idle.
Microsoft::WRL::ComPtr<IDispatch> MakeState(std::shared_ptr<AutomationContext> context);

}  // namespace cadsim::automation
