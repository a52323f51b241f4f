#pragma once

#include <unknwn.h>

#include <string>

namespace cadsim::automation {

// The object registered as the active object of a ProgID (its CLSID looked up with
// CLSIDFromProgID) in the running object table, strongly, so that the table keeps it alive;
// revoked with this object. Throws std::system_error when the ProgID is unknown or the
// registration fails.
class ActiveObjectRegistration {
  public:
    ActiveObjectRegistration(IUnknown* object, const std::wstring& progId);
    ~ActiveObjectRegistration();
    ActiveObjectRegistration(const ActiveObjectRegistration&) = delete;
    ActiveObjectRegistration& operator=(const ActiveObjectRegistration&) = delete;

  private:
    DWORD cookie_ = 0;
};

}  // namespace cadsim::automation
