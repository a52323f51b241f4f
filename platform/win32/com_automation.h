#pragma once

#include "platform/automation.h"
#include "platform/win32/message_filter.h"

namespace platform::win32 {

// Automation through COM: the running object table and IDispatch late binding. Needs COM
// initialised on the calling thread. The waits keep their limit through the automation's
// message filter, which the owner registers on the thread for as long as calls are made.
class ComAutomation final : public Automation {
  public:
    bool IsActive(const std::wstring& progId) override;
    std::unique_ptr<AutomationObject> Attach(const std::wstring& progId) override;
    CallWaitLimit* LimitCallWaits(CallWaitLimit* limit) override {
        return filter_.LimitCallWaits(limit);
    }

    IMessageFilter& MessageFilter() { return filter_; }

  private:
    RefusalMessageFilter filter_;
};

}  // namespace platform::win32
