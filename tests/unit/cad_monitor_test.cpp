#include <gtest/gtest.h>

#include "cadlink/cad_prog_id.h"
#include "cadlink/cad_window_finder.h"
#include "fakes/monitor_fixture.h"
#include "fakes/fake_automation.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_trace.h"
#include "fakes/fake_input.h"
#include "fakes/fake_panel.h"
#include "fakes/fake_window_system.h"
#include "fakes/program_state.h"
#include "monitor/cad_monitor.h"

namespace {

using platform::OptionBox;
using platform::WindowHandle;

class CadMonitorTest : public testing::Test, protected fakes::MonitorWorld {
  protected:
    void SetUp() override { fakes::ResetProgramState(); }

    WindowHandle AddCad() { return desktop.Add(L"AutoCAD 2025", L"AfxMDIFrame140u"); }
    void RemoveAll() { desktop.windows.clear(); }
};

TEST_F(CadMonitorTest, ATickStopsItsTimerFirstAndStartsItLast) {
    AddCad();
    monitor.Timer1Timer();
    ASSERT_FALSE(panel.log.empty());
    EXPECT_EQ(panel.log.front(), L"stop");
    EXPECT_EQ(panel.log.back(), L"start");
    EXPECT_TRUE(panel.timerRunning);
    EXPECT_EQ(desktop.enumerations, 1);
}

TEST_F(CadMonitorTest, RebuildsTheAutomationIdentifierFromTheVersionFieldUnchanged) {
    panel.version = L"25";
    monitor.Timer1Timer();
    EXPECT_EQ(cadlink::CadProgId, L"Autocad.Application.25");
    panel.version = L"";
    monitor.Timer1Timer();
    EXPECT_EQ(cadlink::CadProgId, L"Autocad.Application.");
}

TEST_F(CadMonitorTest, LampIsLimeWhileTheWindowExistsAndGreyOtherwiseWrittenOnlyOnChange) {
    monitor.Timer1Timer();
    EXPECT_EQ(panel.lamp, platform::kLampGrey);
    monitor.Timer1Timer();
    EXPECT_EQ(std::count(panel.log.begin(), panel.log.end(), L"lamp"), 1);

    AddCad();
    monitor.Timer1Timer();
    EXPECT_EQ(panel.lamp, platform::kLampLime);
    monitor.Timer1Timer();
    EXPECT_EQ(std::count(panel.log.begin(), panel.log.end(), L"lamp"), 2);
}

TEST_F(CadMonitorTest, NeverClosesWhenAutoCadWasNeverSeen) {
    for (int i = 0; i < 5; ++i) {
        monitor.Timer1Timer();
    }
    EXPECT_EQ(panel.closeRequests, 0);
    EXPECT_FALSE(panel.fields.ijRun);
}

TEST_F(CadMonitorTest, ClosesAtTheFirstTickWithoutTheWindowAfterItWasSeenAndStillFinishes) {
    AddCad();
    monitor.Timer1Timer();
    EXPECT_TRUE(panel.fields.ijRun);
    RemoveAll();
    panel.log.clear();
    monitor.Timer1Timer();
    EXPECT_EQ(panel.closeRequests, 1);
    // The tick goes on after asking to close: the lamp turns grey and the timer restarts.
    EXPECT_EQ(panel.log, (std::vector<std::wstring>{L"stop", L"close", L"lamp", L"start"}));
    EXPECT_EQ(panel.lamp, platform::kLampGrey);
}

TEST_F(CadMonitorTest, OffUntickedKeepsThePanelUntilTickedAgain) {
    AddCad();
    monitor.Timer1Timer();
    RemoveAll();
    panel.checked[OptionBox::Off] = false;
    monitor.Timer1Timer();
    monitor.Timer1Timer();
    EXPECT_EQ(panel.closeRequests, 0);
    EXPECT_EQ(panel.lamp, platform::kLampGrey);

    panel.checked[OptionBox::Off] = true;
    monitor.Timer1Timer();
    EXPECT_EQ(panel.closeRequests, 1);
}

TEST_F(CadMonitorTest, AutoCadComingBackTurnsTheLampLimeAgain) {
    AddCad();
    monitor.Timer1Timer();
    panel.checked[OptionBox::Off] = false;
    RemoveAll();
    monitor.Timer1Timer();
    AddCad();
    monitor.Timer1Timer();
    EXPECT_EQ(panel.lamp, platform::kLampLime);
}

TEST_F(CadMonitorTest, TheForegroundOwnerIsAskedOnlyWhenAnotherWindowIsInFront) {
    const WindowHandle cad = AddCad();
    desktop.foreground = cad;
    monitor.Timer1Timer();
    EXPECT_TRUE(desktop.parentQueries.empty());

    const WindowHandle popup = desktop.Add(L"Options", L"#32770");
    desktop.Find(popup)->parent = cad;
    desktop.foreground = popup;
    monitor.Timer1Timer();
    EXPECT_EQ(desktop.parentQueries, std::vector<WindowHandle>{popup});
}

TEST_F(CadMonitorTest, WithoutAutoCadTheForegroundIsNotLookedAt) {
    desktop.foreground = desktop.Add(L"Notepad", L"Notepad");
    monitor.Timer1Timer();
    EXPECT_TRUE(desktop.parentQueries.empty());
}

}  // namespace
