#include "cadsim/automation/weak_table_marshal.h"

#include <wrl/client.h>

namespace cadsim::automation {
namespace {

DWORD Weakened(DWORD flags) {
    return (flags & MSHLFLAGS_TABLESTRONG) != 0
               ? (flags & ~static_cast<DWORD>(MSHLFLAGS_TABLESTRONG)) | MSHLFLAGS_TABLEWEAK
               : flags;
}

}  // namespace

HRESULT WeakTableMarshal::Standard(REFIID iid, DWORD context, void* contextData, DWORD flags,
                                   IMarshal** marshal) {
    return ::CoGetStandardMarshal(iid, MarshalledObject(), context, contextData, flags, marshal);
}

HRESULT WeakTableMarshal::GetUnmarshalClass(REFIID iid, void* object, DWORD context,
                                            void* contextData, DWORD flags, CLSID* unmarshaller) {
    Microsoft::WRL::ComPtr<IMarshal> standard;
    const HRESULT status =
        Standard(iid, context, contextData, Weakened(flags), standard.GetAddressOf());
    return FAILED(status) ? status
                          : standard->GetUnmarshalClass(iid, object, context, contextData,
                                                        Weakened(flags), unmarshaller);
}

HRESULT WeakTableMarshal::GetMarshalSizeMax(REFIID iid, void* object, DWORD context,
                                            void* contextData, DWORD flags, DWORD* size) {
    Microsoft::WRL::ComPtr<IMarshal> standard;
    const HRESULT status =
        Standard(iid, context, contextData, Weakened(flags), standard.GetAddressOf());
    return FAILED(status) ? status
                          : standard->GetMarshalSizeMax(iid, object, context, contextData,
                                                        Weakened(flags), size);
}

HRESULT WeakTableMarshal::MarshalInterface(IStream* stream, REFIID iid, void* object, DWORD context,
                                           void* contextData, DWORD flags) {
    Microsoft::WRL::ComPtr<IMarshal> standard;
    const HRESULT status =
        Standard(iid, context, contextData, Weakened(flags), standard.GetAddressOf());
    return FAILED(status) ? status
                          : standard->MarshalInterface(stream, iid, object, context, contextData,
                                                       Weakened(flags));
}

HRESULT WeakTableMarshal::UnmarshalInterface(IStream* stream, REFIID iid, void** object) {
    Microsoft::WRL::ComPtr<IMarshal> standard;
    const HRESULT status =
        Standard(IID_IUnknown, MSHCTX_LOCAL, nullptr, MSHLFLAGS_NORMAL, standard.GetAddressOf());
    return FAILED(status) ? status : standard->UnmarshalInterface(stream, iid, object);
}

HRESULT WeakTableMarshal::ReleaseMarshalData(IStream* stream) {
    Microsoft::WRL::ComPtr<IMarshal> standard;
    const HRESULT status =
        Standard(IID_IUnknown, MSHCTX_LOCAL, nullptr, MSHLFLAGS_NORMAL, standard.GetAddressOf());
    return FAILED(status) ? status : standard->ReleaseMarshalData(stream);
}

HRESULT WeakTableMarshal::DisconnectObject(DWORD reserved) {
    Microsoft::WRL::ComPtr<IMarshal> standard;
    const HRESULT status =
        Standard(IID_IUnknown, MSHCTX_LOCAL, nullptr, MSHLFLAGS_NORMAL, standard.GetAddressOf());
    return FAILED(status) ? status : standard->DisconnectObject(reserved);
}

}  // namespace cadsim::automation
