#include "tests/support/blocked_window_thread.h"

#include <imm.h>

namespace test_support {
namespace {

LRESULT CALLBACK PlainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void RegisterLookAlikeClass() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = PlainWindowProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = BlockedWindowThread::kClassName;
    ::RegisterClassExW(&windowClass);  // a second registration fails harmlessly
}

}  // namespace

BlockedWindowThread::BlockedWindowThread(DWORD releaseAfterMs, bool minimised)
    : releaseAfterMs_(releaseAfterMs),
      minimised_(minimised),
      ready_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      release_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    thread_ = std::thread([this] { Run(); });
    ::WaitForSingleObject(ready_.get(), INFINITE);
}

BlockedWindowThread::~BlockedWindowThread() {
    ::SetEvent(release_.get());
    thread_.join();
}

void BlockedWindowThread::Run() {
    RegisterLookAlikeClass();
    window_ = ::CreateWindowExW(0, kClassName, kTitle, WS_OVERLAPPEDWINDOW, 0, 0, 200, 150, nullptr,
                                nullptr, ::GetModuleHandleW(nullptr), nullptr);
    imeWindow_ = window_ != nullptr ? ::ImmGetDefaultIMEWnd(window_) : nullptr;
    if (minimised_ && window_ != nullptr) {
        ::ShowWindow(window_, SW_SHOWMINNOACTIVE);
    }
    ::SetEvent(ready_.get());

    // Blocked: messages sent to the thread's windows wait here.
    ::WaitForSingleObject(release_.get(), releaseAfterMs_);
    released_ = true;

    // Released: what was sent meanwhile is answered, then the window goes.
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::DispatchMessageW(&message);
    }
    if (window_ != nullptr) {
        ::DestroyWindow(window_);
    }
}

}  // namespace test_support
