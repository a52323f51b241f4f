#pragma once

#include "app/control_panel.h"
#include "platform/win32/com_automation.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_input.h"
#include "platform/win32/win32_process_system.h"
#include "platform/win32/win32_profile_files.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_trace.h"
#include "platform/win32/win32_window_system.h"

namespace app {

// The Windows implementations of the services the panel works with, owned together.
struct Win32Services {
    platform::win32::Win32WindowSystem windows;
    platform::win32::Win32ProcessSystem processes;
    platform::win32::Win32ProfileFiles profiles;
    platform::win32::Win32Keyboard keyboard;
    platform::win32::Win32Ime ime;
    platform::win32::ComAutomation automation;
    platform::win32::Win32Shell shell;
    platform::win32::Win32Clock clock;
    platform::win32::Win32Trace trace;

    PanelServices View() {
        return PanelServices{windows,    processes, profiles, keyboard, ime,
                             automation, shell,     clock,    trace};
    }
};

}  // namespace app
