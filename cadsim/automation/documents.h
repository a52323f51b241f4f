#pragma once

#include <oaidl.h>
#include <wrl/client.h>

#include <memory>

#include "cadsim/automation/automation_context.h"

namespace cadsim::automation {

// The collection of open drawings: Count, Item(index from 0).
Microsoft::WRL::ComPtr<IDispatch> MakeDocuments(std::shared_ptr<AutomationContext> context);

}  // namespace cadsim::automation
