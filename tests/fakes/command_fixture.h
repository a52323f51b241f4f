#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "commands/panel_commands.h"
#include "fakes/fake_automation.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_dialogs.h"
#include "fakes/fake_input.h"
#include "fakes/fake_panel.h"
#include "fakes/fake_picker.h"
#include "fakes/fake_processes.h"
#include "fakes/fake_shell.h"
#include "fakes/fake_trace.h"
#include "fakes/fake_window_system.h"
#include "fakes/program_state.h"

namespace fakes {

// The panel's commands wired to a fake system, with the program-wide variables at their start
// values and AutoCAD's server registered: `application` runs under version 24, nothing runs
// under version 25.
struct CommandWorld {
    CommandWorld() {
        ResetProgramState();
        automation.Register(L"Autocad.Application.24", application);
        automation.Register(L"Autocad.Application.25", nullptr);
        clock.log = &desktop.log;  // a pause stands between window calls
    }

    // Adds AutoCAD's main window to the desktop, as the handle the server reports.
    void AddCadWindow() {
        cad = desktop.Add(L"AutoCAD 2025", L"AfxMDIFrame140u");
        application->Returns(L"HWND", static_cast<std::uint64_t>(cad));
    }

    FakePanel panel;
    FakeWindowSystem desktop;
    FakeProcesses processes;
    FakeAutomation automation;
    FakeShell shell;
    FakeDialogs dialogs;
    FakePicker picker;
    FakeKeyboard keyboard;
    FakeClock clock;
    FakeTrace trace;
    std::shared_ptr<FakeNode> application = std::make_shared<FakeNode>(L"App");
    platform::WindowHandle cad{};
    commands::PanelCommands commands{
        panel, {desktop, processes, automation, shell, dialogs, picker, clock, trace}};
};

// A fresh CommandWorld for every test.
class CommandTest : public testing::Test, public CommandWorld {};

}  // namespace fakes
