#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "app/base_window.h"
#include "app/dark_theme.h"
#include "app/error_report.h"
#include "app/input_list_form.h"
#include "app/panel_dialogs.h"
#include "app/panel_keyboard.h"
#include "app/panel_menu.h"
#include "app/version.h"
#include "commands/panel_commands.h"
#include "monitor/cad_monitor.h"
#include "platform/panel.h"
#include "platform/automation.h"
#include "platform/ime.h"
#include "platform/keyboard.h"
#include "platform/process_system.h"
#include "platform/profile_files.h"
#include "platform/shell.h"
#include "platform/trace.h"
#include "platform/win32/unique_handles.h"
#include "platform/window_system.h"

namespace app {

inline constexpr wchar_t kPanelClassName[] = L"TMERIDO_A_MainForm";
inline constexpr wchar_t kPanelCaption[] = L"\u25A0 MERIDO_B " MERIDO_PANEL_VERSION;

// The system services the panel and what it runs work with.
struct PanelServices {
    platform::WindowSystem& windows;
    platform::ProcessSystem& processes;
    platform::ProfileFiles& profiles;
    platform::Keyboard& keyboard;
    platform::Ime& ime;
    platform::Automation& automation;
    platform::Shell& shell;
    platform::Clock& clock;
    platform::Trace& trace;
};

// The control panel: a small topmost dialog-style window with the lamp, the command buttons,
// the option boxes, the version field and the pop-up menu.
class ControlPanel final : public platform::Panel, public BaseWindow {
  public:
    ControlPanel(HINSTANCE instance, const theme::DarkTheme& theme, const PanelServices& services,
                 std::wstring executablePath);
    ~ControlPanel() override;
    ControlPanel(const ControlPanel&) = delete;
    ControlPanel& operator=(const ControlPanel&) = delete;

    static void RegisterWindowClass(HINSTANCE instance);

    // Creates the window and its controls, then runs FormCreate; the timer runs from here on.
    void Create();
    void Show();
    // Keyboard navigation between the controls; true when the message was handled.
    bool PreTranslateMessage(const MSG& message);
    // Runs FormDestroy, then destroys the window.
    void Destroy();

    // The application-wide error handler: shows what escaped a handler; the program goes on.
    void ShowError(const std::exception_ptr& error) const { errors_.Show(error); }

    // MessageHandler
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    bool ReportError(const std::exception_ptr& error) noexcept override {
        return errors_.Report(error);
    }

    // platform::Panel
    platform::Colour LampColour() const override;
    void SetLampColour(platform::Colour colour) override;
    std::wstring VersionText() const override;
    void SetVersionText(const std::wstring& text) override;
    bool IsChecked(platform::OptionBox box) const override;
    void SetChecked(platform::OptionBox box, bool checked) override;
    void SetRegisteredPathCaption(const std::wstring& caption) override;
    void SetCaption(const std::wstring& caption) override;
    int Left() const override;
    int Top() const override;
    void SetPosition(int left, int top) override;
    void StopTimer() override;
    void StartTimer() override;
    void Close() override;
    void ShowErrorReport(const std::exception_ptr& error) override { errors_.Report(error); }
    platform::WindowHandle NativeHandle() const override;
    std::optional<std::wstring> RunSaveDialog(const std::wstring& initialFolder,
                                              const std::wstring& fileName) override;
    platform::PanelFields& Fields() override { return fields_; }

  private:
    // The handler of a click, by the control's (or the menu item's) id.
    using Handler = void (ControlPanel::*)();
    struct ClickHandler {
        int id;
        Handler handler;
    };
    static const ClickHandler kClickHandlers[];
    // Null for an id that has no click handler.
    static Handler ClickHandlerOf(int id);

    // Runs one event handler; whatever it lets escape goes to the application-wide handler.
    void RunReportingErrors(const std::function<void()>& handler) const {
        errors_.RunReportingErrors(handler);
    }
    // The session ends (WM_ENDSESSION with a true wParam): saves the settings silently, once;
    // closeApp (the Restart Manager's request) then closes the panel.
    void EndSession(bool closeApp);
    // True the first time only: the settings are then to be written.
    bool TakeSettingsSave();

    void CreateControls();
    // BaseWindow: fonts and controls at the DPI; the client area is the design size at it.
    void ApplyDpi(UINT dpi) override;
    SIZE SizeAtDpi(UINT dpi, const RECT& suggested) const override;
    // Whether the message was one of the window's own: its answer is then in `answer`.
    bool HandleOwnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& answer);
    void OnCommand(int id, int code);
    void OnClick(int id);
    void CloseVersionFieldIme();
    void OnActivate(bool active);
    bool IsOnFrame(HWND source, POINT screenPoint) const;
    // Opens the pop-up menu; false for a right-click on the caption or the frame, which is left
    // to the default handling.
    bool OnContextMenu(HWND source, POINT screenPoint);

    void FormCreate();
    void FormDestroy();
    void Button1Click();
    void N2Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    // One CheckBoxNClick per option box (platform/option_boxes.h); kClickHandlers names them.
    void CheckBox1Click();
    void CheckBox2Click();
    void CheckBox3Click();
    void CheckBox4Click();
    // What a click on any option box does.
    void CheckBoxClick();
    void Timer1Timer();
    // Takes raw mouse buttons while the monitor wants them, and only then.
    void FollowModifiers();

    HWND Control(int id) const { return ::GetDlgItem(window_.get(), id); }

    HINSTANCE instance_;
    const theme::DarkTheme& theme_;
    PanelServices services_;
    std::wstring settingsPath_;
    PanelDialogs dialogs_;
    ErrorReport errors_;
    PanelKeyboard keyboard_;
    InputListForm picker_;
    PanelMenu menu_;
    HWND savedFocus_ = nullptr;
    bool timerStopped_ = false;
    bool settingsSaved_ = false;
    bool receivingMouseButtons_ = false;
    platform::PanelFields fields_;
    monitor::CadMonitor monitor_;
    commands::PanelCommands commands_;
};

}  // namespace app
