#pragma once

#include "platform/automation.h"

namespace platform::win32 {

// Automation through COM: the running object table and IDispatch late binding. Needs COM
// initialised on the calling thread.
class ComAutomation final : public Automation {
  public:
    bool IsActive(const std::wstring& progId) override;
    std::unique_ptr<AutomationObject> Attach(const std::wstring& progId) override;
};

}  // namespace platform::win32
