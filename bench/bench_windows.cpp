// A crowded desktop for the benchmark: N ordinary top-level windows and, on request, one window
// that AutoCAD's main-window search accepts.
//
// bench_windows --count N [--cad | --cad-front | --keys]
//
// The ordinary windows are small, visible and stacked over one another in the lower right part of
// the screen; their titles ("Window 1" to "Window N") match neither of AutoCAD's title prefixes,
// so the search reads each title and moves on without reading a class name.
//
// The AutoCAD look-alike is put at the bottom of the z-order. The search walks the top-level
// windows from the top down and stops at its first match, so with the look-alike at the bottom
// every search reads the titles of all N windows before it finds AutoCAD: the worst case, and the
// same amount of work in every tick. It is created first (a new window goes on top of the ones
// before it) and then moved to the bottom explicitly, once after all windows are open and once
// more half a second later. The driver checks the order before it measures.
//
// The program idles in its message loop until it is terminated or one of its windows is closed.

#include <windows.h>

#include <algorithm>
#include <string>

#include "bench/bench_options.h"
#include "bench/bench_win32.h"

namespace {

constexpr int kWindowWidth = 160;
constexpr int kWindowHeight = 48;

constexpr UINT_PTR kRestackTimer = 1;
constexpr UINT kRestackDelayMs = 500;
constexpr UINT_PTR kFrontTimer = 2;
constexpr UINT kFrontIntervalMs = 500;
constexpr UINT_PTR kKeyTimer = 3;
constexpr UINT kKeyIntervalMs = 50;  // 20 key events a second
constexpr WORD kTypedKey = 'A';

// Alternately presses and releases one letter, through the system's input stream like a user;
// the window's user data says whether it is down.
void SendNextKeyEvent(HWND window) {
    const bool release = ::GetWindowLongPtrW(window, GWLP_USERDATA) != 0;
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = kTypedKey;
    input.ki.dwFlags = release ? KEYEVENTF_KEYUP : 0;
    ::SendInput(1, &input, sizeof(input));
    ::SetWindowLongPtrW(window, GWLP_USERDATA, release ? 0 : 1);
}

void MoveToBottom(HWND window) {
    ::SetWindowPos(window, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            // Closing any one of them ends the whole host.
            ::PostQuitMessage(0);
            return 0;
        case WM_TIMER:
            // Only the look-alike has a timer: one late move to the bottom, or, in front, taking
            // the foreground back from a program that has just started (the same for both).
            if (wParam == kFrontTimer) {
                ::SetForegroundWindow(window);
                return 0;
            }
            if (wParam == kKeyTimer) {
                SendNextKeyEvent(window);
                return 0;
            }
            ::KillTimer(window, wParam);
            MoveToBottom(window);
            return 0;
        default:
            return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

bool RegisterHostClass(HINSTANCE instance, const wchar_t* name) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = HostWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = name;
    return ::RegisterClassExW(&windowClass) != 0;
}

HWND OpenWindow(HINSTANCE instance, const wchar_t* className, const std::wstring& title, int x,
                int y) {
    HWND window =
        ::CreateWindowExW(0, className, title.c_str(), WS_OVERLAPPEDWINDOW, x, y, kWindowWidth,
                          kWindowHeight, nullptr, nullptr, instance, nullptr);
    if (window != nullptr) {
        ::ShowWindow(window, SW_SHOWNOACTIVATE);
    }
    return window;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    const auto options = bench::ParseWindowsHostOptions(bench::CommandLineArguments());
    if (!options) {
        return 2;
    }
    if (!RegisterHostClass(instance, bench::kHostWindowClass) ||
        (options->cad && !RegisterHostClass(instance, bench::kCadLookAlikeClass))) {
        return 1;
    }

    const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
    const int left = screenWidth / 2;
    const int top = screenHeight / 2;

    HWND cad = nullptr;
    if (options->cad) {
        cad = OpenWindow(instance, bench::kCadLookAlikeClass, bench::kCadLookAlikeTitle, left, top);
        if (cad == nullptr) {
            return 1;
        }
    }
    const int columns = std::max(1, (screenWidth - left - kWindowWidth) / 8 + 1);
    const int rows = std::max(1, (screenHeight - top - kWindowHeight) / 6 + 1);
    for (std::uint32_t index = 0; index < options->count; ++index) {
        const int x = left + static_cast<int>(index % static_cast<std::uint32_t>(columns)) * 8;
        const int y = top + static_cast<int>(index % static_cast<std::uint32_t>(rows)) * 6;
        if (OpenWindow(instance, bench::kHostWindowClass, L"Window " + std::to_wstring(index + 1),
                       x, y) == nullptr) {
            return 1;
        }
    }
    if (cad != nullptr && options->cadInFront) {
        // AutoCAD in front, as while the user works in it: the panel's tick then also watches
        // the keyboard, and its search finds the window first.
        ::SetForegroundWindow(cad);
        ::SetTimer(cad, kFrontTimer, kFrontIntervalMs, nullptr);
        if (options->keys) {
            ::SetTimer(cad, kKeyTimer, kKeyIntervalMs, nullptr);
        }
    } else if (cad != nullptr) {
        MoveToBottom(cad);
        // With many windows the window manager may still restack some of them once the pending
        // messages have been handled; one more move after that settles the order.
        ::SetTimer(cad, kRestackTimer, kRestackDelayMs, nullptr);
    }

    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return 0;
}
