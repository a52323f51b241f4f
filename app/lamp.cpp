#include "app/lamp.h"

#include "app/base_window.h"
#include "app/window_procedure.h"
#include "platform/panel.h"
#include "platform/win32/unique_handles.h"

namespace app {
namespace {

// The fill colour lives in the window's extra bytes, where the lamp's painting reads it.
constexpr int kFillOffset = 0;

class LampPainter final : public MessageHandler {
  public:
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
};

LRESULT LampPainter::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            ::SetWindowLongPtrW(window, kFillOffset, platform::kLampWhite);
            return 0;
        case WM_NCHITTEST:
            return HTTRANSPARENT;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = ::BeginPaint(window, &paint);
            RECT client;
            ::GetClientRect(window, &client);
            platform::win32::UniqueBrush fill(::CreateSolidBrush(LampFill(window)));
            ::FillRect(dc, &client, fill.get());
            ::FrameRect(dc, &client, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
            ::EndPaint(window, &paint);
            return 0;
        }
        default:
            return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

// A lamp keeps its colour in its own window, so one painter serves every lamp.
LRESULT CALLBACK LampProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    static LampPainter painter;
    return DispatchGuarded(painter, window, message, wParam, lParam, ::DefWindowProcW);
}

}  // namespace

void RegisterLampClass(HINSTANCE instance) {
    WindowClassLook look;
    look.procedure = LampProc;
    look.windowExtraBytes = sizeof(LONG_PTR);  // the fill colour
    RegisterProgramWindowClass(instance, kLampClassName, look);
}

COLORREF LampFill(HWND lamp) {
    return static_cast<COLORREF>(::GetWindowLongPtrW(lamp, kFillOffset));
}

void SetLampFill(HWND lamp, COLORREF colour) {
    if (LampFill(lamp) == colour) {
        return;
    }
    ::SetWindowLongPtrW(lamp, kFillOffset, static_cast<LONG_PTR>(colour));
    ::InvalidateRect(lamp, nullptr, FALSE);
}

}  // namespace app
