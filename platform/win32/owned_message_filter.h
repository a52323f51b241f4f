#pragma once

#include <objidl.h>

namespace platform::win32 {

// The IUnknown part of a COM message filter that lives exactly as long as its owner, which
// registers it and takes it back before it goes: the reference count has nothing to count.
class OwnedMessageFilter : public IMessageFilter {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
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
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

  protected:
    OwnedMessageFilter() = default;
    ~OwnedMessageFilter() = default;
    OwnedMessageFilter(const OwnedMessageFilter&) = default;
    OwnedMessageFilter& operator=(const OwnedMessageFilter&) = default;
};

}  // namespace platform::win32
