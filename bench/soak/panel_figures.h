#pragma once

// What a long run of the panel must keep flat: its kernel handles, its private bytes (under
// Wine the GDI objects live in the process, so a GDI leak shows here too) and its top-level
// windows.

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace soak {

struct PanelFigures {
    DWORD handles = 0;
    // Of the handles: the keys ...\Explorer\ComDlg32\LastVisitedMRU that Wine 8's save dialog
    // opens on every accepted name and never closes (Wine's leak, not the panel's).
    DWORD wineDialogKeys = 0;
    std::uint64_t privateBytes = 0;
    std::size_t windows = 0;         // every top-level window of the process
    std::size_t visibleWindows = 0;  // those of them that show
};

// Reads the figures of the process; `process` needs PROCESS_QUERY_INFORMATION,
// PROCESS_VM_READ and PROCESS_DUP_HANDLE.
PanelFigures ReadPanelFigures(HANDLE process, DWORD processId);

// The classes of the process's top-level windows, "(hidden)" after those that do not show:
// what the window count is made of.
std::string WindowClassesOf(DWORD processId);

// "handles=123 (wine_dialog_keys=4) private_kib=4567 windows=3 visible=1"
std::string FormatFigures(const PanelFigures& figures);

}  // namespace soak
