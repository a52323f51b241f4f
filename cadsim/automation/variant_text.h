#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>

namespace cadsim::automation {

// An argument as the record shows it: its type (with "|BYREF" for a reference), then ":" and
// its value where it has one, e.g. "I4:5", "BSTR|BYREF:C:\x.dwg", "ERROR:0x80020004",
// "VARIANT|BYREF:DISPATCH". Objects and empty values show the type alone.
std::string ArgumentText(const VARIANT& value);

}  // namespace cadsim::automation
