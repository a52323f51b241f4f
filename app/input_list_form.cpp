#include "app/input_list_form.h"

#include <commctrl.h>

#include "app/app_texts.h"
#include "app/dark_theme.h"
#include "app/dpi.h"
#include "app/modal_scope.h"

namespace app {
namespace {

// Exactly a pop-up with a thin border and a sizing frame: no caption, no system menu.
constexpr DWORD kPickerStyle = WS_POPUP | WS_BORDER | WS_THICKFRAME;
constexpr DWORD kPickerExStyle = WS_EX_CONTROLPARENT | WS_EX_TOPMOST;
constexpr int kClientWidth = 296;
constexpr int kClientHeight = 295;
// Typing after a pause of about half a second starts a new prefix.
constexpr DWORD kTypeAheadPause = 500;

}  // namespace

void InputListForm::RegisterWindowClass(HINSTANCE instance) {
    WindowClassLook look;
    look.style = CS_DBLCLKS | CS_DROPSHADOW;
    look.background = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    RegisterProgramWindowClass(instance, kPickerClassName, look);
}

void InputListForm::Create(HINSTANCE instance, HWND owner) {
    ::CreateWindowExW(kPickerExStyle, kPickerClassName, texts::kPickerTitle, kPickerStyle, 0, 0,
                      kClientWidth, kClientHeight, owner, nullptr, instance,
                      static_cast<MessageHandler*>(this));
    if (!window_) {
        return;  // no picker: its showing ends at once, like a cancel
    }
    // The window style is set as a whole, whatever the system added at creation.
    ::SetWindowLongPtrW(window_.get(), GWL_STYLE, static_cast<LONG_PTR>(kPickerStyle));
    HWND list = ::CreateWindowExW(0, L"LISTBOX", L"",
                                  WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY |
                                      LBS_SORT | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS,
                                  0, 0, kClientWidth, kClientHeight, window_.get(),
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListId)), instance,
                                  nullptr);
    SubclassControl(list, listKeys_);
    const UINT dpi = WindowDpi(window_.get());
    ApplyDpi(dpi);
    // The first size: the design's client area at the window's DPI.
    const PixelSize size = OuterSizeFor(PixelSize{kClientWidth, kClientHeight}, dpi,
                                        FrameAt(kPickerStyle, kPickerExStyle, dpi));
    ::SetWindowPos(window_.get(), nullptr, 0, 0, size.width, size.height,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void InputListForm::ApplyDpi(UINT dpi) {
    fonts_.Create({FontRole::PickerWindow, FontRole::PickerList}, dpi);
    ::SendMessageW(window_.get(), WM_SETFONT,
                   reinterpret_cast<WPARAM>(fonts_.Get(FontRole::PickerWindow)), FALSE);
    ::SendMessageW(List(), WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.Get(FontRole::PickerList)),
                   TRUE);
}

bool InputListForm::ReportError(const std::exception_ptr& error) noexcept {
    if (!onError_) {
        return false;
    }
    onError_(error);
    return true;
}

LRESULT InputListForm::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // The rectangle the system suggests is the window's present one scaled to the new DPI: the
    // picker keeps the size the user gave it, and the list follows (WM_SIZE).
    if (HandleDpiChange(message, wParam, lParam)) {
        return 0;
    }
    switch (message) {
        case WM_SIZE:
            ::MoveWindow(List(), 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
            return 0;
        case WM_SETFOCUS:
            ::SetFocus(List());
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE) {
                ::SetFocus(List());
            }
            return 0;
        case WM_ACTIVATEAPP: {
            // Turning to another program, or coming back from one, gives up the pick.
            const LRESULT result = ::DefWindowProcW(window, message, wParam, lParam);
            if (::IsWindowVisible(window)) {
                ::SendMessageW(window, WM_CLOSE, 0, 0);
            }
            return result;
        }
        case WM_CLOSE:
            modalResult_ = kCancel;
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == kListId) {
                if (HIWORD(wParam) == LBN_SELCHANGE) {
                    ListBox1Click();
                } else if (HIWORD(wParam) == LBN_DBLCLK) {
                    ListBox1DblClick();
                }
            }
            return 0;
        case WM_CTLCOLORLISTBOX:
            ::SetTextColor(reinterpret_cast<HDC>(wParam), theme::kText);
            ::SetBkColor(reinterpret_cast<HDC>(wParam), theme::kControlBackground);
            return reinterpret_cast<LRESULT>(theme_.ControlBrush());
        default:
            return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

LRESULT InputListForm::ListKeys::HandleMessage(HWND list, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
    if (message == WM_KEYDOWN) {
        // The key goes on to the list as usual after the handler has seen it.
        form_.ListBox1KeyDown(static_cast<WORD>(wParam));
    } else if (message == WM_CHAR && wParam >= 0x20) {
        form_.TypeAhead(static_cast<wchar_t>(wParam), static_cast<DWORD>(::GetMessageTime()));
        return 0;
    }
    return ::DefSubclassProc(list, message, wParam, lParam);
}

void InputListForm::ListBox1KeyDown(WORD key) {
    if (key == VK_RETURN) {
        modalResult_ = kOk;
    } else if (key == VK_ESCAPE) {
        modalResult_ = kCancel;
    }
}

// The characters typed so far select the first item from the top that begins with them,
// ignoring case; a prefix that no item begins with changes nothing.
void InputListForm::TypeAhead(wchar_t character, DWORD time) {
    if (typed_.empty() || time - lastTyped_ > kTypeAheadPause) {
        typed_.clear();
    }
    typed_ += character;
    lastTyped_ = time;
    const LRESULT found = ::SendMessageW(List(), LB_FINDSTRING, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(typed_.c_str()));
    // From the top of the list, since the search starts before the first item.
    if (found != LB_ERR) {
        Select(static_cast<int>(found));
        ListBox1Click();
    }
}

void InputListForm::Clear() { ::SendMessageW(List(), LB_RESETCONTENT, 0, 0); }

void InputListForm::Append(const std::wstring& text) {
    ::SendMessageW(List(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

int InputListForm::FindExact(const std::wstring& text) {
    const LRESULT found = ::SendMessageW(List(), LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(text.c_str()));
    return found == LB_ERR ? -1 : static_cast<int>(found);
}

void InputListForm::Select(int index) {
    ::SendMessageW(List(), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int InputListForm::Selected() {
    const LRESULT selected = ::SendMessageW(List(), LB_GETCURSEL, 0, 0);
    return selected == LB_ERR ? -1 : static_cast<int>(selected);
}

std::wstring InputListForm::TextAt(int index) {
    const LRESULT length = ::SendMessageW(List(), LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied = ::SendMessageW(List(), LB_GETTEXT, static_cast<WPARAM>(index),
                                          reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == LB_ERR ? 0 : static_cast<std::size_t>(copied));
    return text;
}

int InputListForm::ShowModal() {
    HWND window = window_.get();
    if (window == nullptr) {
        // Never created: nothing to pick from, and no window may stay disabled.
        return kCancel;
    }
    if (!placed_) {
        // Centred in the work area the first time; afterwards it keeps where the user left it.
        RECT work{};
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        RECT outer{};
        ::GetWindowRect(window, &outer);
        const int width = outer.right - outer.left;
        const int height = outer.bottom - outer.top;
        ::SetWindowPos(window, nullptr, work.left + (work.right - work.left - width) / 2,
                       work.top + (work.bottom - work.top - height) / 2, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        placed_ = true;
    }
    typed_.clear();
    int result = kCancel;
    {
        ModalScope modal(window);
        ::ShowWindow(window, SW_SHOW);
        // Shown, it takes the foreground itself: the request made while it was hidden may not
        // have reached the window system's notion of the active window.
        ::SetForegroundWindow(window);
        ::SetFocus(List());
        // A result set while the window was being shown is discarded.
        modalResult_ = 0;
        // The list takes Enter and Esc itself: no dialog navigation here.
        if (RunModalLoop(nullptr, [this] { return modalResult_ != 0; })) {
            result = modalResult_;
        }
        // Hidden before the other windows are enabled again, so that the activation does not
        // pass to the panel on the way.
        ::ShowWindow(window, SW_HIDE);
    }
    return result;
}

platform::WindowHandle InputListForm::NativeHandle() const {
    return platform::win32::FromHwnd(window_.get());
}

}  // namespace app
