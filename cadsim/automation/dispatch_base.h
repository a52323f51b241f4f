#pragma once

#include <windows.h>
#include <oaidl.h>
#include <objidl.h>

#include <cstddef>
#include <exception>
#include <memory>
#include <string>

#include "cadsim/automation/arguments.h"
#include "cadsim/automation/automation_context.h"
#include "cadsim/automation/com_values.h"
#include "cadsim/automation/members.h"

namespace cadsim::automation {

// The IDispatch plumbing that every automation object shares: late binding by member name
// (case-insensitive, DISPID = position in the object's member list + 1), the record line of
// each call, the failures and wrong results that the tests ask for, and the count of the
// references that other processes hold (IExternalConnection, called by the COM stub).
// Objects are created by the factory function of their kind and delete themselves on their
// last Release.
class DispatchBase : public IDispatch, public IExternalConnection {
  public:
    DispatchBase(const DispatchBase&) = delete;
    DispatchBase& operator=(const DispatchBase&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argumentError) override;

    DWORD STDMETHODCALLTYPE AddConnection(DWORD type, DWORD reserved) override;
    DWORD STDMETHODCALLTYPE ReleaseConnection(DWORD type, DWORD reserved,
                                              BOOL lastReleaseCloses) override;

    // True while another process references the object beyond what the running object table
    // holds.
    bool ExternallyReferenced() const { return strongConnections_ > tableConnections_; }
    DWORD StrongConnections() const { return strongConnections_; }
    // The connections that belong to the running object table's registration.
    void SetTableConnections(DWORD count) { tableConnections_ = count; }

  protected:
    DispatchBase(std::shared_ptr<AutomationContext> context, const ObjectInfo& info);
    virtual ~DispatchBase();

    // Answers one member (its position in the member list) into result; throws
    // AutomationError for a failure.
    virtual void Call(std::size_t member, const Arguments& arguments, Variant& result) = 0;
    // A further interface of the derived object, or none.
    virtual void* OwnInterface(REFIID) { return nullptr; }

    AutomationContext& Context() const { return *context_; }
    // For the objects that this one hands out.
    const std::shared_ptr<AutomationContext>& SharedContext() const { return context_; }
    // An automation exception described as "cadsim: <Object>.<Member> <what>".
    [[noreturn]] void Fail(std::size_t member, std::wstring_view what) const;

  private:
    std::wstring MemberKey(std::size_t member) const;
    void RecordCall(std::size_t member, WORD flags, const DISPPARAMS& params) const;
    void AnswerWrongType(std::size_t member, Variant& result);
    HRESULT Answer(std::size_t member, WORD flags, const DISPPARAMS& params, VARIANT* result);
    // An unexpected error (a file that cannot be written, say) as an automation exception.
    HRESULT ReportUnexpected(std::size_t member, const std::exception& error,
                             EXCEPINFO* exception) const noexcept;

    std::shared_ptr<AutomationContext> context_;
    const ObjectInfo& info_;
    LONG references_ = 1;
    DWORD strongConnections_ = 0;
    DWORD tableConnections_ = 0;
};

}  // namespace cadsim::automation
