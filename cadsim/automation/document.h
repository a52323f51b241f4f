#pragma once

#include <oaidl.h>
#include <wrl/client.h>

#include <memory>

#include "cadsim/automation/automation_context.h"
#include "cadsim/cad_model.h"

namespace cadsim::automation {

// One open drawing: FullName, Name, Activate, ActiveSelectionSet, Wblock. Its members fail
// once the drawing has been closed.
Microsoft::WRL::ComPtr<IDispatch> MakeDocument(std::shared_ptr<AutomationContext> context,
                                               std::weak_ptr<Drawing> drawing);

}  // namespace cadsim::automation
