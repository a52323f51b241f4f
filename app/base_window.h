#pragma once

#include <windows.h>

#include "app/fonts.h"
#include "app/window_procedure.h"
#include "platform/win32/unique_handles.h"

namespace app {

// How a window class of the program differs from the others. Every class has the arrow cursor
// and, unless it names another, the procedure that hands its messages to the window's
// MessageHandler (HandlerWindowProc).
struct WindowClassLook {
    UINT style = 0;
    HICON icon = nullptr;
    HICON smallIcon = nullptr;
    HBRUSH background = nullptr;
    int windowExtraBytes = 0;
    WNDPROC procedure = HandlerWindowProc;
};

void RegisterProgramWindowClass(HINSTANCE instance, const wchar_t* name,
                                const WindowClassLook& look);

// What the program's own windows share: the handle, owned from WM_NCCREATE until the window is
// gone; the fonts, which outlive it; and the move to a monitor of another DPI. A derived window
// destroys its window in its own destructor, while the handlers its messages reach still exist.
class BaseWindow : public MessageHandler {
  public:
    HWND Window() const { return window_.get(); }

    // MessageHandler
    void Attach(HWND window) noexcept override { window_.reset(window); }
    void Detach() noexcept override { (void)window_.release(); }

  protected:
    BaseWindow() = default;
    ~BaseWindow() = default;
    BaseWindow(const BaseWindow&) = delete;
    BaseWindow& operator=(const BaseWindow&) = delete;

    // WM_DPICHANGED: the fonts and controls at the new DPI, then the window at the suggested
    // place with the size SizeAtDpi gives, in one move. True when the message was that one.
    bool HandleDpiChange(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void ApplyDpi(UINT dpi) = 0;
    virtual SIZE SizeAtDpi(UINT dpi, const RECT& suggested) const = 0;

    FontSet fonts_;  // before the window: destroyed after it
    platform::win32::UniqueWindow window_;
};

}  // namespace app
