#include "cadsim/automation/dispatch_base.h"

#include <new>

#include "cadsim/automation/automation_error.h"
#include "cadsim/automation/variant_text.h"
#include "cadsim/text.h"

namespace cadsim::automation {
namespace {

std::wstring Widen(const char* text) {
    std::wstring wide;
    for (; *text != '\0'; ++text) {
        wide += static_cast<wchar_t>(static_cast<unsigned char>(*text));
    }
    return wide;
}

// Fills EXCEPINFO (when the caller gave one) and gives the status for the caller.
HRESULT Report(const AutomationError& error, EXCEPINFO* exception, UINT* argumentError) {
    if (error.Argument() && argumentError != nullptr) {
        *argumentError = *error.Argument();
    }
    if (error.Status() == DISP_E_EXCEPTION && exception != nullptr) {
        *exception = EXCEPINFO{};
        exception->scode = error.Code();
        exception->bstrSource = ::SysAllocString(L"cadsim");
        exception->bstrDescription = ::SysAllocString(error.Description().c_str());
    }
    return error.Status();
}

}  // namespace

DispatchBase::DispatchBase(std::shared_ptr<AutomationContext> context, const ObjectInfo& info)
    : context_(std::move(context)), info_(info) {
    context_->Add(*this);
}

DispatchBase::~DispatchBase() { context_->Remove(*this); }

HRESULT DispatchBase::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (iid == IID_IUnknown || iid == IID_IDispatch) {
        *object = static_cast<IDispatch*>(this);
    } else if (iid == IID_IExternalConnection) {
        *object = static_cast<IExternalConnection*>(this);
    } else if (void* own = OwnInterface(iid); own != nullptr) {
        *object = own;
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG DispatchBase::AddRef() { return static_cast<ULONG>(::InterlockedIncrement(&references_)); }

ULONG DispatchBase::Release() {
    const LONG remaining = ::InterlockedDecrement(&references_);
    if (remaining == 0) {
        delete this;
    }
    return static_cast<ULONG>(remaining);
}

HRESULT DispatchBase::GetTypeInfoCount(UINT* count) {
    if (count == nullptr) {
        return E_POINTER;
    }
    *count = 0;  // late binding only: no type library
    return S_OK;
}

HRESULT DispatchBase::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info != nullptr) {
        *info = nullptr;
    }
    return DISP_E_BADINDEX;
}

HRESULT DispatchBase::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (iid != IID_NULL) {
        return DISP_E_UNKNOWNINTERFACE;
    }
    if (count == 0) {
        return S_OK;
    }
    if (names == nullptr || ids == nullptr) {
        return E_POINTER;
    }
    for (UINT i = 0; i < count; ++i) {
        ids[i] = DISPID_UNKNOWN;
    }
    if (names[0] != nullptr) {
        for (std::size_t member = 0; member < info_.members.size(); ++member) {
            if (SameName(info_.members[member].name, names[0])) {
                ids[0] = static_cast<DISPID>(member + 1);
            }
        }
    }
    // No member takes named arguments, so any further name is unknown as well.
    return ids[0] != DISPID_UNKNOWN && count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
}

HRESULT DispatchBase::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params,
                             VARIANT* result, EXCEPINFO* exception, UINT* argumentError) {
    if (iid != IID_NULL) {
        return DISP_E_UNKNOWNINTERFACE;
    }
    if (id < 1 || static_cast<std::size_t>(id) > info_.members.size()) {
        return DISP_E_MEMBERNOTFOUND;
    }
    if (!context_->Attached()) {
        return RPC_E_DISCONNECTED;
    }
    const std::size_t member = static_cast<std::size_t>(id) - 1;
    const DISPPARAMS none{};
    // No exception may leave for the COM runtime: each becomes the status of the call.
    try {
        return Answer(member, flags, params != nullptr ? *params : none, result);
    } catch (const AutomationError& error) {
        return Report(error, exception, argumentError);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (const std::exception& error) {
        return ReportUnexpected(member, error, exception);
    } catch (...) {
        return E_UNEXPECTED;
    }
}

HRESULT DispatchBase::ReportUnexpected(std::size_t member, const std::exception& error,
                                       EXCEPINFO* exception) const noexcept {
    try {
        Fail(member, Widen(error.what()));
    } catch (const AutomationError& failure) {
        return Report(failure, exception, nullptr);
    } catch (...) {
    }
    return E_OUTOFMEMORY;
}

HRESULT DispatchBase::Answer(std::size_t member, WORD flags, const DISPPARAMS& params,
                             VARIANT* result) {
    RecordCall(member, flags, params);
    if ((flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)) == 0) {
        return DISP_E_MEMBERNOTFOUND;  // nothing can be set
    }
    if (params.cNamedArgs != 0) {
        return DISP_E_NONAMEDARGS;
    }
    const std::wstring key = MemberKey(member);
    const CadModel& model = context_->Model();
    if (model.failing.contains(key)) {
        Fail(member, L"failed");
    }
    Variant value;
    if (model.wrongType.contains(key)) {
        AnswerWrongType(member, value);
    } else {
        Call(member, Arguments(params), value);
    }
    if (result != nullptr) {
        value.MoveTo(*result);
    }
    return S_OK;
}

DWORD DispatchBase::AddConnection(DWORD type, DWORD) {
    if ((type & EXTCONN_STRONG) != 0) {
        ++strongConnections_;
    }
    return strongConnections_;
}

DWORD DispatchBase::ReleaseConnection(DWORD type, DWORD, BOOL) {
    if ((type & EXTCONN_STRONG) != 0 && strongConnections_ > 0) {
        --strongConnections_;
    }
    return strongConnections_;
}

void DispatchBase::Fail(std::size_t member, std::wstring_view what) const {
    throw AutomationError::Exception(L"cadsim: " + MemberKey(member) + L" " + std::wstring(what));
}

std::wstring DispatchBase::MemberKey(std::size_t member) const {
    return std::wstring(info_.name) + L"." + std::wstring(info_.members[member].name);
}

void DispatchBase::RecordCall(std::size_t member, WORD flags, const DISPPARAMS& params) const {
    std::string line =
        "call " + ToUtf8(MemberKey(member)) + " flags=" + std::to_string(flags) + " args=";
    for (UINT i = 0; i < params.cArgs; ++i) {
        if (i != 0) {
            line += ",";
        }
        line += ArgumentText(params.rgvarg[params.cArgs - 1 - i]);
    }
    context_->Record().Line(line);
}

void DispatchBase::AnswerWrongType(std::size_t member, Variant& result) {
    if (info_.members[member].result == ResultKind::value) {
        result.SetObject(this);  // an object where a value is expected
    } else {
        result.SetText(L"not an object");
    }
}

}  // namespace cadsim::automation
