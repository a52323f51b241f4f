#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "cadsim/automation/automation_server.h"
#include "cadsim/call_refusal.h"
#include "cadsim/cad_model.h"
#include "cadsim/control_window.h"
#include "cadsim/main_window.h"
#include "cadsim/options.h"
#include "cadsim/recorder.h"

namespace cadsim {

// The simulated AutoCAD: the record, the main window (which may come and go), the control
// window, the open drawings and the automation server that answers for them. The operations
// on the main window fail (return false) while there is none.
class Simulator {
  public:
    explicit Simulator(const Options& options);  // writes "ready" once the control window is up
    ~Simulator();
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    HWND MainWindowHandle() const;

    bool Minimize();
    bool Restore();
    bool Show();
    bool Hide();
    bool Foreground();
    bool CloseMainWindow();
    void ShowMainWindow();  // creates the main window again when there is none
    void SetTitle(const std::wstring& title);
    void SetClassName(const std::wstring& className);  // used by the next ShowMainWindow
    void Move(const WindowRect& rect);
    void ClearRecord();
    void Quit();  // the message loop ends and the process exits with code 0

    CadModel& Model() { return model_; }
    // Registers the automation server under the version, or the last one used when it is
    // empty; false when there is none. Throws when the registration fails.
    bool AutomationOn(const std::wstring& version);
    void AutomationOff();
    int LiveAutomationObjects() const { return automation_->LiveObjects(); }
    // As a busy AutoCAD: the next incoming automation call and all in the time after it are
    // refused; the count of the calls refused so far.
    void RefuseCallsFor(DWORD milliseconds) { refusal_.RefuseFor(milliseconds); }
    int RefusedCalls() const { return refusal_.Refused(); }
    // As a hung AutoCAD: the thread answers the command, then handles no message for the time.
    void Hang(DWORD milliseconds);
    // As an AutoCAD that hangs in the middle of its work: the next incoming automation call
    // holds the thread for the time before it is served.
    void HangAtNextCall(DWORD milliseconds) { refusal_.HangAtNextCall(milliseconds); }
    int HeldCalls() const { return refusal_.Held(); }

  private:
    void CreateMainWindow(InitialShow show);
    bool ShowMain(int command);

    CallRefusal refusal_;
    std::wstring title_;
    std::wstring className_;
    WindowRect rect_;
    Recorder recorder_;
    CadModel model_;
    std::wstring automationVersion_;
    std::unique_ptr<MainWindow> mainWindow_;
    std::unique_ptr<automation::AutomationServer> automation_;
    std::unique_ptr<ControlWindow> control_;
};

}  // namespace cadsim
