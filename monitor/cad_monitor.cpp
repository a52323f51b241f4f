#include "monitor/cad_monitor.h"

#include "cadlink/cad_prog_id.h"
#include "cadlink/cad_window_finder.h"

namespace monitor {

using platform::OptionBox;
using platform::WindowHandle;

CadMonitor::CadMonitor(platform::Panel& panel, platform::WindowSystem& windows)
    : panel_(panel), windows_(windows) {}

void CadMonitor::Timer1Timer() {
    panel_.StopTimer();
    cadlink::CadProgId = cadlink::ComposeCadProgId(panel_.VersionText());

    const WindowHandle window = cadlink::FindCadMainWindow(windows_);
    platform::PanelFields& fields = panel_.Fields();

    // Closing only asks the program to end; the rest of this tick still runs.
    if (fields.ijRun && window == WindowHandle::none && panel_.IsChecked(OptionBox::Off)) {
        panel_.Close();
    }

    const platform::Colour lamp =
        window != WindowHandle::none ? platform::kLampLime : platform::kLampGrey;
    if (window != WindowHandle::none) {
        fields.ijRun = true;
    }
    if (panel_.LampColour() != lamp) {
        panel_.SetLampColour(lamp);
    }

    if (IsCadInFront(window)) {
        RunModifierTapDetector(window);
    }
    RunImeGuard(window);

    panel_.StartTimer();
}

// AutoCAD is in front when its main window, or a pop-up it owns, is the foreground window.
bool CadMonitor::IsCadInFront(WindowHandle window) {
    if (window == WindowHandle::none) {
        return false;
    }
    const WindowHandle foreground = windows_.ForegroundWindow();
    return foreground == window || windows_.Parent(foreground) == window;
}

void CadMonitor::RunModifierTapDetector(WindowHandle /*window*/) {
    // The lone Shift/Ctrl tap detector is not built yet.
}

void CadMonitor::RunImeGuard(WindowHandle /*window*/) {
    // The IME guard is not built yet.
}

}  // namespace monitor
