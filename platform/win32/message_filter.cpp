#include <windows.h>
#include <objbase.h>

#include "platform/win32/message_filter.h"

#include <chrono>
#include <utility>

namespace platform::win32 {

CallWaitLimit* RefusalMessageFilter::LimitCallWaits(CallWaitLimit* limit) {
    return std::exchange(limit_, limit);
}

DWORD STDMETHODCALLTYPE RefusalMessageFilter::HandleInComingCall(DWORD, HTASK, DWORD,
                                                                 LPINTERFACEINFO) {
    return SERVERCALL_ISHANDLED;
}

DWORD STDMETHODCALLTYPE RefusalMessageFilter::RetryRejectedCall(HTASK, DWORD, DWORD) {
    // Cancel: the call returns RPC_E_CALL_REJECTED, which the program's retry makes again.
    return static_cast<DWORD>(-1);
}

DWORD STDMETHODCALLTYPE RefusalMessageFilter::MessagePending(HTASK, DWORD tickCount, DWORD) {
    if (limit_ != nullptr && limit_->IsWaitPastLimit(std::chrono::milliseconds(tickCount))) {
        return PENDINGMSG_CANCELCALL;
    }
    return PENDINGMSG_WAITDEFPROCESS;
}

MessageFilterRegistration::MessageFilterRegistration(IMessageFilter& filter)
    : registered_(SUCCEEDED(::CoRegisterMessageFilter(&filter, &previous_))) {}

MessageFilterRegistration::~MessageFilterRegistration() {
    if (registered_) {
        IMessageFilter* ours = nullptr;
        ::CoRegisterMessageFilter(previous_, &ours);
        if (previous_ != nullptr) {
            previous_->Release();
        }
    }
}

}  // namespace platform::win32
