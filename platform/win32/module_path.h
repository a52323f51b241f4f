#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

namespace platform::win32 {

// The full path of a loaded module's file (the running executable's for none), whatever its
// length: the buffer grows, from `initialUnits` characters, until the whole path fits.
std::wstring ModuleFileName(HMODULE module, std::size_t initialUnits = MAX_PATH);

}  // namespace platform::win32
