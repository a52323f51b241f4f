#include "cadlink/cad_automation.h"

#include "cadlink/cad_prog_id.h"

namespace cadlink {

bool IsCadAutomationActive(platform::Automation& automation) {
    return automation.IsActive(CadProgId);
}

std::unique_ptr<platform::AutomationObject> AttachCadApplication(platform::Automation& automation) {
    return automation.Attach(CadProgId);
}

}  // namespace cadlink
