// The Windows side of working beside a busy AutoCAD: the pauses between refused calls, the
// message filter, and the rights of a process.

#include <gtest/gtest.h>
#include <windows.h>
#include <ole2.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/win32/message_filter.h"
#include "platform/win32/unique_handles.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_process_system.h"
#include "platform/win32/win32_window_system.h"
#include "tests/support/blocked_window_thread.h"
#include "tests/support/cadsim_client.h"

namespace {

using namespace std::chrono_literals;

constexpr UINT kProbe = WM_APP + 7;

// A window of this thread that counts the probes it was sent and that were posted to it.
struct ProbeWindow {
    ProbeWindow() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = [](HWND handle, UINT message, WPARAM wParam,
                                     LPARAM lParam) -> LRESULT {
            if (message == kProbe) {
                ++*reinterpret_cast<int*>(::GetWindowLongPtrW(handle, GWLP_USERDATA));
                return 42;
            }
            return ::DefWindowProcW(handle, message, wParam, lParam);
        };
        windowClass.lpszClassName = L"MeridoPauseProbe";
        ::RegisterClassW(&windowClass);
        window.reset(::CreateWindowExW(0, L"MeridoPauseProbe", L"", WS_POPUP, 0, 0, 10, 10, nullptr,
                                       nullptr, nullptr, nullptr));
        ::SetWindowLongPtrW(window.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&handled));
    }
    int handled = 0;
    platform::win32::UniqueWindow window;
};

// During a pause a message that another thread sends is answered at once, while a posted
// message and the timer wait for the message loop.
TEST(BusyCadWindowsTest, APauseAnswersSentMessagesButLeavesPostedOnesAndTheTimer) {
    ProbeWindow probe;
    ASSERT_NE(probe.window, nullptr);
    HWND target = probe.window.get();
    ::PostMessageW(target, kProbe, 0, 0);
    ::SetTimer(target, 1, 10, nullptr);
    std::atomic<LRESULT> reply{0};
    std::thread sender([&] {
        DWORD_PTR result = 0;
        if (::SendMessageTimeoutW(target, kProbe, 0, 0, SMTO_NORMAL, 5000, &result) != 0) {
            reply = static_cast<LRESULT>(result);
        }
    });
    platform::win32::Win32Clock clock;
    const auto start = clock.Now();
    while (reply == 0 && clock.Now() - start < 5000ms) {
        clock.Pause(50ms);
    }
    sender.join();
    EXPECT_EQ(reply, 42) << "the sent message was answered during the pause";
    EXPECT_EQ(probe.handled, 1) << "only the sent one";
    MSG message;
    EXPECT_TRUE(::PeekMessageW(&message, target, kProbe, kProbe, PM_REMOVE));
    EXPECT_TRUE(::PeekMessageW(&message, target, WM_TIMER, WM_TIMER, PM_REMOVE));
    ::KillTimer(target, 1);
}

TEST(BusyCadWindowsTest, APauseLastsAtLeastItsTime) {
    platform::win32::Win32Clock clock;
    const auto start = clock.Now();
    clock.Pause(100ms);
    EXPECT_GE(clock.Now() - start, 100ms);
}

// Wine never asks a client's filter about a refused call, so its answers are checked here
// directly: a refused or "retry later" call is cancelled at once (COM then returns
// RPC_E_CALL_REJECTED, which the program's own retry makes again), input waits while a call is
// out, incoming calls are handled.
TEST(BusyCadWindowsTest, TheMessageFilterHandsEveryRefusalToTheProgramsRetry) {
    platform::win32::RefusalMessageFilter filter;
    for (const DWORD type : {SERVERCALL_REJECTED, SERVERCALL_RETRYLATER}) {
        for (const DWORD elapsed : {0u, 100u, 10000u}) {
            EXPECT_EQ(filter.RetryRejectedCall(nullptr, elapsed, type), static_cast<DWORD>(-1));
        }
    }
    EXPECT_EQ(filter.MessagePending(nullptr, 0, PENDINGTYPE_TOPLEVEL),
              static_cast<DWORD>(PENDINGMSG_WAITDEFPROCESS));
    EXPECT_EQ(filter.HandleInComingCall(CALLTYPE_TOPLEVEL, nullptr, 0, nullptr),
              static_cast<DWORD>(SERVERCALL_ISHANDLED));
    IMessageFilter* asked = nullptr;
    EXPECT_EQ(filter.QueryInterface(IID_IMessageFilter, reinterpret_cast<void**>(&asked)), S_OK);
    EXPECT_EQ(asked, &filter);
    IUnknown* other = nullptr;
    EXPECT_EQ(filter.QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&other)),
              E_NOINTERFACE);
}

TEST(BusyCadWindowsTest, TheFilterIsTheThreadsWhileRegisteredAndTheEarlierOneAfter) {
    ASSERT_TRUE(SUCCEEDED(::OleInitialize(nullptr)));
    {
        platform::win32::RefusalMessageFilter filter;
        platform::win32::MessageFilterRegistration registration(filter);
        ASSERT_TRUE(registration.Registered());
        IMessageFilter* current = nullptr;
        ASSERT_TRUE(SUCCEEDED(::CoRegisterMessageFilter(nullptr, &current)));
        ASSERT_NE(current, nullptr);
        EXPECT_EQ(current->RetryRejectedCall(nullptr, 0, SERVERCALL_RETRYLATER),
                  static_cast<DWORD>(-1));
        IMessageFilter* none = nullptr;
        ::CoRegisterMessageFilter(current, &none);  // put it back for the registration's end
        current->Release();
    }
    IMessageFilter* after = nullptr;
    ASSERT_TRUE(SUCCEEDED(::CoRegisterMessageFilter(nullptr, &after)));
    EXPECT_EQ(after, nullptr) << "the thread had no filter before";
    ::OleUninitialize();
}

// Wine has no integrity levels, so only the query itself is proven here: this process and a
// child of it, started as it was, read as having the same rights.
TEST(BusyCadWindowsTest, ThisProcessAndItsChildReadAsHavingTheSameRights) {
    test_support::CadSim child;
    platform::win32::Win32ProcessSystem processes;
    const auto own = processes.IsElevated(processes.CurrentProcessId());
    const auto childs = processes.IsElevated(child.ProcessId());
    ASSERT_TRUE(own.has_value());
    ASSERT_TRUE(childs.has_value());
    EXPECT_EQ(*own, *childs);
    EXPECT_EQ(processes.CurrentProcessId(), ::GetCurrentProcessId());
    EXPECT_FALSE(processes.IsElevated(0x7FFFFFF0).has_value()) << "no such process";
}

// Restoring a minimised window of a thread that handles no message returns at once instead of
// waiting for that thread, which would hold the panel for as long as AutoCAD hangs.
TEST(BusyCadWindowsTest, RestoringAMinimisedWindowOfAHungThreadDoesNotWaitForIt) {
    test_support::BlockedWindowThread cad(10000, true);
    ASSERT_NE(::IsIconic(cad.Window()), FALSE);
    platform::win32::Win32WindowSystem windows;
    windows.RestoreMinimised(platform::win32::FromHwnd(cad.Window()));
    EXPECT_FALSE(cad.Released()) << "the call waited until the thread pumped again";
}

}  // namespace
