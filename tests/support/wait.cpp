#include "tests/support/wait.h"

#include <algorithm>
#include <optional>

namespace test_support {
namespace {

constexpr DWORD kPollMs = 20;

// Dispatches what is queued; a WM_QUIT is kept back and given to the caller.
void DispatchPending(std::optional<WPARAM>& quit) {
    MSG message{};
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quit = message.wParam;
            continue;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    std::optional<WPARAM> quit;
    bool held = condition();
    while (!held) {
        const ULONGLONG now = ::GetTickCount64();
        if (now >= deadline) {
            break;
        }
        const DWORD pause = static_cast<DWORD>(std::min<ULONGLONG>(kPollMs, deadline - now));
        ::MsgWaitForMultipleObjectsEx(0, nullptr, pause, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        DispatchPending(quit);
        held = condition();
    }
    if (quit) {
        // A nested loop must not swallow the request to end the thread's own loop.
        ::PostQuitMessage(static_cast<int>(*quit));
    }
    return held;
}

}  // namespace test_support
