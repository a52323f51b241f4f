#include "app/panel_keyboard.h"

#include <vector>

namespace app {
namespace {

bool IsPushButton(HWND control) {
    wchar_t className[16] = {};
    ::GetClassNameW(control, className, 16);
    const LONG_PTR type = ::GetWindowLongPtrW(control, GWL_STYLE) & BS_TYPEMASK;
    return ::lstrcmpiW(className, L"Button") == 0 &&
           (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
}

// The controls with WS_TABSTOP in the order of the panel's children, which is the order in
// which they were made.
std::vector<HWND> TabStops(HWND panel) {
    std::vector<HWND> stops;
    for (HWND child = ::GetWindow(panel, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        if ((::GetWindowLongPtrW(child, GWL_STYLE) & WS_TABSTOP) != 0) {
            stops.push_back(child);
        }
    }
    return stops;
}

}  // namespace

bool PanelKeyboard::PreTranslate(HWND panel, const MSG& message) const {
    if (panel == nullptr || message.message != WM_KEYDOWN ||
        (message.hwnd != panel && ::GetParent(message.hwnd) != panel)) {
        return false;
    }
    HWND focus = message.hwnd;
    switch (message.wParam) {
        case VK_TAB:
            MoveFocus(panel, focus, ::GetKeyState(VK_SHIFT) >= 0);
            return true;
        case VK_RIGHT:
        case VK_DOWN:
        case VK_LEFT:
        case VK_UP:
            if (::GetDlgCtrlID(focus) == editId_ && ::GetParent(focus) == panel) {
                return false;  // the caret moves
            }
            MoveFocus(panel, focus, message.wParam == VK_RIGHT || message.wParam == VK_DOWN);
            return true;
        case VK_RETURN:
            if (IsPushButton(focus)) {
                press_(::GetDlgCtrlID(focus));
            }
            return true;
        case VK_ESCAPE:
            return true;
        default:
            return false;
    }
}

void PanelKeyboard::MoveFocus(HWND panel, HWND from, bool forward) {
    const std::vector<HWND> stops = TabStops(panel);
    if (stops.empty()) {
        return;
    }
    const std::size_t count = stops.size();
    std::size_t next = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (stops[i] == from) {
            next = (i + (forward ? 1 : count - 1)) % count;
        }
    }
    ::SetFocus(stops[next]);
}

}  // namespace app
