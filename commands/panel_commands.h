#pragma once

#include "cadlink/call_budget.h"
#include "cadlink/cad_server_reach.h"
#include "platform/automation.h"
#include "platform/dialogs.h"
#include "platform/clock.h"
#include "platform/list_picker.h"
#include "platform/panel.h"
#include "platform/path_syntax.h"
#include "platform/process_system.h"
#include "platform/shell.h"
#include "platform/trace.h"
#include "platform/window_system.h"

namespace commands {

struct CommandServices {
    platform::WindowSystem& windows;
    platform::ProcessSystem& processes;
    platform::Automation& automation;
    platform::Shell& shell;
    platform::Dialogs& dialogs;
    platform::ListPicker& picker;
    platform::Clock& clock;
    platform::Trace& trace;
};

// The panel's commands. Each searches AutoCAD afresh, does its work and releases every
// automation object it obtained before it returns.
class PanelCommands {
  public:
    PanelCommands(platform::Panel& panel, const CommandServices& services);

    // Registers the running AutoCAD's executable. The availability check's error reaches the
    // caller; every other failure ends the command silently.
    void RegisterRunningCad();

    // Restores and focuses AutoCAD's main window, or starts the registered executable.
    void ActivateOrLaunchCad();

    // Starts the registered executable when its file exists; false when it does not.
    bool LaunchRegisteredCad();

    // At start-up: starts the registered executable when AutoCAD's window is not there.
    void LaunchAtStartUp();

    // Writes every entity of the active drawing to a file the user confirms, under a numbered
    // "_wblock" name; starts the registered AutoCAD when neither its server nor its main window
    // is there. The availability check's error reaches the caller; every other failure ends it
    // silently.
    void ExportCleanedCopy();

    // Lets the user pick one of AutoCAD's open drawings and activates it. Every failure,
    // also of the availability check, ends it silently.
    void SwitchDrawing();

  private:
    // Checks AutoCAD's server; when AutoCAD's window is there but the two programs' different
    // rights keep its server out of reach, tells the user so.
    cadlink::CadServerReach ReachCadServer(cadlink::CallBudget& budget);

    platform::Panel& panel_;
    CommandServices services_;
};

}  // namespace commands
