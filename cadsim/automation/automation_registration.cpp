#include <windows.h>
#include <oleauto.h>

#include "cadsim/automation/automation_registration.h"

#include <system_error>

namespace cadsim::automation {
namespace {

void ThrowIfFailed(HRESULT result, const char* what) {
    if (FAILED(result)) {
        throw std::system_error(static_cast<int>(result), std::system_category(), what);
    }
}

}  // namespace

ActiveObjectRegistration::ActiveObjectRegistration(IUnknown* object, const std::wstring& progId) {
    CLSID clsid{};
    ThrowIfFailed(::CLSIDFromProgID(progId.c_str(), &clsid), "unknown automation ProgID");
    ThrowIfFailed(::RegisterActiveObject(object, clsid, ACTIVEOBJECT_STRONG, &cookie_),
                  "cannot register the active object");
}

ActiveObjectRegistration::~ActiveObjectRegistration() { ::RevokeActiveObject(cookie_, nullptr); }

}  // namespace cadsim::automation
