#include "bench/soak/steps.h"

#include "tests/support/wait.h"

namespace soak {
namespace {

// Longer than the monitor's 200 ms tick, so that its key sample sees the key down.
constexpr DWORD kTapHoldMs = 250;

LRESULT Refused(Desk& desk) { return desk.Cad().Send(L"refused-calls"); }

// Waits until the count of refused calls has stopped rising: the panel has given up.
void AwaitRefusalsSettled(Desk& desk) {
    LRESULT last = Refused(desk);
    ULONGLONG since = ::GetTickCount64();
    desk.Await(
        [&] {
            const LRESULT now = Refused(desk);
            if (now != last) {
                last = now;
                since = ::GetTickCount64();
            }
            return ::GetTickCount64() - since > 600;
        },
        "the panel giving up the refused calls");
}

// A point on the close box of the window's caption, found as the system finds it.
POINT CloseBoxOf(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    const int y = rect.top + ::GetSystemMetrics(SM_CYFRAME) + ::GetSystemMetrics(SM_CYCAPTION) / 2;
    for (int x = rect.right - 1; x > rect.right - 100; --x) {
        DWORD_PTR hit = 0;
        ::SendMessageTimeoutW(window, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, 2000,
                              &hit);
        if (hit == HTCLOSE) {
            return POINT{x - 4, y};
        }
    }
    throw SoakFailure("cadsim's window has no close box");
}

// A click into cadsim's window, as an operator goes back to the drawing.
void ClickIntoCad(Desk& desk) {
    const HWND cad = desk.Cad().MainWindow();
    ClickUntil(
        desk, Desk::CentreOf(cad), [cad] { return ::GetForegroundWindow() == cad; },
        "cadsim in front after a click into it");
}

// Taps the key until `done` holds, a few times at most.
void TapUntil(Desk& desk, const std::string& key, const std::function<bool()>& done,
              const std::string& what) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        desk.Input().Tap(key, kTapHoldMs);
        if (test_support::WaitUntil(done, 2500)) {
            return;
        }
    }
    desk.Await(done, what, 1000);
}

// Taps the key until cadsim's record holds one more line beginning with `recordPrefix`.
void TapUntilRecorded(Desk& desk, const std::string& key, const std::string& recordPrefix) {
    const int before = desk.CountRecord(recordPrefix);
    TapUntil(
        desk, key, [&] { return desk.CountRecord(recordPrefix) > before; },
        "\"" + recordPrefix + "\" after a " + key + " tap");
}

}  // namespace

void ActivateCad(Desk& desk) {
    const HWND cad = desk.Cad().MainWindow();
    ClickUntil(
        desk, desk.CentreOfControl(kActButton), [cad] { return ::GetForegroundWindow() == cad; },
        "cadsim in front after ACT");
}

void TapsWhileBusy(Desk& desk) {
    desk.Cad().Send(L"busy");
    ActivateCad(desk);
    TapUntilRecorded(desk, "Shift_L", "key down 0x77");    // F8
    TapUntilRecorded(desk, "Control_L", "key down 0x78");  // F9
    desk.Cad().Send(L"idle");
}

void WhileRefusing(Desk& desk) {
    desk.Cad().Send(L"busy");
    ActivateCad(desk);
    const LRESULT before = Refused(desk);
    desk.Cad().Send(L"refuse-calls 5000");
    TapUntil(
        desk, "Shift_L", [&] { return Refused(desk) > before; }, "a refused state check");
    AwaitRefusalsSettled(desk);
    // LIST meets a refusal longer than its budget and ends without a picker.
    desk.Cad().Send(L"refuse-calls 5000");
    const LRESULT beforeList = Refused(desk);
    ClickUntil(
        desk, desk.CentreOfControl(kListButton), [&] { return Refused(desk) > beforeList; },
        "LIST's refused calls");
    AwaitRefusalsSettled(desk);
    desk.Cad().Send(L"refuse-calls 0");
    if (const HWND picker = desk.VisibleWindow(kPickerClass)) {
        AnswerPicker(desk, picker, "Escape");
    }
    desk.Cad().Send(L"idle");
}

void WhileHanging(Desk& desk) {
    desk.Cad().Send(L"busy");
    ClickIntoCad(desk);
    // The tap reaches cadsim, then its thread stops: the panel's state check meets the hang.
    const int released = desk.CountRecord("key up 0x10");
    TapUntil(
        desk, "Shift_L", [&] { return desk.CountRecord("key up 0x10") > released; },
        "cadsim's record of the Shift tap");
    desk.Cad().Send(L"hang 1500");
    desk.Await([&] { return desk.Cad().Send(L"ping") == 1; }, "cadsim answering after its hang");
    // LIST while cadsim hangs: the picker comes once it answers again.
    desk.Cad().Send(L"hang 2000");
    desk.Input().Click(desk.CentreOfControl(kListButton));
    AnswerPicker(desk, desk.AwaitWindow(kPickerClass, "the picker after the hang"), "Escape");
    desk.Cad().Send(L"idle");
}

void CadGoes(Desk& desk, int way) {
    desk.Await([&] { return desk.Cad().LiveObjects() == 0; }, "every AutoCAD object released");
    if (way == 2) {
        desk.Cad().Send(L"close-window");
        desk.Await([&] { return !desk.LampIsLime(); }, "the grey lamp");
        desk.Cad().Send(L"show-window");
        desk.Await([&] { return desk.LampIsLime(); }, "the lime lamp");
    }
    if (way == 0) {
        const HWND cad = desk.Cad().MainWindow();
        ClickUntil(
            desk, CloseBoxOf(cad), [&] { return !desk.Cad().IsRunning(); },
            "cadsim's end after its close box");
    }
    desk.EndCad();
}

}  // namespace soak
