#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <string>

#include "app/control_panel.h"
#include "app/dark_theme.h"
#include "app/input_list_form.h"
#include "app/lamp.h"
#include "app/message_box.h"
#include "app/single_instance.h"
#include "app/win32_services.h"
#include "platform/win32/dll_function.h"
#include "platform/win32/message_filter.h"
#include "platform/win32/module_path.h"

namespace {

// COM as a single-threaded apartment with OLE, for the whole run, before any window exists.
class OleScope {
  public:
    OleScope() : initialised_(SUCCEEDED(::OleInitialize(nullptr))) {}
    ~OleScope() {
        if (initialised_) {
            ::OleUninitialize();
        }
    }
    OleScope(const OleScope&) = delete;
    OleScope& operator=(const OleScope&) = delete;

  private:
    bool initialised_;
};

int RunPanel(HINSTANCE instance) {
    OleScope ole;
    app::Win32Services system;
    // A busy AutoCAD's "retry later" reaches the program's own retry as a refusal, and a call
    // that AutoCAD neither answers nor refuses is given up within its budget.
    const platform::win32::MessageFilterRegistration filterRegistration(
        system.automation.MessageFilter());
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);

    app::theme::DarkTheme theme;
    app::ControlPanel::RegisterWindowClass(instance);
    app::RegisterLampClass(instance);
    app::RegisterMessageBoxClass(instance);
    app::InputListForm::RegisterWindowClass(instance);

    app::ControlPanel panel(instance, theme, system.View(),
                            platform::win32::ModuleFileName(nullptr));
    try {
        panel.Create();
    } catch (...) {
        panel.ShowError(std::current_exception());
        return 0;
    }
    panel.Show();

    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!panel.PreTranslateMessage(message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    panel.Destroy();
    return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int /*show*/) {
    platform::win32::SearchDllsInSystemFolderOnly();
    // One panel per session: a copy started beside a running one ends at once, silently. The
    // mark is made before anything else and held until the end; the window search also finds a
    // panel whose copy made no mark.
    const app::SingleInstance singleInstance;
    if (singleInstance.AnotherCopyRuns() ||
        ::FindWindowW(app::kPanelClassName, nullptr) != nullptr) {
        return 0;
    }
    return RunPanel(instance);
}
