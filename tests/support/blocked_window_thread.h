#pragma once

#include <windows.h>

#include <atomic>
#include <thread>

#include "platform/win32/unique_handles.h"

namespace test_support {

// A top-level window, titled and classed like AutoCAD's main window, on a thread of its own that
// stops pumping messages once the window and its default IME window exist: a busy or hung
// AutoCAD as the panel sees it. The thread pumps again and ends when the object goes away, or
// when `releaseAfterMs` have passed, so that a caller that waits without a bound gets an answer
// late instead of hanging for ever.
class BlockedWindowThread {
  public:
    static constexpr wchar_t kTitle[] = L"Autodesk AutoCAD 2025 - [Drawing1.dwg]";
    static constexpr wchar_t kClassName[] = L"AfxMDIFrame140u";

    // minimised: the window is shown minimised before the thread stops pumping.
    explicit BlockedWindowThread(DWORD releaseAfterMs = 10000, bool minimised = false);
    ~BlockedWindowThread();
    BlockedWindowThread(const BlockedWindowThread&) = delete;
    BlockedWindowThread& operator=(const BlockedWindowThread&) = delete;

    HWND Window() const { return window_; }
    // The window's default IME window, as ImmGetDefaultIMEWnd gives it; none when there is none.
    HWND ImeWindow() const { return imeWindow_; }
    // Whether the thread pumps again.
    bool Released() const { return released_; }

  private:
    void Run();

    DWORD releaseAfterMs_;
    bool minimised_;
    std::atomic<bool> released_{false};
    platform::win32::UniqueKernelHandle ready_;
    platform::win32::UniqueKernelHandle release_;
    HWND window_ = nullptr;
    HWND imeWindow_ = nullptr;
    std::thread thread_;
};

}  // namespace test_support
