// The guide's pictures: helpers for scripts/demo.sh --docs, run under Wine.
//   docs_bench box TITLE TEXT   shows the program's own information box (app::ShowMessageBox)
//                               with TITLE and TEXT, for a box that the test bench cannot make
//                               the real program show
//   docs_bench rect CLASS       prints WxH+X+Y, the rectangle that the visible top-level windows
//                               of the window class CLASS cover together, or nothing (exit 1)
//   docs_bench controls CLASS   prints "ID WxH+X+Y" for each child window of the first visible
//                               top-level window of CLASS, relative to that window's top-left
//                               corner, so that a picture of it can be labelled
//   docs_bench ime-caption      writes into the panel's caption what the IME guard writes there
//                               (monitor::ImeGuardCaption of AutoCAD's main window, as the
//                               program's own search finds it): Wine shows no IME of another
//                               process, so the guard itself cannot act on the test bench
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "app/dark_theme.h"
#include "app/message_box.h"
#include "cadlink/cad_window_finder.h"
#include "monitor/cad_monitor.h"
#include "platform/win32/win32_window_system.h"

namespace {

struct ClassRect {
    std::wstring className;
    RECT rect{};
    bool found = false;
};

BOOL CALLBACK AddWindow(HWND window, LPARAM data) {
    auto& wanted = *reinterpret_cast<ClassRect*>(data);
    wchar_t name[256] = {};
    ::GetClassNameW(window, name, 256);
    RECT rect{};
    if (::IsWindowVisible(window) && wanted.className == name && ::GetWindowRect(window, &rect)) {
        if (!wanted.found) {
            wanted.rect = rect;
        } else {
            wanted.rect.left = std::min(wanted.rect.left, rect.left);
            wanted.rect.top = std::min(wanted.rect.top, rect.top);
            wanted.rect.right = std::max(wanted.rect.right, rect.right);
            wanted.rect.bottom = std::max(wanted.rect.bottom, rect.bottom);
        }
        wanted.found = true;
    }
    return TRUE;
}

int PrintRect(const std::wstring& className) {
    ClassRect wanted{className};
    ::EnumWindows(AddWindow, reinterpret_cast<LPARAM>(&wanted));
    if (!wanted.found) {
        return 1;
    }
    const RECT& r = wanted.rect;
    std::printf("%ldx%ld+%ld+%ld\n", r.right - r.left, r.bottom - r.top, r.left, r.top);
    return 0;
}

HWND FirstVisibleWindow(const std::wstring& className) {
    for (HWND window = ::FindWindowW(className.c_str(), nullptr); window != nullptr;
         window = ::FindWindowExW(nullptr, window, className.c_str(), nullptr)) {
        if (::IsWindowVisible(window)) {
            return window;
        }
    }
    return nullptr;
}

BOOL CALLBACK PrintChild(HWND child, LPARAM data) {
    const RECT& origin = *reinterpret_cast<const RECT*>(data);
    RECT r{};
    if (::IsWindowVisible(child) && ::GetWindowRect(child, &r)) {
        std::printf("%d %ldx%ld+%ld+%ld\n", ::GetDlgCtrlID(child), r.right - r.left,
                    r.bottom - r.top, r.left - origin.left, r.top - origin.top);
    }
    return TRUE;
}

int PrintControls(const std::wstring& className) {
    HWND window = FirstVisibleWindow(className);
    RECT origin{};
    if (window == nullptr || !::GetWindowRect(window, &origin)) {
        return 1;
    }
    ::EnumChildWindows(window, PrintChild, reinterpret_cast<LPARAM>(&origin));
    return 0;
}

int WriteImeCaption() {
    platform::win32::Win32WindowSystem windows;
    const platform::WindowHandle cad = cadlink::FindCadMainWindow(windows);
    HWND panel = FirstVisibleWindow(L"TMERIDO_A_MainForm");
    if (cad == platform::WindowHandle::none || panel == nullptr) {
        return 1;
    }
    return ::SetWindowTextW(panel, monitor::ImeGuardCaption(cad).c_str()) ? 0 : 1;
}

int ShowBox(const std::wstring& title, const std::wstring& text) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    app::theme::DarkTheme theme;
    app::RegisterMessageBoxClass(::GetModuleHandleW(nullptr));
    app::ShowMessageBox(theme, nullptr, title, text, app::BoxKind::Information);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"rect" && argc == 3) {
        return PrintRect(argv[2]);
    }
    if (command == L"controls" && argc == 3) {
        return PrintControls(argv[2]);
    }
    if (command == L"ime-caption" && argc == 2) {
        return WriteImeCaption();
    }
    if (command == L"box" && argc == 4) {
        return ShowBox(argv[2], argv[3]);
    }
    std::fputs(
        "usage: docs_bench rect CLASS | docs_bench controls CLASS | docs_bench ime-caption |"
        " docs_bench box TITLE TEXT\n",
        stderr);
    return 2;
}
