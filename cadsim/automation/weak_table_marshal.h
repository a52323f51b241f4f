#pragma once

#include <windows.h>
#include <objidl.h>

namespace cadsim::automation {

// Marshalling for an object that its server keeps alive on its own: the standard marshaller
// does all the work, except that a table-strong marshal (the running object table's, for
// ACTIVEOBJECT_STRONG) is made table-weak. The table's entry then holds no external reference,
// so the object's IExternalConnection sees the references of clients alone. The deriving
// object answers IUnknown for this interface.
class WeakTableMarshal : public IMarshal {
  public:
    HRESULT STDMETHODCALLTYPE GetUnmarshalClass(REFIID iid, void* object, DWORD context,
                                                void* contextData, DWORD flags,
                                                CLSID* unmarshaller) override;
    HRESULT STDMETHODCALLTYPE GetMarshalSizeMax(REFIID iid, void* object, DWORD context,
                                                void* contextData, DWORD flags,
                                                DWORD* size) override;
    HRESULT STDMETHODCALLTYPE MarshalInterface(IStream* stream, REFIID iid, void* object,
                                               DWORD context, void* contextData,
                                               DWORD flags) override;
    HRESULT STDMETHODCALLTYPE UnmarshalInterface(IStream* stream, REFIID iid,
                                                 void** object) override;
    HRESULT STDMETHODCALLTYPE ReleaseMarshalData(IStream* stream) override;
    HRESULT STDMETHODCALLTYPE DisconnectObject(DWORD reserved) override;

  protected:
    WeakTableMarshal() = default;
    ~WeakTableMarshal() = default;
    // The object's identity, which the standard marshaller works on.
    virtual IUnknown* MarshalledObject() = 0;

  private:
    HRESULT Standard(REFIID iid, DWORD context, void* contextData, DWORD flags, IMarshal** marshal);
};

}  // namespace cadsim::automation
