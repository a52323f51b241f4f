#pragma once

#include <cstdint>

// The control channel between the tests and cadsim, shared by both sides. A command is a
// WM_COPYDATA message to cadsim's message-only control window (found by its class and the
// control name as window name) carrying UTF-16 text; the reply is the LRESULT, 0 for an
// unknown command or a failure.
namespace cadsim {

inline constexpr wchar_t kControlClassName[] = L"CadSimControl";

// COPYDATASTRUCT::dwData of a command: 'CSM1'.
inline constexpr std::uintptr_t kCommandTag = 0x43534D31;

}  // namespace cadsim
