#pragma once

#include <windows.h>

#include <string>

namespace e2e {

// Runs xdotool on the X display that Wine draws on (DISPLAY of the test's environment) and
// returns once it has ended: its events have then reached the X server, which hands them to
// Wine as it hands a person's keyboard and mouse. Wine starts a Unix program from
// CreateProcessW but gives no handle to wait on, so the shell around it leaves a file with
// xdotool's exit code. Throws std::runtime_error when xdotool fails or does not end.
//   arguments: xdotool's command chain, e.g. "keydown --delay 0 Shift_L sleep 0.06 keyup ...";
//   words of letters, digits, dots and dashes only.
//   firstTry: another xdotool command run before, for at most 2 s, whose failure is ignored.
void RunXdotool(const std::string& arguments, const std::string& firstTry = "");

}  // namespace e2e
