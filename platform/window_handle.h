#pragma once

#include <cstdint>

namespace platform {

// A native window handle carried as an integer, so that logic above the Win32 layer can hold,
// compare and pass handles without <windows.h>. `none` is the null handle.
enum class WindowHandle : std::uintptr_t { none = 0 };

// The module handle that registered a window class (an HMODULE as an integer).
enum class ModuleHandle : std::uintptr_t { none = 0 };

using ProcessId = std::uint32_t;

}  // namespace platform
