#pragma once

#include <oaidl.h>
#include <wrl/client.h>

#include <memory>

#include "cadsim/automation/automation_context.h"
#include "cadsim/cad_model.h"

namespace cadsim::automation {

// A drawing's selection set: Clear, Select (mode 5: every entity), Count.
Microsoft::WRL::ComPtr<IDispatch> MakeSelectionSet(std::shared_ptr<AutomationContext> context,
                                                   std::weak_ptr<Drawing> drawing);

// The drawing whose selection set object is (none when object is not one of cadsim's
// selection sets, or when its drawing has been closed).
std::shared_ptr<Drawing> SelectionSetDrawing(IDispatch* object);

}  // namespace cadsim::automation
