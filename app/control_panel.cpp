#include "app/control_panel.h"

#include <commctrl.h>
#include <imm.h>

#include <utility>

#include "app/app_texts.h"
#include "app/dark_controls.h"
#include "app/dpi.h"
#include "app/lamp.h"
#include "app/message_box.h"
#include "app/panel_layout.h"
#include "app/resources/resource_ids.h"
#include "app/window_placement.h"
#include "cadlink/cad_prog_id.h"
#include "cadlink/cad_window_finder.h"
#include "platform/error.h"
#include "platform/win32/save_file_dialog.h"
#include "platform/win32/text_case.h"
#include "platform/win32/win32_input.h"
#include "platform/win32/window_text.h"
#include "settings/panel_settings.h"
#include "settings/settings_path.h"

namespace app {
namespace {

using layout::CheckBoxId;
using platform::OptionBox;

constexpr UINT_PTR kTimer1 = 1;
constexpr UINT kTimer1Interval = 200;
constexpr DWORD kPanelStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kPanelExStyle =
    WS_EX_DLGMODALFRAME | WS_EX_TOPMOST | WS_EX_APPWINDOW | WS_EX_CONTROLPARENT;

// The version field gets a frame in the dark border colour instead of the system's.
class EditFrame final : public MessageHandler {
  public:
    LRESULT HandleMessage(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) override {
        const LRESULT result = ::DefSubclassProc(edit, message, wParam, lParam);
        if (message == WM_NCPAINT) {
            theme::FrameEditInDarkBorder(edit);
        }
        return result;
    }
};
EditFrame editFrame;  // keeps nothing: one serves every field

// The outer size whose client area is the design size at dpi. The frame is computed for the
// DPI the window itself has (frameDpi): when WM_DPICHANGED arrives, the system has already given
// the window the new DPI, and its frame is drawn at that DPI; the frame is never measured from
// the window, whose rectangle is still that of the old DPI at that moment.
SIZE OuterSize(UINT dpi, UINT frameDpi) {
    const PixelSize size = OuterSizeFor(PixelSize{layout::kClientWidth, layout::kClientHeight}, dpi,
                                        FrameAt(kPanelStyle, kPanelExStyle, frameDpi));
    return SIZE{size.width, size.height};
}

}  // namespace

ControlPanel::ControlPanel(HINSTANCE instance, const theme::DarkTheme& theme,
                           const PanelServices& services, std::wstring executablePath)
    : instance_(instance),
      theme_(theme),
      services_(services),
      settingsPath_(settings::SettingsPathFor(executablePath)),
      dialogs_(theme, ApplicationTitle(executablePath, platform::win32::LowerCase)),
      errors_(dialogs_, services.trace),
      keyboard_(layout::kEdit1, [this](int id) { OnClick(id); }),
      picker_(theme, [this](const std::exception_ptr& error) { errors_.Report(error); }),
      menu_(theme.MenuBrush()),
      monitor_(*this,
               monitor::MonitorServices{services.windows, services.keyboard, services.ime,
                                        services.automation, services.clock, services.trace}),
      commands_(*this, commands::CommandServices{services.windows, services.processes,
                                                 services.automation, services.shell, dialogs_,
                                                 picker_, services.clock, services.trace}) {}

ControlPanel::~ControlPanel() {
    picker_.Destroy();
    window_.reset();
}

const ControlPanel::ClickHandler ControlPanel::kClickHandlers[] = {
    {PanelMenu::kRegisterCommand, &ControlPanel::N2Click},
    {layout::kButton1, &ControlPanel::Button1Click},
    {layout::kButton2, &ControlPanel::Button2Click},
    {layout::kButton3, &ControlPanel::Button3Click},
    {layout::kButton4, &ControlPanel::Button4Click},
// CheckBoxNClick for every option box.
#define MERIDO_OPTION_BOX_HANDLER(number, name, ...) \
    {CheckBoxId(OptionBox::name), &ControlPanel::CheckBox##number##Click},
    MERIDO_OPTION_BOXES(MERIDO_OPTION_BOX_HANDLER)
#undef MERIDO_OPTION_BOX_HANDLER
};

void ControlPanel::RegisterWindowClass(HINSTANCE instance) {
    WindowClassLook look;
    look.icon = ::LoadIconW(instance, MAKEINTRESOURCEW(IDI_APP_ICON));
    look.smallIcon = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(IDI_APP_ICON),
                                                     IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
                                                     ::GetSystemMetrics(SM_CYSMICON), 0));
    RegisterProgramWindowClass(instance, kPanelClassName, look);
}

void ControlPanel::Create() {
    const UINT screenDpi = WindowDpi(nullptr);
    const SIZE size = OuterSize(screenDpi, screenDpi);
    ::CreateWindowExW(kPanelExStyle, kPanelClassName, kPanelCaption, kPanelStyle, 0, 0, size.cx,
                      size.cy, nullptr, nullptr, instance_, static_cast<MessageHandler*>(this));
    if (!window_) {
        throw platform::Error(texts::kPanelNotCreated);
    }
    dialogs_.SetOwner(window_.get());
    ::SetClassLongPtrW(window_.get(), GCLP_HBRBACKGROUND,
                       reinterpret_cast<LONG_PTR>(theme_.WindowBrush()));
    theme::ApplyDarkFrame(window_.get());
    CreateControls();
    const UINT dpi = WindowDpi(window_.get());
    ApplyDpi(dpi);
    const SIZE exact = OuterSize(dpi, dpi);
    ::SetWindowPos(window_.get(), nullptr, 0, 0, exact.cx, exact.cy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
#ifndef MERIDO_BENCH_WITHOUT_KEY_PRESSES
    // Without them the monitor goes on with its samples alone.
    (void)platform::win32::ReceiveAllKeyPresses(NativeHandle());
#endif
    ::SetTimer(window_.get(), kTimer1, kTimer1Interval, nullptr);
    RunReportingErrors([this] { FormCreate(); });
    picker_.Create(instance_, window_.get());
}

void ControlPanel::CreateControls() {
    for (const layout::ControlEntry& entry : layout::kControls) {
        HWND control = ::CreateWindowExW(
            0, entry.className, entry.text, WS_CHILD | WS_VISIBLE | entry.style, entry.left,
            entry.top, entry.width, entry.height, window_.get(),
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(entry.id)), instance_, nullptr);
        if (entry.id == layout::kEdit1) {
            SubclassControl(control, editFrame);
        }
    }
    for (const platform::OptionBoxRow& row : platform::kOptionBoxes) {
        ::SendMessageW(Control(CheckBoxId(row.box)), BM_SETCHECK,
                       row.ticked ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}

void ControlPanel::ApplyDpi(UINT dpi) {
    fonts_.Create({FontRole::Panel, FontRole::Option, FontRole::Edit}, dpi);
    for (const layout::ControlEntry& entry : layout::kControls) {
        HWND control = Control(entry.id);
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.Get(entry.font)),
                       FALSE);
        ::MoveWindow(control, Scale(entry.left, dpi), Scale(entry.top, dpi),
                     Scale(entry.width, dpi), Scale(entry.height, dpi), TRUE);
    }
    ::InvalidateRect(window_.get(), nullptr, TRUE);
}

void ControlPanel::Show() {
    ::ShowWindow(window_.get(), SW_SHOWNORMAL);
    ::UpdateWindow(window_.get());
}

void ControlPanel::Destroy() {
    if (!window_) {
        return;
    }
    ::KillTimer(window_.get(), kTimer1);
    if (TakeSettingsSave()) {
        RunReportingErrors([this] { FormDestroy(); });
    }
    picker_.Destroy();
    window_.reset();
}

LRESULT ControlPanel::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT answer = 0;
    if (theme::HandleDarkControlMessage(theme_, message, wParam, lParam, answer) ||
        HandleOwnMessage(window, message, wParam, lParam, answer)) {
        return answer;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

bool ControlPanel::HandleOwnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                    LRESULT& answer) {
    answer = 0;
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return true;
        case WM_TIMER:
            if (wParam == kTimer1 && !timerStopped_) {
                RunReportingErrors([this] { Timer1Timer(); });
                FollowModifiers();
            }
            return true;
        case WM_INPUT:
            if (const auto event = platform::win32::RawInputEventOf(lParam)) {
                monitor_.RawInput(*event);
                FollowModifiers();
            }
            return false;  // DefWindowProc frees the input
        case WM_ACTIVATE:
            if (HIWORD(wParam) == 0) {
                OnActivate(LOWORD(wParam) != WA_INACTIVE);
            }
            return true;
        case WM_SETFOCUS:
            // The panel itself takes no keys: focus that lands on it (as after the save dialog
            // under Wine) goes on to its control, as in a dialog box.
            ::SetFocus(savedFocus_ != nullptr ? savedFocus_ : Control(layout::kButton1));
            return true;
        case WM_CONTEXTMENU:
            // The caption or the frame: the system menu, as for every window.
            return OnContextMenu(
                reinterpret_cast<HWND>(wParam),
                POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
        case WM_MEASUREITEM:
            answer = TRUE;
            return menu_.Measure(window, *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
        case WM_DRAWITEM:
            answer = TRUE;
            return menu_.Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        case WM_CLOSE:
            Close();
            return true;
        case WM_QUERYENDSESSION:
            answer = TRUE;
            return true;
        case WM_ENDSESSION:
            if (wParam != FALSE) {
                EndSession((lParam & ENDSESSION_CLOSEAPP) != 0);
            }
            return true;
        default:
            return HandleDpiChange(message, wParam, lParam);
    }
}

// The window takes the place the system suggests, in one move with its size, which makes the
// client area the design size at the new DPI (on Windows the suggested size as well).
SIZE ControlPanel::SizeAtDpi(UINT dpi, const RECT& /*suggested*/) const {
    return OuterSize(dpi, WindowDpi(window_.get()));
}

// At a logoff or shutdown Windows ends the process once this message has been answered, so the
// panel's destruction, and FormDestroy with it, never comes: the settings are written here, once.
// No box may hold up the end, so a failed write is dropped, and no tick runs any more. An
// installer closing the program through the Restart Manager (closeApp) does not end the process:
// the panel closes itself, and the program ends as after its close box, without a second save.
void ControlPanel::EndSession(bool closeApp) {
    ::KillTimer(window_.get(), kTimer1);
    timerStopped_ = true;
    if (TakeSettingsSave()) {
        try {
            FormDestroy();
        } catch (...) {
            // Dropped: the session is ending.
            platform::TraceSwallowed(services_.trace, L"EndSession", std::current_exception());
        }
    }
    if (closeApp) {
        Close();
    }
}

// The settings are written once, by whichever comes first: the end of the session or the
// panel's destruction.
bool ControlPanel::TakeSettingsSave() { return !std::exchange(settingsSaved_, true); }

void ControlPanel::OnCommand(int id, int code) {
    if (id == layout::kEdit1) {
        if (code == EN_SETFOCUS) {
            CloseVersionFieldIme();
        }
        return;
    }
    // Menu items come with code 0, which is also BN_CLICKED.
    if (code == BN_CLICKED) {
        OnClick(id);
    }
}

ControlPanel::Handler ControlPanel::ClickHandlerOf(int id) {
    for (const ClickHandler& entry : kClickHandlers) {
        if (entry.id == id) {
            return entry.handler;
        }
    }
    return nullptr;
}

void ControlPanel::OnClick(int id) {
    if (const Handler handler = ClickHandlerOf(id)) {
        RunReportingErrors([this, handler] { (this->*handler)(); });
    }
}

// The field takes digits: its input method starts closed each time.
void ControlPanel::CloseVersionFieldIme() {
    HWND edit = Control(layout::kEdit1);
    if (HIMC context = ::ImmGetContext(edit)) {
        ::ImmSetOpenStatus(context, FALSE);
        ::ImmReleaseContext(edit, context);
    }
}

void ControlPanel::OnActivate(bool active) {
    HWND window = window_.get();
    if (!active) {
        HWND focus = ::GetFocus();
        if (focus != nullptr && ::GetParent(focus) == window) {
            savedFocus_ = focus;
        }
        return;
    }
    // A click that activated the panel has already put the focus on its control: keep it.
    HWND focus = ::GetFocus();
    if (focus != nullptr && ::GetParent(focus) == window) {
        return;
    }
    // Otherwise the focus comes back where it was; the first time, on the first control in tab
    // order, the hidden Button1.
    ::SetFocus(savedFocus_ != nullptr ? savedFocus_ : Control(layout::kButton1));
}

// A right-click on the panel's own window outside its client area; the menu key gives no point.
bool ControlPanel::IsOnFrame(HWND source, POINT screenPoint) const {
    if (source != window_.get() || (screenPoint.x == -1 && screenPoint.y == -1)) {
        return false;
    }
    const LPARAM point =
        MAKELPARAM(static_cast<WORD>(screenPoint.x), static_cast<WORD>(screenPoint.y));
    return ::SendMessageW(window_.get(), WM_NCHITTEST, 0, point) != HTCLIENT;
}

bool ControlPanel::OnContextMenu(HWND source, POINT screenPoint) {
    if (IsOnFrame(source, screenPoint)) {
        return false;
    }
    if (screenPoint.x == -1 && screenPoint.y == -1) {
        // From the keyboard: open at the client area's top-left corner.
        screenPoint = POINT{0, 0};
        ::ClientToScreen(window_.get(), &screenPoint);
    }
    menu_.Show(window_.get(), screenPoint);
    return true;
}

bool ControlPanel::PreTranslateMessage(const MSG& message) {
    return keyboard_.PreTranslate(window_.get(), message);
}

// Handlers

void ControlPanel::FormCreate() {
    RECT outer{};
    ::GetWindowRect(window_.get(), &outer);
    const settings::Placement placement{::GetSystemMetrics(SM_CXSCREEN),
                                        ::GetSystemMetrics(SM_CYSCREEN), outer.right - outer.left,
                                        outer.bottom - outer.top};
    const std::wstring apiVerNum =
        settings::LoadPanelSettings(*this, services_.profiles, settingsPath_, placement);
    cadlink::CadProgId = cadlink::ComposeCadProgId(apiVerNum);
    commands_.LaunchAtStartUp();
}

void ControlPanel::FormDestroy() {
    settings::SavePanelSettings(*this, services_.profiles, settingsPath_);
}

void ControlPanel::Button1Click() { commands_.RegisterRunningCad(); }

void ControlPanel::N2Click() { Button1Click(); }

void ControlPanel::Button2Click() { commands_.ActivateOrLaunchCad(); }

void ControlPanel::Button3Click() { commands_.ExportCleanedCopy(); }

void ControlPanel::Button4Click() { commands_.SwitchDrawing(); }

void ControlPanel::CheckBox1Click() { CheckBoxClick(); }

void ControlPanel::CheckBox2Click() { CheckBoxClick(); }

void ControlPanel::CheckBox3Click() { CheckBoxClick(); }

void ControlPanel::CheckBox4Click() { CheckBoxClick(); }

// One behaviour for all four option boxes: the box has already changed; AutoCAD gets the
// foreground back so that the user can go on working there.
void ControlPanel::CheckBoxClick() { cadlink::BringCadMainWindowToFront(services_.windows); }

void ControlPanel::Timer1Timer() { monitor_.Timer1Timer(); }

// Raw mouse input only while Shift or Ctrl is down: the pointer's movement, hundreds of events a
// second, then costs nothing the rest of the time.
void ControlPanel::FollowModifiers() {
#if !defined(MERIDO_BENCH_WITHOUT_KEY_PRESSES) && !defined(MERIDO_BENCH_WITHOUT_MOUSE_BUTTONS)
    const bool wanted = monitor_.WantsMouseInput();
    if (wanted == receivingMouseButtons_ ||
        !platform::win32::ReceiveMouseButtons(NativeHandle(), wanted)) {
        return;
    }
    receivingMouseButtons_ = wanted;
    // A button pressed before the panel heard the modifier (its thread busy meanwhile) sent no
    // event to it: one still held counts as pressed with the modifier.
    if (wanted && platform::win32::AnyMouseButtonDown()) {
        monitor_.RawInput({platform::RawInputEvent::Kind::MouseButtonDown, 0, true});
    }
#endif
}

// platform::Panel

platform::Colour ControlPanel::LampColour() const { return LampFill(Control(layout::kShape1)); }

void ControlPanel::SetLampColour(platform::Colour colour) {
    SetLampFill(Control(layout::kShape1), colour);
}

std::wstring ControlPanel::VersionText() const {
    return platform::win32::WindowTextOf(Control(layout::kEdit1));
}

void ControlPanel::SetVersionText(const std::wstring& text) {
    ::SetWindowTextW(Control(layout::kEdit1), text.c_str());
}

bool ControlPanel::IsChecked(OptionBox box) const {
    return ::SendMessageW(Control(CheckBoxId(box)), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void ControlPanel::SetChecked(OptionBox box, bool checked) {
    if (IsChecked(box) == checked) {
        return;
    }
    ::SendMessageW(Control(CheckBoxId(box)), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    // A change made by the program counts as a click on the box.
    (this->*ClickHandlerOf(CheckBoxId(box)))();
}

void ControlPanel::SetRegisteredPathCaption(const std::wstring& caption) {
    menu_.SetRegisteredPath(caption);
}

void ControlPanel::SetCaption(const std::wstring& caption) {
    ::SetWindowTextW(window_.get(), caption.c_str());
}

int ControlPanel::Left() const { return RestoredWindowRect(window_.get()).left; }

int ControlPanel::Top() const { return RestoredWindowRect(window_.get()).top; }

void ControlPanel::SetPosition(int left, int top) {
    ::SetWindowPos(window_.get(), nullptr, left, top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Stopping only marks the timer: a tick that arrives meanwhile (from a nested message loop) is
// ignored, and starting it again re-arms it, which begins a fresh interval. This costs one call
// to the window system per tick instead of two. The armed timer also keeps messages arriving
// while a tick's call waits on AutoCAD: COM asks the message filter whether to give the call up
// only when a message arrives.
void ControlPanel::StopTimer() { timerStopped_ = true; }

void ControlPanel::StartTimer() {
    timerStopped_ = false;
    ::SetTimer(window_.get(), kTimer1, kTimer1Interval, nullptr);
}

void ControlPanel::Close() {
    // Ends the message loop once the current handler has returned; the windows are destroyed
    // after the loop, and the panel's destruction saves the settings.
    ::PostQuitMessage(0);
}

std::optional<std::wstring> ControlPanel::RunSaveDialog(const std::wstring& initialFolder,
                                                        const std::wstring& fileName) {
    return platform::win32::ShowSaveFileDialog(window_.get(), initialFolder, fileName);
}

platform::WindowHandle ControlPanel::NativeHandle() const {
    return platform::win32::FromHwnd(window_.get());
}

}  // namespace app
