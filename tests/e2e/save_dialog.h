#pragma once

#include <windows.h>

#include <string>

#include "tests/support/wait.h"

namespace e2e {

// The visible save dialog of a process, or none.
inline HWND SaveDialogOf(DWORD processId) {
    struct Search {
        DWORD processId;
        HWND found;
    } search{processId, nullptr};
    ::EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            auto* s = reinterpret_cast<Search*>(context);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            wchar_t name[64] = {};
            ::GetClassNameW(window, name, 64);
            if (owner == s->processId && ::IsWindowVisible(window) &&
                std::wstring(name) == L"#32770") {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The save dialog of the process once it shows; none when none shows within the limit.
inline HWND WaitForSaveDialogOf(DWORD processId, DWORD timeoutMs = 15000) {
    HWND dialog = nullptr;
    test_support::WaitUntil(
        [&] {
            dialog = SaveDialogOf(processId);
            return dialog != nullptr;
        },
        timeoutMs);
    return dialog;
}

inline DWORD ProcessOf(HWND window) {
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    return processId;
}

}  // namespace e2e
