// The benchmark's yardstick: a program that does nothing but the panel's search for AutoCAD's
// main window, every 200 ms, in the same way as the panel's monitor tick: the timer is stopped,
// the search runs through the same finder and window-system layer, and the timer is started
// again, so that the next tick comes 200 ms after the end of this one.
//
// Its one window is an invisible top-level window rather than a message-only one: the panel's
// own windows are part of every search it makes, and this one takes their place; it is also what
// the driver closes at the end of a run.
//
// bench_reference [--seconds N]   runs until its window is closed, or for N seconds.

#include <windows.h>

#include "bench/bench_options.h"
#include "bench/bench_win32.h"
#include "cadlink/cad_window_finder.h"
#include "platform/win32/win32_window_system.h"

namespace {

constexpr UINT_PTR kTickTimer = 1;
constexpr UINT kTickMilliseconds = 200;
constexpr UINT_PTR kLifetimeTimer = 2;

platform::win32::Win32WindowSystem windowSystem;

void Tick(HWND window) {
    ::KillTimer(window, kTickTimer);
    cadlink::FindCadMainWindow(windowSystem);
    ::SetTimer(window, kTickTimer, kTickMilliseconds, nullptr);
}

LRESULT CALLBACK ReferenceWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            if (wParam == kTickTimer) {
                Tick(window);
            } else if (wParam == kLifetimeTimer) {
                ::DestroyWindow(window);
            }
            return 0;
        case WM_DESTROY:
            ::PostQuitMessage(0);
            return 0;
        default:
            return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    const auto options = bench::ParseReferenceOptions(bench::CommandLineArguments());
    if (!options) {
        return 2;
    }

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = ReferenceWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = bench::kReferenceWindowClass;
    if (::RegisterClassExW(&windowClass) == 0) {
        return 1;
    }
    // Not WS_VISIBLE: it is enumerated like any top-level window but never shown.
    HWND window =
        ::CreateWindowExW(0, bench::kReferenceWindowClass, L"bench_reference", WS_OVERLAPPED, 0, 0,
                          100, 50, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        return 1;
    }
    ::SetTimer(window, kTickTimer, kTickMilliseconds, nullptr);
    if (options->seconds > 0) {
        ::SetTimer(window, kLifetimeTimer, options->seconds * 1000, nullptr);
    }

    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return 0;
}
