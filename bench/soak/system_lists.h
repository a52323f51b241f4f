#pragma once

// What the system's own lists tell about another process, where Wine 8 answers 0 to the
// process functions (GetProcessHandleCount, GetProcessMemoryInfo's PrivateUsage).

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace soak {

// The values of the process's handles, from the system's handle list.
std::vector<USHORT> HandlesOf(DWORD processId);

// The process's page-file (commit) charge from the system's process list: Windows keeps it equal
// to the private bytes, Wine counts the Unix process's anonymous memory.
std::uint64_t CommitChargeOf(DWORD processId);

// The name of a registry key that `process` (opened with PROCESS_DUP_HANDLE) holds as `handle`;
// empty for a handle of any other kind.
std::wstring KeyNameOf(HANDLE process, USHORT handle);

}  // namespace soak
