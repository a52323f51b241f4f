#include "app/dark_controls.h"

#include <algorithm>
#include <string>

#include "platform/win32/unique_handles.h"
#include "platform/win32/window_text.h"

namespace app::theme {
namespace {

using platform::win32::SelectedObject;
using platform::win32::UniqueBrush;
using platform::win32::UniquePen;
using platform::win32::WindowDc;

void Fill(HDC dc, const RECT& rect, COLORREF colour) {
    UniqueBrush brush(::CreateSolidBrush(colour));
    ::FillRect(dc, &rect, brush.get());
}

void Frame(HDC dc, const RECT& rect, COLORREF colour) {
    UniqueBrush brush(::CreateSolidBrush(colour));
    ::FrameRect(dc, &rect, brush.get());
}

// Like the system's buttons, "&" marks the access key: "はい(&Y)" shows "はい(Y)", with the Y
// underlined while the window shows keyboard cues.
UINT PrefixFormat(const NMCUSTOMDRAW& draw) {
    return (draw.uItemState & CDIS_SHOWKEYBOARDCUES) != 0 ? 0 : DT_HIDEPREFIX;
}

void DrawControlText(const NMCUSTOMDRAW& draw, RECT rect, UINT format, COLORREF colour) {
    HWND control = draw.hdr.hwndFrom;
    SelectedObject font(draw.hdc,
                        reinterpret_cast<HGDIOBJ>(::SendMessageW(control, WM_GETFONT, 0, 0)));
    ::SetBkMode(draw.hdc, TRANSPARENT);
    ::SetTextColor(draw.hdc, colour);
    std::wstring text = platform::win32::WindowTextOf(control);
    ::DrawTextW(draw.hdc, text.data(), static_cast<int>(text.size()), &rect,
                format | DT_SINGLELINE | DT_VCENTER | PrefixFormat(draw));
}

void DrawPushButton(const NMCUSTOMDRAW& draw) {
    const bool enabled = ::IsWindowEnabled(draw.hdr.hwndFrom) != FALSE;
    const bool pressed = (draw.uItemState & CDIS_SELECTED) != 0;
    const bool hot = (draw.uItemState & CDIS_HOT) != 0;
    const bool focused = (draw.uItemState & CDIS_FOCUS) != 0;
    const COLORREF face = pressed ? kButtonPressed : hot ? kButtonHot : kButtonFace;
    Fill(draw.hdc, draw.rc, face);
    Frame(draw.hdc, draw.rc, focused ? kFocusBorder : kBorder);
    DrawControlText(draw, draw.rc, DT_CENTER, enabled ? kText : kDisabledText);
}

void DrawCheckBox(const NMCUSTOMDRAW& draw) {
    HWND control = draw.hdr.hwndFrom;
    const bool checked = ::SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
    const bool focused = (draw.uItemState & CDIS_FOCUS) != 0;
    Fill(draw.hdc, draw.rc, kWindowBackground);

    // The box: a square as high as the text line allows, at the left, centred vertically.
    const int height = draw.rc.bottom - draw.rc.top;
    const int side = std::min(height, ::MulDiv(13, height, 17));
    RECT box{draw.rc.left, draw.rc.top + (height - side) / 2, draw.rc.left + side, 0};
    box.bottom = box.top + side;
    Fill(draw.hdc, box, checked ? kAccent : kControlBackground);
    Frame(draw.hdc, box, checked ? kAccent : kBorder);
    if (checked) {
        const int penWidth = std::max(1, side / 8);
        UniquePen pen(::CreatePen(PS_SOLID, penWidth, kText));
        SelectedObject selectedPen(draw.hdc, pen.get());
        const POINT tick[] = {{box.left + side * 3 / 14, box.top + side * 7 / 14},
                              {box.left + side * 6 / 14, box.top + side * 10 / 14},
                              {box.left + side * 11 / 14, box.top + side * 4 / 14}};
        ::Polyline(draw.hdc, tick, 3);
    }

    RECT text = draw.rc;
    text.left = box.right + std::max(2, side / 3);
    DrawControlText(draw, text, DT_LEFT, kText);
    if (focused) {
        RECT extent = text;
        SelectedObject font(draw.hdc,
                            reinterpret_cast<HGDIOBJ>(::SendMessageW(control, WM_GETFONT, 0, 0)));
        std::wstring caption = platform::win32::WindowTextOf(control);
        ::DrawTextW(draw.hdc, caption.data(), static_cast<int>(caption.size()), &extent,
                    DT_SINGLELINE | DT_VCENTER | DT_CALCRECT | PrefixFormat(draw));
        const int lineHeight = extent.bottom - extent.top;
        extent.top = text.top + (height - lineHeight) / 2;
        extent.bottom = extent.top + lineHeight;
        ::InflateRect(&extent, 1, 0);
        Frame(draw.hdc, extent, kFocusBorder);
    }
}

}  // namespace

LRESULT CustomDrawButton(const NMCUSTOMDRAW& draw) {
    if (draw.dwDrawStage != CDDS_PREPAINT) {
        return CDRF_DODEFAULT;
    }
    const LONG_PTR style = ::GetWindowLongPtrW(draw.hdr.hwndFrom, GWL_STYLE) & BS_TYPEMASK;
    if (style == BS_AUTOCHECKBOX || style == BS_CHECKBOX) {
        DrawCheckBox(draw);
    } else {
        DrawPushButton(draw);
    }
    return CDRF_SKIPDEFAULT;
}

HBRUSH ControlColours(const DarkTheme& theme, UINT message, HDC dc) {
    ::SetTextColor(dc, kText);
    if (message == WM_CTLCOLOREDIT) {
        ::SetBkColor(dc, kEditBackground);
        return theme.EditBrush();
    }
    ::SetBkColor(dc, kWindowBackground);
    ::SetBkMode(dc, TRANSPARENT);
    return theme.WindowBrush();
}

bool HandleDarkControlMessage(const DarkTheme& theme, UINT message, WPARAM wParam, LPARAM lParam,
                              LRESULT& answer) {
    switch (message) {
        case WM_NOTIFY:
            if (reinterpret_cast<const NMHDR*>(lParam)->code != NM_CUSTOMDRAW) {
                return false;
            }
            answer = CustomDrawButton(*reinterpret_cast<const NMCUSTOMDRAW*>(lParam));
            return true;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
            answer = reinterpret_cast<LRESULT>(
                ControlColours(theme, message, reinterpret_cast<HDC>(wParam)));
            return true;
        default:
            return false;
    }
}

void FrameEditInDarkBorder(HWND edit) {
    const WindowDc dc(edit, WindowDc::Area::WholeWindow);
    RECT window;
    ::GetWindowRect(edit, &window);
    ::OffsetRect(&window, -window.left, -window.top);
    Frame(dc.get(), window, kBorder);
}

}  // namespace app::theme
