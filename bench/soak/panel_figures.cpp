#include "bench/soak/panel_figures.h"

#include <psapi.h>

#include <string_view>

#include "bench/bench_win32.h"
#include "bench/soak/system_lists.h"

namespace soak {
namespace {

constexpr std::wstring_view kDialogKey = L"\\Explorer\\ComDlg32\\LastVisitedMRU";

struct ClassList {
    DWORD processId;
    std::string text;
};

BOOL CALLBACK AddWindowClass(HWND window, LPARAM context) {
    auto* list = reinterpret_cast<ClassList*>(context);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    wchar_t name[128] = {};
    if (owner == list->processId && ::GetClassNameW(window, name, 128) > 0) {
        list->text += (list->text.empty() ? "" : ", ") + bench::ToUtf8(name) +
                      (::IsWindowVisible(window) ? "" : " (hidden)");
    }
    return TRUE;
}

}  // namespace

PanelFigures ReadPanelFigures(HANDLE process, DWORD processId) {
    PanelFigures figures;
    const std::vector<USHORT> handles = HandlesOf(processId);
    // Wine 8 answers 0 for another process here; the system's lists have the figures.
    if (!::GetProcessHandleCount(process, &figures.handles) || figures.handles == 0) {
        figures.handles = static_cast<DWORD>(handles.size());
    }
    for (const USHORT handle : handles) {
        figures.wineDialogKeys += KeyNameOf(process, handle).ends_with(kDialogKey) ? 1 : 0;
    }
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (::GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                               sizeof memory)) {
        figures.privateBytes = memory.PrivateUsage;
    }
    if (figures.privateBytes == 0) {
        figures.privateBytes = CommitChargeOf(processId);
    }
    figures.windows = bench::CountProcessWindows(processId, false);
    figures.visibleWindows = bench::CountProcessWindows(processId, true);
    return figures;
}

std::string WindowClassesOf(DWORD processId) {
    ClassList list{processId, {}};
    ::EnumWindows(AddWindowClass, reinterpret_cast<LPARAM>(&list));
    return list.text;
}

std::string FormatFigures(const PanelFigures& figures) {
    return "handles=" + std::to_string(figures.handles) +
           " (wine_dialog_keys=" + std::to_string(figures.wineDialogKeys) + ")" +
           " private_kib=" + std::to_string(figures.privateBytes / 1024) +
           " windows=" + std::to_string(figures.windows) +
           " visible=" + std::to_string(figures.visibleWindows);
}

}  // namespace soak
