#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace platform::win32 {

// The modal save dialog for drawings: "*.dwg" and "*.dxf" as its two file types, "dwg" as the
// default extension, no read-only box, resizable, and no overwrite prompt of its own. It opens
// in `initialFolder` (the system's choice when empty) with `fileName` in its name field.
// Returns the full path the user accepted, or nothing when cancelled or when the dialog failed.
// The process's current folder is the same afterwards, whichever folder the user went to.
std::optional<std::wstring> ShowSaveFileDialog(HWND owner, const std::wstring& initialFolder,
                                               const std::wstring& fileName);

}  // namespace platform::win32
