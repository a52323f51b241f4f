#include "cadlink/cad_automation.h"

#include "cadlink/cad_prog_id.h"
#include "cadlink/retrying_object.h"

namespace cadlink {

bool IsCadAutomationActive(platform::Automation& automation, CallBudget& budget) {
    try {
        return budget.Run(CadProgId, [&] { return automation.IsActive(CadProgId); });
    } catch (const platform::AutomationError& error) {
        // Refused past the budget, or no answer in time: as good as not running.
        if (platform::IsRefusedCall(error.Code()) || error.Code() == platform::kCallCanceled) {
            return false;
        }
        throw;
    }
}

std::unique_ptr<platform::AutomationObject> AttachCadApplication(platform::Automation& automation,
                                                                 CallBudget& budget) {
    return std::make_unique<RetryingObject>(
        budget.Run(CadProgId, [&] { return automation.Attach(CadProgId); }), budget);
}

}  // namespace cadlink
