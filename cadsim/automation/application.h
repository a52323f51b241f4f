#pragma once

#include <wrl/client.h>

#include <memory>

#include "cadsim/automation/automation_context.h"
#include "cadsim/automation/dispatch_base.h"

namespace cadsim::automation {

// The Application: FullName, HWND, ActiveDocument, Documents, GetAcadState.
Microsoft::WRL::ComPtr<DispatchBase> MakeApplication(std::shared_ptr<AutomationContext> context);

}  // namespace cadsim::automation
