#include <gtest/gtest.h>
#include <windows.h>
#include <imm.h>

#include "monitor/cad_monitor.h"
#include "platform/win32/unique_handles.h"
#include "platform/win32/win32_input.h"
#include "tests/fakes/fake_automation.h"
#include "tests/fakes/fake_clock.h"
#include "tests/fakes/fake_input.h"
#include "tests/fakes/fake_panel.h"
#include "tests/fakes/fake_window_system.h"
#include "tests/support/blocked_window_thread.h"

namespace {

using platform::Ime;
using platform::win32::FromHwnd;

TEST(ImeGuardWindowsTest, TheImeWindowOfAPumpingThreadAnswers) {
    // The counterpart of the test below: an answer is what a live thread gives.
    platform::win32::UniqueWindow window(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10,
                                                           10, nullptr, nullptr, nullptr, nullptr));
    HWND ime = ::ImmGetDefaultIMEWnd(window.get());
    ASSERT_NE(ime, nullptr);
    platform::win32::Win32Ime guard;
    EXPECT_TRUE(guard.Control(FromHwnd(ime), Ime::kGetOpenStatus).has_value());
}

TEST(ImeGuardWindowsTest, BothRequestsToAThreadThatStopsPumpingReturnWithoutAnAnswer) {
    // Released after 10 s: a request that waited without a bound would get its answer then.
    test_support::BlockedWindowThread cad(10000);
    ASSERT_NE(cad.ImeWindow(), nullptr);
    platform::win32::Win32Ime guard;
    EXPECT_FALSE(guard.Control(FromHwnd(cad.ImeWindow()), Ime::kGetOpenStatus).has_value());
    EXPECT_FALSE(guard.Control(FromHwnd(cad.ImeWindow()), Ime::kSetOpenStatus).has_value());
}

TEST(ImeGuardWindowsTest, ATickBesideABlockedAutoCadCompletesAndActsOnNothing) {
    test_support::BlockedWindowThread cad(10000);
    ASSERT_NE(cad.ImeWindow(), nullptr);
    fakes::FakePanel panel;
    fakes::FakeKeyboard keyboard;
    fakes::FakeAutomation automation;
    // The window search reads titles without a message, as it does across processes; within
    // this process, reading the blocked window's title would wait for its thread.
    fakes::FakeWindowSystem desktop;
    desktop.windows.push_back({FromHwnd(cad.Window()), cad.kTitle, std::wstring(cad.kClassName)});
    platform::win32::Win32Ime ime;
    fakes::FakeClock clock;
    monitor::CadMonitor monitor(panel, {desktop, keyboard, ime, automation, clock});

    monitor.Timer1Timer();
    EXPECT_EQ(panel.lamp, platform::kLampLime);  // the tick found the blocked window
    EXPECT_EQ(panel.log.back(), L"start");       // and ran to its end
    EXPECT_TRUE(automation.log.calls.empty());
    EXPECT_EQ(panel.caption, L"\u25A0 MERIDO_B 1.10");
}

}  // namespace
