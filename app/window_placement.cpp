#include "app/window_placement.h"

namespace app {

RECT RestoredWindowRect(HWND window) {
    RECT rect{};
    if (!::IsIconic(window)) {
        ::GetWindowRect(window, &rect);
        return rect;
    }
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    ::GetWindowPlacement(window, &placement);
    rect = placement.rcNormalPosition;
    // The normal position is in work-area coordinates of the window's monitor.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (::GetMonitorInfoW(::MonitorFromRect(&rect, MONITOR_DEFAULTTOPRIMARY), &monitor)) {
        ::OffsetRect(&rect, monitor.rcWork.left - monitor.rcMonitor.left,
                     monitor.rcWork.top - monitor.rcMonitor.top);
    }
    return rect;
}

}  // namespace app
