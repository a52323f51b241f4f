#include "cadsim/call_refusal.h"

#include <objbase.h>

#include <utility>

namespace cadsim {

void CallRefusal::RefuseFor(DWORD milliseconds) {
    armedFor_ = milliseconds;
    refuseUntil_ = 0;
}

DWORD STDMETHODCALLTYPE CallRefusal::HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO info) {
    // Only calls to the automation objects are refused. The channel's own calls that count
    // references and query interfaces are always served: under Wine a refused one leaves a
    // reference counted on the server for good, and the tests account for every reference.
    if (info == nullptr || info->iid != IID_IDispatch) {
        return SERVERCALL_ISHANDLED;
    }
    if (hangFor_ != 0) {
        ::Sleep(std::exchange(hangFor_, 0));
        ++held_;
    }
    const ULONGLONG now = ::GetTickCount64();
    if (armedFor_ != 0) {
        refuseUntil_ = now + armedFor_;
        armedFor_ = 0;
    }
    if (now < refuseUntil_) {
        ++refused_;
        return SERVERCALL_REJECTED;
    }
    return SERVERCALL_ISHANDLED;
}

}  // namespace cadsim
