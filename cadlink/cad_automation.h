#pragma once

#include <memory>

#include "platform/automation.h"

namespace cadlink {

// Whether AutoCAD's automation server runs under CadProgId. Throws when CadProgId names no
// registered server; the object it finds is released at once.
bool IsCadAutomationActive(platform::Automation& automation);

// The running AutoCAD Application under CadProgId; throws when there is none.
std::unique_ptr<platform::AutomationObject> AttachCadApplication(platform::Automation& automation);

}  // namespace cadlink
