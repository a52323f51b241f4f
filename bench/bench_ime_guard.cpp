// The IME guard beside a blocked AutoCAD: the longest monitor tick while the thread of
// AutoCAD's window (and so of its IME window) has stopped answering, against the same ticks
// while it answers. Prints one line per case; run by run_bench.sh.
//
//   bench_ime_guard [--ticks N]

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/win32/unique_handles.h"
#include "monitor/cad_monitor.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_input.h"
#include "tests/fakes/fake_automation.h"
#include "tests/fakes/fake_trace.h"
#include "tests/fakes/fake_input.h"
#include "tests/fakes/fake_panel.h"
#include "tests/fakes/fake_window_system.h"
#include "tests/support/blocked_window_thread.h"

namespace {

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 /
           static_cast<double>(frequency.QuadPart);
}

struct TickFigures {
    double longestMs = 0;
    double totalMs = 0;
};

// Runs `ticks` monitor ticks against AutoCAD's window `cad` with the real IME requests. The
// window search is the fake's, which reads the title without a message as Windows does across
// processes: within this process, reading the blocked window's title would wait for its thread.
TickFigures MeasureTicks(HWND cad, int ticks) {
    fakes::FakePanel panel;
    fakes::FakeKeyboard keyboard;
    fakes::FakeAutomation automation;
    fakes::FakeWindowSystem desktop;
    desktop.windows.push_back({platform::win32::FromHwnd(cad),
                               test_support::BlockedWindowThread::kTitle,
                               std::wstring(test_support::BlockedWindowThread::kClassName)});
    platform::win32::Win32Ime ime;
    platform::win32::Win32Clock clock;
    fakes::FakeTrace trace;
    monitor::CadMonitor monitor(panel, {desktop, keyboard, ime, automation, clock, trace});
    TickFigures figures;
    for (int tick = 0; tick < ticks; ++tick) {
        LARGE_INTEGER start;
        LARGE_INTEGER end;
        ::QueryPerformanceCounter(&start);
        monitor.Timer1Timer();
        ::QueryPerformanceCounter(&end);
        const double elapsed = Milliseconds(start, end);
        figures.longestMs = std::max(figures.longestMs, elapsed);
        figures.totalMs += elapsed;
    }
    return figures;
}

void Report(const char* name, int ticks, const TickFigures& figures) {
    std::printf("ime-guard %-9s ticks=%d longest_ms=%.2f mean_ms=%.2f limit_ms=%u\n", name, ticks,
                figures.longestMs, figures.totalMs / ticks,
                platform::win32::Win32Ime::kReplyLimitMs);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    int ticks = 25;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::wstring(argv[i]) == L"--ticks") {
            ticks = std::max(1, _wtoi(argv[i + 1]));
        }
    }
    {
        // Released long after the ticks: the thread stays blocked throughout.
        test_support::BlockedWindowThread cad(600000);
        if (cad.ImeWindow() == nullptr) {
            std::fprintf(stderr, "bench_ime_guard: no IME window for the look-alike\n");
            return 1;
        }
        Report("blocked", ticks, MeasureTicks(cad.Window(), ticks));
    }
    // The same window on a thread that answers: this (the measuring) thread's own.
    platform::win32::UniqueWindow window(
        ::CreateWindowExW(0, test_support::BlockedWindowThread::kClassName,
                          test_support::BlockedWindowThread::kTitle, WS_OVERLAPPEDWINDOW, 0, 0, 200,
                          150, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr));
    Report("answering", ticks, MeasureTicks(window.get(), ticks));
    return 0;
}
