#include "app/base_window.h"

namespace app {

void RegisterProgramWindowClass(HINSTANCE instance, const wchar_t* name,
                                const WindowClassLook& look) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = look.style;
    windowClass.lpfnWndProc = look.procedure;
    windowClass.cbWndExtra = look.windowExtraBytes;
    windowClass.hInstance = instance;
    windowClass.hIcon = look.icon;
    windowClass.hIconSm = look.smallIcon;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = look.background;
    windowClass.lpszClassName = name;
    ::RegisterClassExW(&windowClass);  // a second registration fails harmlessly
}

bool BaseWindow::HandleDpiChange(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_DPICHANGED) {
        return false;
    }
    const UINT dpi = HIWORD(wParam);
    const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
    ApplyDpi(dpi);
    const SIZE size = SizeAtDpi(dpi, suggested);
    ::SetWindowPos(window_.get(), nullptr, suggested.left, suggested.top, size.cx, size.cy,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

}  // namespace app
