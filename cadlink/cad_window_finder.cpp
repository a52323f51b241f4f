#include "cadlink/cad_window_finder.h"

#include <optional>
#include <string>

#include "cadlink/cad_window_texts.h"

namespace cadlink {

bool EnumCadWindowProc(platform::WindowSystem& windows, platform::WindowHandle window) {
    const std::wstring title = windows.WindowText(window);
    if (title.empty() || !IsCadMainWindowTitle(title)) {
        return true;
    }
    const std::optional<std::wstring> className = windows.ClassName(window);
    if (!className || !IsCadMainWindowClass(*className)) {
        return true;
    }
    CadMainWindow = window;
    return false;
}

platform::WindowHandle FindCadMainWindow(platform::WindowSystem& windows) {
    CadMainWindow = platform::WindowHandle::none;
    windows.EnumTopLevelWindows(
        [&windows](platform::WindowHandle window) { return EnumCadWindowProc(windows, window); });
    return CadMainWindow;
}

void BringCadMainWindowToFront(platform::WindowSystem& windows) {
    windows.SetForegroundWindow(FindCadMainWindow(windows));
}

}  // namespace cadlink
