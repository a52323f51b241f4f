#pragma once

#include <objidl.h>

#include "platform/win32/owned_message_filter.h"

namespace platform::win32 {

// The GUI thread's COM message filter while a client call is out. A server's "retry later"
// is turned into a rejected call at once, so that the program's own retry, with its budget
// and its pauses, handles it as it handles any refusal; meanwhile keyboard and mouse input
// wait and painting goes on. The program is no server, so every incoming call is handled.
class RefusalMessageFilter final : public OwnedMessageFilter {
  public:
    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD callType, HTASK caller, DWORD tickCount,
                                               LPINTERFACEINFO info) override;
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK callee, DWORD tickCount,
                                              DWORD rejectType) override;
    DWORD STDMETHODCALLTYPE MessagePending(HTASK callee, DWORD tickCount,
                                           DWORD pendingType) override;
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
