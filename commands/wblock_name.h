#pragma once

#include <string>
#include <string_view>

namespace commands {

// The name proposed for a cleaned copy of the drawing at `fullName`: "_wblock1" put before the
// extension, or, when the path already holds "_wblock", one more than the number behind the
// first one, the rest of that tail dropped.
std::wstring ProposeWblockFileName(std::wstring_view fullName);

// The folder the save dialog opens in for `proposal`: the part before its last "\" or ":",
// keeping a root's "\" ("C:\") and a drive's ":" ("C:"); empty when there is neither.
std::wstring WblockInitialFolder(std::wstring_view proposal);

}  // namespace commands
