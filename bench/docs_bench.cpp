// The guide's pictures: helpers for scripts/demo.sh --docs, run under Wine.
//   docs_bench box TITLE TEXT   shows the program's own information box (app::ShowMessageBox)
//                               with TITLE and TEXT, for a box that the test bench cannot make
//                               the real program show
//   docs_bench rect CLASS       prints WxH+X+Y, the rectangle that the visible top-level windows
//                               of the window class CLASS cover together, or nothing (exit 1)
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "app/dark_theme.h"
#include "app/message_box.h"

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
    if (command == L"box" && argc == 4) {
        return ShowBox(argv[2], argv[3]);
    }
    std::fputs("usage: docs_bench rect CLASS | docs_bench box TITLE TEXT\n", stderr);
    return 2;
}
