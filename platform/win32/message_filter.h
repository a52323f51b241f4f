#pragma once

#include <objidl.h>

#include "platform/automation.h"
#include "platform/win32/owned_message_filter.h"

namespace platform::win32 {

// The GUI thread's COM message filter while a client call is out. A server's "retry later"
// is turned into a rejected call at once, so that the program's own retry, with its budget
// and its pauses, handles it as it handles any refusal. A call that waits past the limit in
// force is given up (RPC_E_CALL_CANCELED); meanwhile keyboard and mouse input wait and painting
// goes on. COM asks about the wait only when a message arrives while the call is out: the
// panel's timer stays armed during a tick for that reason. The program is no server, so every
// incoming call is handled.
class RefusalMessageFilter final : public OwnedMessageFilter {
  public:
    // The limit that the calls' waits keep from now on; nullptr: none. Returns the earlier one.
    CallWaitLimit* LimitCallWaits(CallWaitLimit* limit);

    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD callType, HTASK caller, DWORD tickCount,
                                               LPINTERFACEINFO info) override;
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK callee, DWORD tickCount,
                                              DWORD rejectType) override;
    // `tickCount` is how long the call has waited, in milliseconds.
    DWORD STDMETHODCALLTYPE MessagePending(HTASK callee, DWORD tickCount,
                                           DWORD pendingType) override;

  private:
    CallWaitLimit* limit_ = nullptr;
};

// Registers a filter on the calling thread, whose COM apartment must be single-threaded, and
// puts the earlier filter back when it goes away; the filter must outlive it.
class MessageFilterRegistration {
  public:
    explicit MessageFilterRegistration(IMessageFilter& filter);
    ~MessageFilterRegistration();
    MessageFilterRegistration(const MessageFilterRegistration&) = delete;
    MessageFilterRegistration& operator=(const MessageFilterRegistration&) = delete;

    bool Registered() const { return registered_; }

  private:
    IMessageFilter* previous_ = nullptr;
    bool registered_ = false;
};

}  // namespace platform::win32
