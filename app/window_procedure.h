#pragma once

#include <windows.h>

#include <exception>

namespace app {

// How one window or subclassed control of the program answers its messages. Every window and
// subclass procedure of the program dispatches through DispatchGuarded, so that no error
// unwinds through the system's frames, which on 64-bit Windows may end the process or skip the
// system's own clean-up.
class MessageHandler {
  public:
    // `window` is the handle the procedure received; it stays valid while the window is being
    // destroyed, when the owner's own copy may already be cleared.
    virtual LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;
    // An error that escaped HandleMessage outside painting and measuring. True when it went to
    // the application-wide handler; false lets the message's default handling answer.
    virtual bool ReportError(const std::exception_ptr& /*error*/) noexcept { return false; }
    // The window has come into being (WM_NCCREATE), or is gone (WM_NCDESTROY).
    virtual void Attach(HWND /*window*/) noexcept {}
    virtual void Detach() noexcept {}

  protected:
    MessageHandler() = default;
    ~MessageHandler() = default;
    MessageHandler(const MessageHandler&) = default;
    MessageHandler& operator=(const MessageHandler&) = default;
};

// Messages during which a window paints or measures: an error there falls back to the default
// handling instead of a box, which would paint in the middle of painting.
bool IsPaintingMessage(UINT message);

using DefaultProcedure = LRESULT(WINAPI*)(HWND, UINT, WPARAM, LPARAM);

// Runs the handler. An error that escapes it ends here: while painting or measuring, or when the
// handler does not report it, `fallback` (the default handling) answers the message.
LRESULT DispatchGuarded(MessageHandler& handler, HWND window, UINT message, WPARAM wParam,
                        LPARAM lParam, DefaultProcedure fallback) noexcept;

// The window procedure of the program's window classes. The handler is the window's creation
// parameter (a MessageHandler*), kept in GWLP_USERDATA from WM_NCCREATE until WM_NCDESTROY.
LRESULT CALLBACK HandlerWindowProc(HWND window, UINT message, WPARAM wParam,
                                   LPARAM lParam) noexcept;

// Subclasses a control: its messages go to the handler first, which calls DefSubclassProc for
// the control's own handling (the handler subclassed before it, then the control). Each
// handler is a subclass of its own; the subclass goes with the control.
void SubclassControl(HWND control, MessageHandler& handler);

}  // namespace app
