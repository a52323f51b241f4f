#include "cadsim/main_window.h"

#include <system_error>

#include "cadsim/text.h"

namespace cadsim {
namespace {

[[noreturn]] void ThrowLastError(const char* what) {
    throw std::system_error(static_cast<int>(::GetLastError()), std::system_category(), what);
}

// Registers the class once per name; a later main window of the same class reuses it.
void RegisterMainWindowClass(const std::wstring& className, WNDPROC windowProc) {
    const HINSTANCE module = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (::GetClassInfoExW(module, className.c_str(), &existing)) {
        return;
    }
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = module;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
    windowClass.lpszClassName = className.c_str();
    if (::RegisterClassExW(&windowClass) == 0) {
        ThrowLastError("cannot register the main window class");
    }
}

int ShowCommand(InitialShow show) {
    switch (show) {
        case InitialShow::minimized:
            return SW_SHOWMINIMIZED;
        case InitialShow::hidden:
            return SW_HIDE;
        case InitialShow::normal:
            break;
    }
    return SW_SHOWNORMAL;
}

}  // namespace

MainWindow::MainWindow(const std::wstring& title, const std::wstring& className,
                       const WindowRect& rect, InitialShow show, Recorder& recorder,
                       std::function<void()> onCloseRequest)
    : recorder_(recorder), onCloseRequest_(std::move(onCloseRequest)) {
    RegisterMainWindowClass(className, &MainWindow::WindowProc);
    const HWND window = ::CreateWindowExW(0, className.c_str(), title.c_str(), WS_OVERLAPPEDWINDOW,
                                          rect.x, rect.y, rect.width, rect.height, nullptr, nullptr,
                                          ::GetModuleHandleW(nullptr), this);
    if (window == nullptr) {
        ThrowLastError("cannot create the main window");
    }
    window_.reset(window);
    recorder_.Line("window " + HexValue(reinterpret_cast<std::uintptr_t>(window)));
    if (show != InitialShow::hidden) {
        ::ShowWindow(window, ShowCommand(show));
        ::UpdateWindow(window);
    }
}

MainWindow::~MainWindow() {
    // Destroyed here rather than by window_'s own destructor: WM_NCDESTROY empties window_.
    if (window_) {
        ::DestroyWindow(window_.get());
    }
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) {
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->window_.release();  // the window is gone: nothing left to destroy
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    try {
        return self->OnMessage(window, message, wParam, lParam);
    } catch (...) {
        // No exception may cross the window manager's frames; a record that cannot be
        // written loses the line and nothing else.
        return 0;
    }
}

LRESULT MainWindow::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        // The system variants are handled here as well, so that F10 and Alt reach the record
        // and never start the window's menu mode.
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            recorder_.Line("key down " + HexByte(static_cast<unsigned>(wParam)));
            return 0;
        case WM_KEYUP:
        case WM_SYSKEYUP:
            recorder_.Line("key up " + HexByte(static_cast<unsigned>(wParam)));
            return 0;
        case WM_SYSCHAR:
            return 0;
        case WM_CLOSE:
            // Closing AutoCAD's window ends AutoCAD: the owner ends the process.
            onCloseRequest_();
            return 0;
        case WM_DESTROY:
            recorder_.Line("window-closed");
            return 0;
        default:
            break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace cadsim
