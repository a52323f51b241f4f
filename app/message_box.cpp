#include "app/message_box.h"

#include <commctrl.h>

#include <vector>

#include "app/app_texts.h"
#include "app/base_window.h"
#include "app/dark_controls.h"
#include "app/dpi.h"
#include "app/message_box_layout.h"
#include "app/modal_scope.h"
#include "app/window_procedure.h"
#include "platform/win32/dll_function.h"
#include "platform/win32/unique_handles.h"

namespace app {
namespace {

using platform::win32::UniqueFont;
using platform::win32::UniqueIcon;
using platform::win32::UniqueWindow;

constexpr int kTextId = 0xFFFF;
constexpr int kIconId = 0x0014;
constexpr DWORD kBoxStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kBoxExStyle = WS_EX_DLGMODALFRAME | WS_EX_TOPMOST | WS_EX_CONTROLPARENT;

// One showing of a box: its kind, and the answer once there is one.
struct BoxState final : MessageHandler {
    BoxState(const theme::DarkTheme& theme, BoxKind boxKind) : darkTheme(&theme), kind(boxKind) {}
    LRESULT HandleMessage(HWND box, UINT message, WPARAM wParam, LPARAM lParam) override;

    const theme::DarkTheme* darkTheme;
    BoxKind kind;
    int result = 0;
};

LRESULT BoxState::HandleMessage(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case DM_GETDEFID:
            return MAKELONG(kind == BoxKind::Confirmation ? IDYES : IDOK, DC_HASDEFID);
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            if (id == IDOK || id == IDYES || id == IDNO || id == IDCANCEL) {
                const bool question = kind == BoxKind::Confirmation;
                result = id == IDCANCEL           ? (question ? IDNO : IDOK)
                         : id == IDOK && question ? IDYES
                                                  : id;
                return 0;
            }
            break;
        }
        case WM_ACTIVATE:
            // A click that activated the box has already put the focus on its button: keep it,
            // so that the click is not lost to the activation.
            if (LOWORD(wParam) != WA_INACTIVE) {
                HWND focus = ::GetFocus();
                if (focus == nullptr || ::GetParent(focus) != box) {
                    ::SetFocus(::GetDlgItem(box, kind == BoxKind::Confirmation ? IDYES : IDOK));
                }
            }
            return 0;
        case WM_CLOSE:
            result = kind == BoxKind::Confirmation ? IDNO : IDOK;
            return 0;
        case WM_NOTIFY:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            if (LRESULT answer = 0;
                theme::HandleDarkControlMessage(*darkTheme, message, wParam, lParam, answer)) {
                return answer;
            }
            break;
        default:
            break;
    }
    return ::DefWindowProcW(box, message, wParam, lParam);
}

SIZE TextExtent(HWND window, HFONT font, const std::wstring& text, int maxWidth) {
    platform::win32::WindowDc dc(window);
    platform::win32::SelectedObject selected(dc.get(), font);
    RECT extent{0, 0, maxWidth, 0};
    std::wstring copy = text.empty() ? L" " : text;
    ::DrawTextW(dc.get(), copy.data(), static_cast<int>(copy.size()), &extent,
                DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    return SIZE{extent.right - extent.left, extent.bottom - extent.top};
}

HWND AddChild(HWND parent, const wchar_t* className, const std::wstring& text, DWORD style, int id,
              HFONT font) {
    HWND child = ::CreateWindowExW(0, className, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0,
                                   0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   ::GetModuleHandleW(nullptr), nullptr);
    ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return child;
}

struct ButtonEntry {
    int id;
    const wchar_t* text;
};

std::vector<ButtonEntry> ButtonsOf(BoxKind kind) {
    if (kind == BoxKind::Confirmation) {
        return {{IDYES, texts::kYesButton}, {IDNO, texts::kNoButton}};
    }
    return {{IDOK, texts::kOkButton}};
}

// The answer of a box closed without a choice.
int DismissedResult(BoxKind kind) { return kind == BoxKind::Confirmation ? IDNO : IDOK; }

UniqueWindow CreateBoxWindow(const theme::DarkTheme& theme, HWND owner, const std::wstring& title,
                             BoxState& state) {
    UniqueWindow box(::CreateWindowExW(kBoxExStyle, kMessageBoxClassName, title.c_str(), kBoxStyle,
                                       0, 0, 100, 100, owner, nullptr, ::GetModuleHandleW(nullptr),
                                       static_cast<MessageHandler*>(&state)));
    if (box) {
        ::SetClassLongPtrW(box.get(), GCLP_HBRBACKGROUND,
                           reinterpret_cast<LONG_PTR>(theme.WindowBrush()));
        theme::ApplyDarkFrame(box.get());
    }
    return box;
}

// The error icon at the size for the box's DPI, drawn from the system's image closest to it
// (the common controls of version 6); elsewhere a copy of the system's icon scaled to it.
UniqueIcon ErrorIcon(int size) {
    static const auto scaleDown = platform::win32::DllFunction<decltype(&::LoadIconWithScaleDown)>(
        L"comctl32.dll", "LoadIconWithScaleDown");
    HICON icon = nullptr;
    if (scaleDown != nullptr && SUCCEEDED(scaleDown(nullptr, IDI_ERROR, size, size, &icon))) {
        return UniqueIcon(icon);
    }
    return UniqueIcon(static_cast<HICON>(
        ::CopyImage(::LoadIconW(nullptr, IDI_ERROR), IMAGE_ICON, size, size, LR_COPYFROMRESOURCE)));
}

void Place(HWND control, const BoxRect& rect) {
    ::MoveWindow(control, rect.left, rect.top, rect.width, rect.height, FALSE);
}

// The icon, the text and the buttons at their places; returns the default button, the first.
HWND AddControls(HWND box, HFONT font, HICON icon, const std::wstring& text,
                 const std::vector<ButtonEntry>& buttons, const BoxLayout& layout) {
    if (layout.icon.width > 0) {
        HWND iconControl = AddChild(box, L"STATIC", L"", SS_ICON, kIconId, font);
        ::SendMessageW(iconControl, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
        Place(iconControl, layout.icon);
    }
    Place(AddChild(box, L"STATIC", text, SS_LEFT | SS_NOPREFIX, kTextId, font), layout.text);
    HWND defaultButton = nullptr;
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        const bool isDefault = i == 0;
        HWND button = AddChild(box, L"BUTTON", buttons[i].text,
                               WS_TABSTOP | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON),
                               buttons[i].id, font);
        Place(button, layout.buttons[i]);
        if (isDefault) {
            defaultButton = button;
        }
    }
    return defaultButton;
}

// Sizes the box around its client area and centres it on the screen, topmost.
void PlaceCentred(HWND box, const BoxLayout& layout, UINT dpi) {
    RECT outer{0, 0, layout.clientWidth, layout.clientHeight};
    AdjustWindowRectForDpi(outer, kBoxStyle, kBoxExStyle, dpi);
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    ::SetWindowPos(box, HWND_TOPMOST, (::GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                   (::GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, 0);
}

// Shows the box and runs its messages until it has an answer, the program's other windows
// disabled meanwhile.
int RunBox(HWND box, HWND defaultButton, BoxState& state) {
    ModalScope modal(box);
    ::ShowWindow(box, SW_SHOWNORMAL);
    ::SetForegroundWindow(box);
    ::SetFocus(defaultButton);
    if (!RunModalLoop(box, [&state] { return state.result != 0; })) {
        state.result = DismissedResult(state.kind);
    }
    return state.result;
}

}  // namespace

void RegisterMessageBoxClass(HINSTANCE instance) {
    RegisterProgramWindowClass(instance, kMessageBoxClassName, WindowClassLook{});
}

BoxSystemLook BoxSystemLookAt(UINT dpi) {
    return BoxSystemLook{NonClientMetricsAt(dpi).lfMessageFont, SystemMetricAt(SM_CXICON, dpi)};
}

int ShowMessageBox(const theme::DarkTheme& theme, HWND owner, const std::wstring& title,
                   const std::wstring& text, BoxKind kind) {
    BoxState state(theme, kind);
    UniqueIcon icon;  // declared before the box, which shows it
    const UniqueWindow box = CreateBoxWindow(theme, owner, title, state);
    if (!box) {
        return DismissedResult(kind);
    }
    const UINT dpi = WindowDpi(box.get());
    const BoxSystemLook look = BoxSystemLookAt(dpi);
    const UniqueFont font(::CreateFontIndirectW(&look.font));
    const SIZE textSize = TextExtent(box.get(), font.get(), text, MessageTextWidthLimit(dpi));
    const std::vector<ButtonEntry> buttons = ButtonsOf(kind);
    if (kind == BoxKind::Error) {
        icon = ErrorIcon(look.iconSize);
    }
    const BoxLayout layout = LayOutMessageBox(BoxMeasures{
        textSize.cx, textSize.cy, kind == BoxKind::Error ? look.iconSize : 0, buttons.size(), dpi});
    HWND defaultButton = AddControls(box.get(), font.get(), icon.get(), text, buttons, layout);
    PlaceCentred(box.get(), layout, dpi);
    return RunBox(box.get(), defaultButton, state);
}

}  // namespace app
