#include "cadsim/control_window.h"

#include <system_error>

#include "cadsim/control_protocol.h"

namespace cadsim {
namespace {

[[noreturn]] void ThrowLastError(const char* what) {
    throw std::system_error(static_cast<int>(::GetLastError()), std::system_category(), what);
}

void RegisterControlClass(WNDPROC windowProc) {
    const HINSTANCE module = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = module;
    windowClass.lpszClassName = kControlClassName;
    if (::RegisterClassExW(&windowClass) == 0 && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        ThrowLastError("cannot register the control window class");
    }
}

// The command text; the sender need not end it with a NUL, so the length comes from cbData.
std::wstring_view CommandText(const COPYDATASTRUCT& data) {
    if (data.lpData == nullptr) {
        return {};
    }
    std::wstring_view text(static_cast<const wchar_t*>(data.lpData), data.cbData / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0') {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace

ControlWindow::ControlWindow(const std::wstring& name, CommandHandler handler)
    : handler_(std::move(handler)) {
    RegisterControlClass(&ControlWindow::WindowProc);
    const HWND window = ::CreateWindowExW(0, kControlClassName, name.c_str(), 0, 0, 0, 0, 0,
                                          HWND_MESSAGE, nullptr, ::GetModuleHandleW(nullptr), this);
    if (window == nullptr) {
        ThrowLastError("cannot create the control window");
    }
    window_.reset(window);
}

ControlWindow::~ControlWindow() {
    if (window_) {
        ::DestroyWindow(window_.get());
    }
}

LRESULT CALLBACK ControlWindow::WindowProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<ControlWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self != nullptr && message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->window_.release();
    } else if (self != nullptr && message == WM_COPYDATA) {
        return self->OnCopyData(*reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

LRESULT ControlWindow::OnCopyData(const COPYDATASTRUCT& data) {
    if (data.dwData != kCommandTag) {
        return 0;
    }
    try {
        return handler_(CommandText(data));
    } catch (...) {
        return 0;  // a failing command answers 0; the exception stays on this side
    }
}

}  // namespace cadsim
