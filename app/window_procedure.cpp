#include "app/window_procedure.h"

#include <commctrl.h>

#include "platform/win32/win32_trace.h"

namespace app {
namespace {

LRESULT CALLBACK HandlerSubclassProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR id, DWORD_PTR data) noexcept {
    if (message == WM_NCDESTROY) {
        ::RemoveWindowSubclass(control, HandlerSubclassProc, id);
        return ::DefSubclassProc(control, message, wParam, lParam);
    }
    return DispatchGuarded(*reinterpret_cast<MessageHandler*>(data), control, message, wParam,
                           lParam, ::DefSubclassProc);
}

}  // namespace

bool IsPaintingMessage(UINT message) {
    switch (message) {
        case WM_PAINT:
        case WM_NCPAINT:
        case WM_ERASEBKGND:
        case WM_PRINTCLIENT:
        case WM_DRAWITEM:
        case WM_MEASUREITEM:
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
            return true;
        default:
            return false;
    }
}

LRESULT DispatchGuarded(MessageHandler& handler, HWND window, UINT message, WPARAM wParam,
                        LPARAM lParam, DefaultProcedure fallback) noexcept {
    try {
        return handler.HandleMessage(window, message, wParam, lParam);
    } catch (...) {
        if (!IsPaintingMessage(message) && handler.ReportError(std::current_exception())) {
            return 0;
        }
        // The default handling answers instead; only the trace tells of the error.
        platform::win32::Win32Trace trace;
        platform::TraceSwallowed(trace, L"DispatchGuarded", std::current_exception());
    }
    return fallback(window, message, wParam, lParam);
}

LRESULT CALLBACK HandlerWindowProc(HWND window, UINT message, WPARAM wParam,
                                   LPARAM lParam) noexcept {
    if (message == WM_NCCREATE) {
        auto* created = static_cast<MessageHandler*>(
            reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
        if (created != nullptr) {
            created->Attach(window);
        }
    }
    auto* handler = reinterpret_cast<MessageHandler*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (handler == nullptr) {
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        handler->Detach();
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    return DispatchGuarded(*handler, window, message, wParam, lParam, ::DefWindowProcW);
}

// A subclass is known by its procedure and its id: the handler's address as the id keeps two
// handlers of one control apart, where one id would make the second replace the first.
void SubclassControl(HWND control, MessageHandler& handler) {
    ::SetWindowSubclass(control, HandlerSubclassProc, reinterpret_cast<UINT_PTR>(&handler),
                        reinterpret_cast<DWORD_PTR>(&handler));
}

}  // namespace app
