#pragma once

#include <memory>

#include "cadlink/call_budget.h"
#include "platform/automation.h"

namespace cadlink {

// Whether AutoCAD's automation server runs under CadProgId; a server that goes on refusing
// the check past the budget, or does not answer it within the budget, counts as not running. Throws
// when CadProgId names no registered server; the object it finds is released at once.
bool IsCadAutomationActive(platform::Automation& automation, CallBudget& budget);

// The running AutoCAD Application under CadProgId; throws when there is none. The object and
// every object reached through it make refused calls again within the budget, which must
// outlive them.
std::unique_ptr<platform::AutomationObject> AttachCadApplication(platform::Automation& automation,
                                                                 CallBudget& budget);

}  // namespace cadlink
