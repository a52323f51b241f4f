#pragma once

#include <windows.h>
#include <objidl.h>

#include "platform/win32/message_filter.h"

namespace cadsim {

// cadsim's COM message filter, as a busy AutoCAD's: on request it refuses the incoming calls to
// its automation objects (SERVERCALL_REJECTED) from the next one on for a given time, and
// counts what it refused; or, as a hung AutoCAD's, it holds the next such call, handling no
// message, for a given time before it serves it.
// Registered on cadsim's thread for the whole run.
class CallRefusal final : public platform::win32::OwnedMessageFilter {
  public:
    CallRefusal() = default;
    CallRefusal(const CallRefusal&) = delete;
    CallRefusal& operator=(const CallRefusal&) = delete;

    // The next incoming call starts a refusal of `milliseconds`, that call included.
    void RefuseFor(DWORD milliseconds);
    int Refused() const { return refused_; }
    // The next incoming call waits `milliseconds`, the thread handling nothing, then runs.
    void HangAtNextCall(DWORD milliseconds) { hangFor_ = milliseconds; }
    // The calls held so far, counted once each hold is over.
    int Held() const { return held_; }

    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD callType, HTASK caller, DWORD tickCount,
                                               LPINTERFACEINFO info) override;
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD, DWORD) override {
        return static_cast<DWORD>(-1);
    }
    DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) override {
        return PENDINGMSG_WAITDEFPROCESS;
    }

  private:
    DWORD armedFor_ = 0;  // a refusal that starts with the next call
    DWORD hangFor_ = 0;   // a hang at the next call
    int held_ = 0;
    ULONGLONG refuseUntil_ = 0;
    int refused_ = 0;
    platform::win32::MessageFilterRegistration registration_{*this};
};

}  // namespace cadsim
