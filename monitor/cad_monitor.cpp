#include "monitor/cad_monitor.h"

#include <exception>
#include <tuple>

#include "cadlink/cad_automation.h"
#include "cadlink/cad_prog_id.h"
#include "cadlink/cad_window_finder.h"
#include "platform/hex_digits.h"

namespace monitor {

using platform::OptionBox;
using platform::WindowHandle;

namespace {

constexpr std::uint8_t kF8 = 0x77;
constexpr std::uint8_t kF9 = 0x78;

}  // namespace

std::wstring ImeGuardCaption(WindowHandle window) {
    return platform::HexDigits(static_cast<std::uint64_t>(window), 8);
}

CadMonitor::CadMonitor(platform::Panel& panel, const MonitorServices& services)
    : panel_(panel), services_(services) {}

void CadMonitor::Timer1Timer() {
    panel_.StopTimer();
    std::exception_ptr error;
    try {
        Tick();
    } catch (...) {
        error = std::current_exception();
    }
    if (error) {
        // The box runs a message loop of its own: the timer stays stopped until it is closed,
        // so that a second failing tick opens no box inside the first.
        panel_.ShowErrorReport(error);
    }
    // The monitor goes on.
    panel_.StartTimer();
}

void CadMonitor::RawInput(const platform::RawInputEvent& event) {
    using Kind = platform::RawInputEvent::Kind;
    if (event.kind == Kind::KeyDown && ownKeyDue_ == event.virtualKey) {
        ownKeyDue_.reset();
        return;
    }
    const bool cadInFront = event.kind == Kind::KeyDown && IsCadInFront(cadWindow_);
    record_ = RecordRawInput(record_, event, cadInFront);
}

void CadMonitor::Tick() {
    cadlink::CadProgId = cadlink::ComposeCadProgId(panel_.VersionText());
    if (cadlink::CadProgId != failedCadProgId_) {
        failedCadProgId_.clear();
    }

    const WindowHandle window = cadlink::FindCadMainWindow(services_.windows);
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

    cadWindow_ = window;
    if (IsCadInFront(window)) {
        RunModifierTapDetector(window);
    } else {
        record_ = ForgetQuickTaps(record_);
    }
    RunImeGuard(window);
}

// AutoCAD is in front when its main window, or a pop-up it owns, is the foreground window.
bool CadMonitor::IsCadInFront(WindowHandle window) {
    if (window == WindowHandle::none) {
        return false;
    }
    const WindowHandle foreground = services_.windows.ForegroundWindow();
    return foreground == window || services_.windows.Parent(foreground) == window;
}

bool CadMonitor::IsAutomationActive(cadlink::CallBudget& budget) {
    if (!failedCadProgId_.empty() && cadlink::CadProgId == failedCadProgId_) {
        return false;
    }
    try {
        return cadlink::IsCadAutomationActive(services_.automation, budget);
    } catch (...) {
        failedCadProgId_ = cadlink::CadProgId;
        throw;
    }
}

// Attaches and reads AutoCAD's state; both objects are released when this returns.
bool CadMonitor::IsCadQuiescent(cadlink::CallBudget& budget) {
    const auto application = cadlink::AttachCadApplication(services_.automation, budget);
    const auto state = application->GetObject(L"GetAcadState");
    return state->GetBool(L"IsQuiescent");
}

void CadMonitor::RunModifierTapDetector(WindowHandle window) {
    ownKeyDue_.reset();
    const KeySample sample = SampleModifierKeys(services_.keyboard);
    KeyPresses presses;
    std::tie(presses, record_) = TakeKeyPresses(record_, sample);
    const LatchStep step =
        StepModifierLatches(ModifierLatches{ShiftLatch, CtrlLatch, OtherKeyLatch}, sample, presses);
    ShiftLatch = step.latches.ShiftLatch;
    CtrlLatch = step.latches.CtrlLatch;
    OtherKeyLatch = step.latches.OtherKeyLatch;

    if (step.tap == ModifierTap::ShiftTap && panel_.IsChecked(OptionBox::Shift)) {
        SendKeyIfCadBusy(kF8, window);
    } else if (step.tap == ModifierTap::CtrlTap && panel_.IsChecked(OptionBox::Ctrl)) {
        SendKeyIfCadBusy(kF9, window);
    }
}

void CadMonitor::SendKeyIfCadBusy(std::uint8_t key, WindowHandle window) {
    cadlink::CallBudget budget(services_.automation, services_.clock, services_.trace,
                               L"SendKeyIfCadBusy", cadlink::kTickCallBudget);
    if (!IsAutomationActive(budget)) {
        return;
    }
    try {
        // Only into AutoCAD's main window itself: a pop-up of it in front gets nothing.
        if (!IsCadQuiescent(budget) && services_.windows.ForegroundWindow() == window) {
            ownKeyDue_ = key;
            services_.keyboard.SendKey(key, false);
            services_.clock.Sleep(std::chrono::milliseconds(1));
            services_.keyboard.SendKey(key, true);
        }
    } catch (const std::exception&) {
        // A failing server ends this step silently.
        platform::TraceSwallowed(services_.trace, L"SendKeyIfCadBusy", std::current_exception());
    }
}

void CadMonitor::RunImeGuard(WindowHandle window) {
    if (!panel_.IsChecked(OptionBox::Ime) || window == WindowHandle::none) {
        return;
    }
    const WindowHandle ime = services_.ime.DefaultImeWindow(window);
    if (ime == WindowHandle::none) {
        return;
    }
    // No answer in time (AutoCAD busy or hung): nothing this tick; the next one asks again.
    const std::optional<std::intptr_t> open =
        services_.ime.Control(ime, platform::Ime::kGetOpenStatus);
    if (!open) {
        services_.trace.Write(platform::TraceLine(L"RunImeGuard", L"IMC_GETOPENSTATUS",
                                                  std::nullopt, L"the IME window did not answer"));
        return;
    }
    cadlink::CallBudget budget(services_.automation, services_.clock, services_.trace,
                               L"RunImeGuard", cadlink::kTickCallBudget);
    if ((*open & 0xFF) == 0 || !IsAutomationActive(budget)) {
        return;
    }
    panel_.SetCaption(ImeGuardCaption(window));
    try {
        if (IsCadQuiescent(budget)) {
            // Neither the reply nor its absence is looked at.
            services_.ime.Control(ime, platform::Ime::kSetOpenStatus);
        }
    } catch (const std::exception&) {
        // A failing server ends this step silently; the caption stays.
        platform::TraceSwallowed(services_.trace, L"RunImeGuard", std::current_exception());
    }
}

}  // namespace monitor
