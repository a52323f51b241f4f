#include "app/message_box.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "app/dark_controls.h"
#include "app/dpi.h"
#include "app/modal_scope.h"
#include "app/window_procedure.h"
#include "platform/win32/unique_handles.h"

namespace app {
namespace {

using platform::win32::UniqueFont;
using platform::win32::UniqueWindow;

constexpr int kTextId = 0xFFFF;
constexpr int kIconId = 0x0014;

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

}  // namespace

void RegisterMessageBoxClass(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = HandlerWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = nullptr;
    windowClass.lpszClassName = kMessageBoxClassName;
    ::RegisterClassExW(&windowClass);
}

int ShowMessageBox(const theme::DarkTheme& theme, const std::wstring& title,
                   const std::wstring& text, BoxKind kind) {
    BoxState state(theme, kind);
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_TOPMOST | WS_EX_CONTROLPARENT;
    UniqueWindow box(::CreateWindowExW(exStyle, kMessageBoxClassName, title.c_str(), style, 0, 0,
                                       100, 100, nullptr, nullptr, ::GetModuleHandleW(nullptr),
                                       static_cast<MessageHandler*>(&state)));
    if (!box) {
        return kind == BoxKind::Confirmation ? IDNO : IDOK;
    }
    ::SetClassLongPtrW(box.get(), GCLP_HBRBACKGROUND,
                       reinterpret_cast<LONG_PTR>(theme.WindowBrush()));
    theme::ApplyDarkFrame(box.get());

    const UINT dpi = WindowDpi(box.get());
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    UniqueFont font(::CreateFontIndirectW(&metrics.lfMessageFont));

    const int margin = Scale(16, dpi);
    const int gap = Scale(10, dpi);
    const int buttonWidth = Scale(88, dpi);
    const int buttonHeight = Scale(26, dpi);
    const int iconSize = ::GetSystemMetrics(SM_CXICON);
    const bool withIcon = kind == BoxKind::Error;

    const SIZE textSize = TextExtent(box.get(), font.get(), text, Scale(480, dpi));
    const int textLeft = margin + (withIcon ? iconSize + gap : 0);
    const int contentHeight = std::max<int>(textSize.cy, withIcon ? iconSize : 0);

    struct ButtonEntry {
        int id;
        const wchar_t* text;
    };
    std::vector<ButtonEntry> buttons;
    if (kind == BoxKind::Confirmation) {
        buttons = {{IDYES, L"はい(&Y)"}, {IDNO, L"いいえ(&N)"}};
    } else {
        buttons = {{IDOK, L"OK"}};
    }
    const int buttonsWidth =
        static_cast<int>(buttons.size()) * buttonWidth + static_cast<int>(buttons.size() - 1) * gap;
    const int clientWidth =
        std::max(textLeft + static_cast<int>(textSize.cx) + margin, buttonsWidth + 2 * margin);
    const int buttonsTop = margin + contentHeight + margin;
    const int clientHeight = buttonsTop + buttonHeight + margin;

    if (withIcon) {
        HWND icon = AddChild(box.get(), L"STATIC", L"", SS_ICON, kIconId, font.get());
        ::SendMessageW(icon, STM_SETICON, reinterpret_cast<WPARAM>(::LoadIconW(nullptr, IDI_ERROR)),
                       0);
        ::MoveWindow(icon, margin, margin, iconSize, iconSize, FALSE);
    }
    HWND label = AddChild(box.get(), L"STATIC", text, SS_LEFT | SS_NOPREFIX, kTextId, font.get());
    ::MoveWindow(label, textLeft, margin + (contentHeight - textSize.cy) / 2, textSize.cx,
                 textSize.cy, FALSE);

    HWND defaultButton = nullptr;
    int buttonLeft = (clientWidth - buttonsWidth) / 2;
    for (const ButtonEntry& entry : buttons) {
        const bool isDefault = defaultButton == nullptr;
        HWND button = AddChild(box.get(), L"BUTTON", entry.text,
                               WS_TABSTOP | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), entry.id,
                               font.get());
        ::MoveWindow(button, buttonLeft, buttonsTop, buttonWidth, buttonHeight, FALSE);
        buttonLeft += buttonWidth + gap;
        if (isDefault) {
            defaultButton = button;
        }
    }

    RECT outer{0, 0, clientWidth, clientHeight};
    AdjustWindowRectForDpi(outer, style, exStyle, dpi);
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    ::SetWindowPos(box.get(), HWND_TOPMOST, (::GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                   (::GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, 0);

    {
        ModalScope modal(box.get());
        ::ShowWindow(box.get(), SW_SHOWNORMAL);
        ::SetForegroundWindow(box.get());
        ::SetFocus(defaultButton);
        if (!RunModalLoop(box.get(), [&state] { return state.result != 0; })) {
            state.result = kind == BoxKind::Confirmation ? IDNO : IDOK;
        }
    }
    return state.result;
}

}  // namespace app
