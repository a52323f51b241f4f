#include <windows.h>

#include "platform/win32/win32_clock.h"

namespace platform::win32 {

std::chrono::milliseconds Win32Clock::Now() {
    return std::chrono::milliseconds(::GetTickCount64());
}

void Win32Clock::Sleep(std::chrono::milliseconds duration) {
    ::Sleep(static_cast<DWORD>(duration.count()));
}

void Win32Clock::Pause(std::chrono::milliseconds duration) {
    const std::chrono::milliseconds end = Now() + duration;
    for (;;) {
        MSG message;
        // Looking at the queue handles the messages that other threads sent; the only
        // message taken from it is WM_PAINT, so input, the timer and posted messages wait.
        ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        while (::PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) {
            ::DispatchMessageW(&message);
        }
        const std::chrono::milliseconds left = end - Now();
        if (left.count() <= 0) {
            return;
        }
        ::MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(left.count()),
                                      QS_SENDMESSAGE | QS_PAINT, 0);
    }
}

}  // namespace platform::win32
