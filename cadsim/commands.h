#pragma once

#include <windows.h>

#include <string_view>

namespace cadsim {

class Simulator;

// Runs one control command ("verb" or "verb argument") and gives its reply: 0 for an unknown
// command or a failure, 1 for success, the main window handle for "hwnd", 1 or 2 for
// "in-folder <folder>" (cadsim's current folder is that one, or another one). The automation
// server's commands are listed in automation_commands.h.
LRESULT RunCommand(Simulator& simulator, std::wstring_view command);

}  // namespace cadsim
