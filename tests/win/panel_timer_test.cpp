// The panel's real timer: the next tick comes a whole interval after a tick ends, also after a
// tick that lasted longer than the interval.

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <memory>
#include <vector>

#include "app/control_panel.h"
#include "app/dark_theme.h"
#include "app/input_list_form.h"
#include "app/lamp.h"
#include "app/message_box.h"
#include "app/win32_services.h"
#include "tests/support/wait.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// The system's window search, timed: each tick searches once, at its start. While armed, the
// search of one tick blocks the thread for 500 ms, as a slow tick does.
class TimedWindowSystem final : public platform::WindowSystem {
  public:
    void EnumTopLevelWindows(const std::function<bool(platform::WindowHandle)>& visit) override {
        starts.push_back(Clock::now());
        if (slowTickDue) {
            slowTickDue = false;
            slowTick = starts.size() - 1;
            ::Sleep(500);
        }
        system.EnumTopLevelWindows(visit);
        ends.push_back(Clock::now());
    }
    std::wstring WindowText(platform::WindowHandle w) override { return system.WindowText(w); }
    std::optional<std::wstring> ClassName(platform::WindowHandle w) override {
        return system.ClassName(w);
    }
    bool IsWindow(platform::WindowHandle w) override { return system.IsWindow(w); }
    platform::WindowHandle ForegroundWindow() override { return system.ForegroundWindow(); }
    platform::WindowHandle Parent(platform::WindowHandle w) override { return system.Parent(w); }
    void SetForegroundWindow(platform::WindowHandle w) override { system.SetForegroundWindow(w); }
    bool IsIconic(platform::WindowHandle w) override { return system.IsIconic(w); }
    void RestoreMinimised(platform::WindowHandle w) override { system.RestoreMinimised(w); }
    void SetTopmost(platform::WindowHandle w, bool topmost) override {
        system.SetTopmost(w, topmost);
    }
    platform::ProcessId WindowProcessId(platform::WindowHandle w) override {
        return system.WindowProcessId(w);
    }
    platform::ModuleHandle ClassModule(platform::WindowHandle w) override {
        return system.ClassModule(w);
    }

    platform::win32::Win32WindowSystem system;
    std::vector<Clock::time_point> starts;
    std::vector<Clock::time_point> ends;
    bool slowTickDue = false;
    std::size_t slowTick = 0;
};

long long Between(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration_cast<milliseconds>(to - from).count();
}

TEST(PanelTimerTest, TheTickAfterA500MsTickStartsAWholeIntervalAfterItsEnd) {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    app::ControlPanel::RegisterWindowClass(instance);
    app::RegisterLampClass(instance);
    app::RegisterMessageBoxClass(instance);
    app::InputListForm::RegisterWindowClass(instance);
    app::theme::DarkTheme theme;
    app::Win32Services system;
    TimedWindowSystem windows;
    app::PanelServices timed{windows,         system.processes, system.profiles,
                             system.keyboard, system.ime,       system.automation,
                             system.shell,    system.clock,     system.trace};
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    app::ControlPanel panel(instance, theme, timed, std::wstring(temp) + L"MERIDO_B.exe");
    panel.Create();
    panel.Show();
    const std::size_t firstTick = windows.starts.size();  // after the start-up's own search

    // A few ordinary ticks, then one of 500 ms, then a few more.
    ASSERT_TRUE(
        test_support::WaitUntil([&] { return windows.starts.size() >= firstTick + 3; }, 10000));
    windows.slowTickDue = true;
    ASSERT_TRUE(test_support::WaitUntil(
        [&] { return !windows.slowTickDue && windows.starts.size() >= windows.slowTick + 4; },
        10000));
    panel.Destroy();

    for (std::size_t tick = firstTick; tick + 1 < windows.starts.size(); ++tick) {
        SCOPED_TRACE(tick);
        // The search ends the tick's work: what follows it is quick.
        EXPECT_GE(Between(windows.ends[tick], windows.starts[tick + 1]), 190)
            << (tick == windows.slowTick ? "after the slow tick" : "after an ordinary tick");
    }
    EXPECT_GE(Between(windows.starts[windows.slowTick], windows.ends[windows.slowTick]), 500);
}

}  // namespace
