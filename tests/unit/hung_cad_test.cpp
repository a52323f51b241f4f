// An AutoCAD that neither answers nor refuses: the budget's limit on a call's wait, the tick and
// the commands that meet such an AutoCAD, and the tick's error box.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "cadlink/cad_automation.h"
#include "cadlink/cad_prog_id.h"
#include "fakes/monitor_fixture.h"
#include "fakes/command_fixture.h"
#include "fakes/fake_automation.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_trace.h"
#include "fakes/fake_input.h"
#include "fakes/fake_panel.h"
#include "fakes/fake_window_system.h"
#include "fakes/program_state.h"
#include "monitor/cad_monitor.h"

namespace {

using namespace std::chrono_literals;
using cadlink::CallBudget;
using fakes::FakeValue;

struct WaitCase {
    const char* name;
    std::chrono::milliseconds total;
    std::chrono::milliseconds refused;  // spent on refusals before the call
    std::chrono::milliseconds inCall;   // the budget's own count of the call in progress
    std::chrono::milliseconds waited;   // the system's count
    bool pastLimit;
};

class CallWaitLimitTest : public testing::TestWithParam<WaitCase> {
  protected:
    void SetUp() override {
        fakes::ResetProgramState();
        automation.Register(L"Autocad.Application.24", application);
    }

    fakes::FakeAutomation automation;
    fakes::FakeClock clock;
    fakes::FakeTrace trace;
    std::shared_ptr<fakes::FakeNode> application = std::make_shared<fakes::FakeNode>(L"App");
};

// The decision the message filter passes on, against the fake clock: a call may wait what is
// left of the budget, counted by whichever of the two counts is longer.
TEST_P(CallWaitLimitTest, ACallMayWaitWhatIsLeftOfTheBudget) {
    const WaitCase& c = GetParam();
    CallBudget budget(automation, clock, trace, L"test", c.total);
    ASSERT_EQ(automation.log.waitLimit, &budget) << "the budget is the limit while it lives";
    if (c.refused.count() > 0) {
        automation.log.refuseCalls = static_cast<int>(c.refused / cadlink::kRefusedCallPause);
        cadlink::AttachCadApplication(automation, budget);
        ASSERT_EQ(clock.now - 100000ms, c.refused);
    }
    bool past = false;
    budget.Run(L"Member", [&] {
        clock.now += c.inCall;
        past = budget.IsWaitPastLimit(c.waited);
        clock.now -= c.inCall;  // answered in time: only the decision is looked at
        return 0;
    });
    EXPECT_EQ(past, c.pastLimit);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CallWaitLimitTest,
    testing::Values(
        WaitCase{"TickJustWithin", cadlink::kTickCallBudget, 0ms, 200ms, 200ms, false},
        WaitCase{"TickPast", cadlink::kTickCallBudget, 0ms, 201ms, 0ms, true},
        WaitCase{"TickPastBySystemsCount", cadlink::kTickCallBudget, 0ms, 0ms, 201ms, true},
        // Wine counts from the wait before the message came: the budget's own count decides.
        WaitCase{"SystemCountBehind", cadlink::kTickCallBudget, 0ms, 450ms, 200ms, true},
        WaitCase{"AfterRefusals", cadlink::kTickCallBudget, 150ms, 51ms, 0ms, true},
        WaitCase{"AfterRefusalsWithin", cadlink::kTickCallBudget, 150ms, 50ms, 50ms, false},
        WaitCase{"CommandWithin", cadlink::kCommandCallBudget, 0ms, 2999ms, 2999ms, false},
        WaitCase{"CommandPast", cadlink::kCommandCallBudget, 0ms, 3001ms, 3001ms, true}),
    [](const testing::TestParamInfo<WaitCase>& c) { return std::string(c.param.name); });

class HungCallTest : public CallWaitLimitTest {
  protected:
    void SetUp() override {
        CallWaitLimitTest::SetUp();
        automation.log.clock = &clock;
        application->Returns(L"FullName", std::wstring(L"C:\\CAD\\acad.exe"));
        application->Returns(L"ActiveDocument", std::make_shared<fakes::FakeNode>(L"Doc"));
    }
};

// A call still waiting when the budget is spent is given up at the next message; an answer that
// comes after the budget (no message arrived meanwhile) counts as none, and what it returned is
// released. Either way every later wait of the section is given up at once.
TEST_F(HungCallTest, AWaitPastTheBudgetIsGivenUpAndALateAnswerCountsAsNone) {
    for (const auto messageEvery : {200ms, 10000ms}) {
        SCOPED_TRACE(messageEvery.count());
        automation.log = fakes::FakeServerLog{};
        automation.log.clock = &clock;
        automation.log.messageEvery = messageEvery;
        trace.lines.clear();
        const auto start = clock.now;
        CallBudget tick(automation, clock, trace, L"tick", cadlink::kTickCallBudget);
        const auto attached = cadlink::AttachCadApplication(automation, tick);
        automation.log.hangAtCall = 2;
        automation.log.hangFor = 5000ms;
        try {
            attached->GetObject(L"ActiveDocument");
            FAIL() << "answered";
        } catch (const platform::AutomationError& error) {
            EXPECT_EQ(error.Code(), platform::kCallCanceled);
        }
        EXPECT_EQ(automation.log.liveObjects, 1)
            << "only the Application; a late answer is released";
        EXPECT_LE(clock.now - start, messageEvery == 200ms ? 400ms : 5000ms);
        EXPECT_TRUE(tick.IsWaitPastLimit(0ms)) << "the budget is used up";
        // One line for the call given up, none for the waits given up after it.
        EXPECT_EQ(trace.lines,
                  std::vector<std::wstring>{
                      L"MERIDO_B tick, wait given up after the budget of 200 ms: ActiveDocument "
                      L"0x80010002: " +
                      std::wstring(messageEvery == 200ms ? L"no answer"
                                                         : L"answered late, counted as none")});
    }
}

// The export's Wblock may take as long as AutoCAD needs; its time costs the command nothing.
TEST_F(HungCallTest, AnUnlimitedWaitIsNeverGivenUpAndCostsNothing) {
    automation.log.messageEvery = 100ms;
    CallBudget command(automation, clock, trace, L"test", cadlink::kCommandCallBudget);
    const auto attached = cadlink::AttachCadApplication(automation, command);
    automation.log.hangAtCall = 2;
    automation.log.hangFor = 60000ms;
    {
        const CallBudget::UnlimitedWait writing(command);
        EXPECT_EQ(attached->GetText(L"FullName"), L"C:\\CAD\\acad.exe");
    }
    EXPECT_EQ(automation.log.waitsAsked.size(), 599u) << "asked at every message, never past";
    EXPECT_FALSE(command.IsWaitPastLimit(2999ms));
    EXPECT_TRUE(command.IsWaitPastLimit(3001ms)) << "the limit is back";
}

// A tick's section that runs inside a command's dialog is the limit while it lives; the
// command's is again after it.
TEST_F(HungCallTest, BudgetsNestAsLimits) {
    {
        CallBudget command(automation, clock, trace, L"test", cadlink::kCommandCallBudget);
        {
            CallBudget tick(automation, clock, trace, L"test", cadlink::kTickCallBudget);
            EXPECT_EQ(automation.log.waitLimit, &tick);
        }
        EXPECT_EQ(automation.log.waitLimit, &command);
    }
    EXPECT_EQ(automation.log.waitLimit, nullptr);
}

// AutoCAD, busy and in front, stops answering when the tap's state check reaches it.
class HungTickTest : public testing::Test, protected fakes::MonitorWorld {
  protected:
    void SetUp() override {
        fakes::ResetProgramState();
        cad = desktop.Add(L"AutoCAD 2025", L"AfxMDIFrame140u");
        desktop.foreground = cad;
        state->Returns(L"IsQuiescent", false);
        application->Returns(L"GetAcadState", state);
        automation.Register(L"Autocad.Application.24", application);
        automation.log.clock = &clock;
        clock.log = &keyboard.sent;
        panel.checked[platform::OptionBox::Ime] = false;
    }

    void Tick(std::set<int> keys = {}) {
        keyboard.down = std::move(keys);
        monitor.Timer1Timer();
    }

    std::shared_ptr<fakes::FakeNode> application = std::make_shared<fakes::FakeNode>(L"App");
    std::shared_ptr<fakes::FakeNode> state = std::make_shared<fakes::FakeNode>(L"State");
    platform::WindowHandle cad{};
};

TEST_F(HungTickTest, ATapsStateCheckIsGivenUpWithinTheTicksBudgetAndTheNextTapWorks) {
    for (const std::size_t hungCall : {1u, 2u, 3u, 4u}) {  // IsActive, Attach, GetAcadState, ...
        SCOPED_TRACE(hungCall);
        automation.log.calls.clear();
        automation.log.hangAtCall = hungCall;
        automation.log.hangFor = 5000ms;
        Tick({0x10});
        const auto start = clock.now;
        Tick();
        EXPECT_LE(clock.now - start, 400ms) << "one timer message after the budget";
        EXPECT_TRUE(keyboard.sent.empty());
        EXPECT_TRUE(panel.errors.empty());
        EXPECT_TRUE(monitor.FailedCadProgId().empty()) << "no answer is no wrong version";
        EXPECT_TRUE(panel.timerRunning);
        EXPECT_EQ(automation.log.liveObjects, 0);
    }
    automation.log.hangAtCall = 0;
    Tick({0x10});
    Tick();
    EXPECT_EQ(keyboard.sent, (std::vector<std::wstring>{L"down 119", L"sleep 1", L"up 119"}));
}

// A window search that fails every time: the tick's error box holds the timer, so the box's own
// message loop runs no tick and no box opens inside it; the monitor goes on once it is closed.
TEST_F(HungTickTest, OneErrorBoxAtATimeFromTheTick) {
    desktop.onVisit = [](platform::WindowHandle) { throw platform::Error(L"no search"); };
    int nested = 0;
    panel.tickInsideBox = [&] {
        ++nested;
        monitor.Timer1Timer();
    };
    for (int tick = 0; tick < 3; ++tick) {
        Tick();
    }
    EXPECT_EQ(nested, 0);
    EXPECT_EQ(panel.errors.size(), 3u);
    EXPECT_EQ(panel.log, (std::vector<std::wstring>{L"stop", L"error", L"error closed", L"start",
                                                    L"stop", L"error", L"error closed", L"start",
                                                    L"stop", L"error", L"error closed", L"start"}));
}

class HungCommandTest : public fakes::CommandTest {
  protected:
    void SetUp() override {
        AddCadWindow();
        automation.log.clock = &clock;
        document->Returns(L"Name", std::wstring(L"a.dwg"));
        document->Returns(L"FullName", std::wstring(L"C:\\dwg\\a.dwg"));
        documents->Returns(L"Count", std::int32_t{1});
        documents->Returns(L"Item", document);
        application->Returns(L"ActiveDocument", document);
        application->Returns(L"Documents", documents);
        picker.onShow = [this](fakes::FakePicker&) {
            ++pickerShown;
            return platform::ListPicker::kOk;
        };
    }

    std::shared_ptr<fakes::FakeNode> document = std::make_shared<fakes::FakeNode>(L"Doc");
    std::shared_ptr<fakes::FakeNode> documents = std::make_shared<fakes::FakeNode>(L"Docs");
    int pickerShown = 0;
};

// LIST meets an AutoCAD that stops answering: given up within the command's 3 s, silently, and
// no picker comes.
TEST_F(HungCommandTest, ListEndsSilentlyWithinItsBudget) {
    for (const std::size_t hungCall : {1u, 2u, 3u, 4u, 5u}) {
        SCOPED_TRACE(hungCall);
        automation.log.calls.clear();
        automation.log.hangAtCall = hungCall;
        automation.log.hangFor = 60000ms;
        const auto start = clock.now;
        commands.SwitchDrawing();
        EXPECT_LE(clock.now - start, 3200ms);
        EXPECT_EQ(pickerShown, 0);
        EXPECT_TRUE(dialogs.shown.empty());
        EXPECT_EQ(automation.log.liveObjects, 0);
    }
}

// The export's Wblock may take a minute; the calls after it still have the command's budget.
TEST_F(HungCommandTest, TheExportWaitsForItsWblockAsLongAsItTakes) {
    auto selection = std::make_shared<fakes::FakeNode>(L"Set");
    selection->Returns(L"Clear", std::int32_t{0});
    selection->Returns(L"Select", std::int32_t{0});
    selection->Returns(L"Count", std::int32_t{3});
    document->Returns(L"ActiveSelectionSet", selection);
    document->Returns(L"Wblock", std::int32_t{0});
    panel.saveAs = L"C:\\dwg\\a_wblock1.dwg";
    automation.log.hangAtCall = 9;  // IsActive, Attach, ActiveDocument, FullName, ...
    automation.log.hangFor = 60000ms;
    commands.ExportCleanedCopy();
    ASSERT_GE(automation.log.calls.size(), 9u);
    EXPECT_TRUE(automation.log.calls[8].starts_with(L"Doc.Wblock"));
    EXPECT_EQ(automation.log.calls.back(), L"Set.Clear") << "the Clear after it still ran";
    EXPECT_EQ(automation.log.liveObjects, 0);
}

}  // namespace
