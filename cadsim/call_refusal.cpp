#include "cadsim/call_refusal.h"

#include <objbase.h>

namespace cadsim {

CallRefusal::CallRefusal() : registered_(SUCCEEDED(::CoRegisterMessageFilter(this, &previous_))) {}

CallRefusal::~CallRefusal() {
    if (registered_) {
        IMessageFilter* ours = nullptr;
        ::CoRegisterMessageFilter(previous_, &ours);
        if (previous_ != nullptr) {
            previous_->Release();
        }
    }
}

void CallRefusal::RefuseFor(DWORD milliseconds) {
    armedFor_ = milliseconds;
    refuseUntil_ = 0;
}

HRESULT STDMETHODCALLTYPE CallRefusal::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (iid == IID_IUnknown || iid == IID_IMessageFilter) {
        *object = static_cast<IMessageFilter*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

DWORD STDMETHODCALLTYPE CallRefusal::HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO info) {
    // Only calls to the automation objects are refused. The channel's own calls that count
    // references and query interfaces are always served: under Wine a refused one leaves a
    // reference counted on the server for good, and the tests account for every reference.
    if (info == nullptr || info->iid != IID_IDispatch) {
        return SERVERCALL_ISHANDLED;
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
