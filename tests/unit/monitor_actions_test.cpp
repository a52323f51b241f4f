#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

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
#include "monitor/modifier_latches.h"

namespace {

using platform::OptionBox;
using platform::WindowHandle;

constexpr int kShift = 0x10;    // VK_SHIFT
constexpr int kControl = 0x11;  // VK_CONTROL
constexpr int kF8Key = 0x77;    // VK_F8

const std::vector<std::wstring> kF8 = {L"down 119", L"sleep 1", L"up 119"};
const std::vector<std::wstring> kF9 = {L"down 120", L"sleep 1", L"up 120"};

// AutoCAD in front and busy, its server running under version 24; the panel as at start-up.
class MonitorActionsTest : public testing::Test, protected fakes::MonitorWorld {
  protected:
    void SetUp() override {
        fakes::ResetProgramState();
        cad = desktop.Add(L"AutoCAD 2025", L"AfxMDIFrame140u");
        other = desktop.Add(L"Notepad", L"Notepad");
        desktop.foreground = cad;
        state->On(L"IsQuiescent", [this](const auto&) { return fakes::FakeValue{quiescent}; });
        application->Returns(L"GetAcadState", state);
        automation.Register(L"Autocad.Application.24", application);
        automation.Register(L"Autocad.Application.25", nullptr);
        clock.log = &keyboard.sent;  // the pause between a key's press and release
    }

    // One tick with these keys held (virtual-key codes), then the server's calls are read.
    void Tick(std::set<int> keys = {}) {
        keyboard.down = std::move(keys);
        monitor.Timer1Timer();
    }
    void Tap(int key) {
        Tick({key});
        Tick();
    }
    // Raw input events between two ticks; fromDevice false: injected by another program.
    void Press(int key, bool fromDevice = true) {
        monitor.RawInput({platform::RawInputEvent::Kind::KeyDown, key, fromDevice});
    }
    void Release(int key, bool fromDevice = true) {
        monitor.RawInput({platform::RawInputEvent::Kind::KeyUp, key, fromDevice});
    }
    void QuickTap(int key, bool fromDevice = true) {
        Press(key, fromDevice);
        Release(key, fromDevice);
    }
    void Click() { monitor.RawInput({platform::RawInputEvent::Kind::MouseButtonDown, 0, true}); }
    int ServerContacts() const { return static_cast<int>(automation.log.calls.size()); }
    // One tick; true when it reported exactly one error, an automation error, in the box.
    bool TickReportsAnAutomationError() {
        const std::size_t before = panel.errors.size();
        Tick();
        if (panel.errors.size() != before + 1) {
            return false;
        }
        try {
            std::rethrow_exception(panel.errors.back());
        } catch (const platform::AutomationError&) {
            return true;
        } catch (...) {
            return false;
        }
    }

    std::shared_ptr<fakes::FakeNode> application = std::make_shared<fakes::FakeNode>(L"App");
    std::shared_ptr<fakes::FakeNode> state = std::make_shared<fakes::FakeNode>(L"State");
    bool quiescent = false;
    WindowHandle cad{};
    WindowHandle other{};
};

TEST_F(MonitorActionsTest, ALoneShiftTapSendsF8AndALoneCtrlTapSendsF9ToABusyAutoCad) {
    Tap(kShift);
    EXPECT_EQ(keyboard.sent, kF8);
    keyboard.sent.clear();
    Tap(kControl);
    EXPECT_EQ(keyboard.sent, kF9);
    EXPECT_EQ(automation.log.liveObjects, 0);
}

TEST_F(MonitorActionsTest, TheServerIsContactedOnlyForARecognisedTap) {
    Tick({kShift});
    Tick({kShift});
    EXPECT_EQ(ServerContacts(), 0);
    Tick();
    EXPECT_EQ(automation.log.calls,
              (std::vector<std::wstring>{L"IsActive Autocad.Application.24",
                                         L"Attach Autocad.Application.24", L"App.GetAcadState",
                                         L"State.IsQuiescent"}));
}

TEST_F(MonitorActionsTest, ATickReadsAtMost167KeyStates) {
    Tick({kShift});
    EXPECT_LE(keyboard.reads, 167);
    keyboard.reads = 0;
    Tick();
    EXPECT_LE(keyboard.reads, 167);
}

TEST_F(MonitorActionsTest, ShiftWithAnotherKeyOrTogetherWithCtrlIsNoTap) {
    Tick({kShift});
    Tick({kShift, 'A'});  // a capital letter
    Tick();
    Tick({kShift, kControl});
    Tick({kShift});
    Tick();
    Tick({kControl});
    Tick({kShift});  // Ctrl released and Shift pressed before a run saw everything up
    Tick();
    EXPECT_TRUE(keyboard.sent.empty());
    EXPECT_EQ(ServerContacts(), 0);
}

TEST_F(MonitorActionsTest, KeysOutsideTheScannedSetDoNotSpoilATap) {
    for (int key : {0x09, 0x0D, 0x1B, 0x08, 0x12, 0x01}) {
        keyboard.sent.clear();
        Tick({kShift, key});
        Tick();
        EXPECT_EQ(keyboard.sent, kF8) << std::hex << key;
    }
}

TEST_F(MonitorActionsTest, ATapFinishedWhileAnotherProgramWasInFrontIsRecognisedLater) {
    Tick({kShift});
    desktop.foreground = other;
    Tick();  // the detector does not run: the latch stays
    EXPECT_TRUE(monitor::ShiftLatch);
    desktop.foreground = cad;
    Tick();
    EXPECT_EQ(keyboard.sent, kF8);
}

TEST_F(MonitorActionsTest, AKeyPressedBetweenTwoRunsSpoilsTheTapThatTheSamplesSaw) {
    Tick({kShift});
    Press('A');  // a capital typed and let go before the next run
    Tick({kShift});
    Tick();
    Press(kShift);  // a Shift press whose release no run has seen
    Tick();
    EXPECT_TRUE(keyboard.sent.empty());
    Tap(kShift);  // the presses were taken by the runs: a later tap is a tap
    EXPECT_EQ(keyboard.sent, kF8);
}

TEST_F(MonitorActionsTest, PressesWhileAnotherProgramIsInFrontGatherForTheNextRun) {
    Tick({kShift});
    desktop.foreground = other;
    Tick();
    Press(kControl);
    Tick();
    desktop.foreground = cad;
    Tick();
    EXPECT_TRUE(keyboard.sent.empty());
    EXPECT_FALSE(monitor::ShiftLatch);
}

TEST_F(MonitorActionsTest, ALoneTapBetweenTwoTicksSendsItsKey) {
    Tick();
    QuickTap(kShift);
    Tick();
    EXPECT_EQ(keyboard.sent, kF8);
    keyboard.sent.clear();
    QuickTap(kControl);
    Tick();
    EXPECT_EQ(keyboard.sent, kF9);
}

// Typed with Shift (0xDB to 0xDE, 0xE2), Shift+click, Shift+right-click, Ctrl+click: seen by a
// sample or only by the events, no key is sent.
TEST_F(MonitorActionsTest, ACharacterKeyOrAClickWithTheModifierSpoilsItsTap) {
    for (int key : {0xDB, 0xDC, 0xDD, 0xDE, 0xE2, 0xC1}) {
        Tick({kShift, key});
        Tick();
        Press(kShift);
        Press(key);
        Release(key);
        Release(kShift);
        Tick();
    }
    for (int modifier : {kShift, kControl}) {
        Press(modifier);
        Tick({modifier});
        Click();
        Release(modifier);
        Tick();
        Press(modifier);
        Click();
        Release(modifier);
        Tick();
    }
    EXPECT_TRUE(keyboard.sent.empty());
}

TEST_F(MonitorActionsTest, AModifierSeenDownTakesTheMouseUntilItIsUp) {
    Tick();
    EXPECT_FALSE(monitor.WantsMouseInput());
    Click();  // with nothing held: no matter
    QuickTap(kShift);
    EXPECT_FALSE(monitor.WantsMouseInput());
    Tick();
    EXPECT_EQ(keyboard.sent, kF8);

    // Held since before the panel heard it: the sample tells.
    Tick({kControl});
    EXPECT_TRUE(monitor.WantsMouseInput());
    Click();
    Tick();
    EXPECT_FALSE(monitor.WantsMouseInput());
    EXPECT_EQ(keyboard.sent, kF8);
}

TEST_F(MonitorActionsTest, AnInjectedTapNeverSendsAKey) {
    Tick();
    QuickTap(kControl, false);
    Tick();
    Press(kShift, false);
    Release(kShift);
    Tick();
    Press(kShift);
    Release(kShift, false);
    Tick();
    EXPECT_TRUE(keyboard.sent.empty());
}

// A quick tap counts only while AutoCAD is in front: when it is made, and at every tick until
// the run that takes it.
TEST_F(MonitorActionsTest, AQuickTapMadeWhileAutoCadIsNotInFrontIsForgotten) {
    Tick();
    desktop.foreground = other;
    QuickTap(kShift);
    desktop.foreground = cad;
    Tick();
    QuickTap(kControl);
    desktop.foreground = other;
    Tick();
    desktop.foreground = cad;
    Tick();
    EXPECT_TRUE(keyboard.sent.empty());
    // A pop-up of AutoCAD is AutoCAD in front.
    const WindowHandle popup = desktop.Add(L"Options", L"#32770");
    desktop.Find(popup)->parent = cad;
    desktop.foreground = popup;
    QuickTap(kShift);
    desktop.foreground = cad;
    Tick();
    EXPECT_EQ(keyboard.sent, kF8);
}

// The monitor's own F8 comes back as a key event; only that one press is passed over.
TEST_F(MonitorActionsTest, TheSentKeysOwnPressIsNoOtherKeyButTheUsersNextOneIs) {
    Tap(kShift);
    Press(kF8Key);
    Tap(kShift);
    EXPECT_EQ(keyboard.sent.size(), 2 * kF8.size());
    Press(kF8Key);

    Tick({kShift});
    Press(kF8Key);  // the user's own Shift+F8
    Tick();
    EXPECT_EQ(keyboard.sent.size(), 2 * kF8.size());
}

// A key that the system dropped (into a window of higher rights, or on the secure desktop)
// never comes back: the wait for it ends with the detector's next run, so the user's own next
// press of that key still counts.
TEST_F(MonitorActionsTest, TheWaitForTheSentKeyEndsWithTheDetectorsNextRun) {
    Tap(kShift);
    ASSERT_EQ(keyboard.sent, kF8);
    Tick({kShift});
    Press(kF8Key);  // the user's own Shift+F8
    Tick();
    EXPECT_EQ(keyboard.sent, kF8) << "Shift+F8 is no lone Shift tap";
}

// A busy AutoCAD refuses the state check for 150 ms (six refusals, one 25 ms pause each): the
// tap still gets its F8, within the tick's 200 ms.
TEST_F(MonitorActionsTest, AStateCheckThatMeetsARefusalIsMadeAgainAndTheKeyIsSent) {
    Tick({kShift});
    automation.log.refuseCalls = 6;
    Tick();
    EXPECT_EQ(keyboard.sent, kF8);
    EXPECT_EQ(automation.log.refused, 6);
    EXPECT_EQ(clock.pauses.size(), 6u);
    EXPECT_EQ(automation.log.liveObjects, 0);
}

// Refused past the tick's budget: no key, no box, and the timer runs on.
TEST_F(MonitorActionsTest, ARefusalLongerThanTheTicksBudgetEndsTheStepSilently) {
    Tick({kShift});
    automation.log.refuseCalls = 1000;
    const auto before = clock.now;
    EXPECT_NO_THROW(Tick());
    EXPECT_TRUE(keyboard.sent.empty());
    EXPECT_LE(clock.now - before, cadlink::kTickCallBudget);
    EXPECT_TRUE(panel.timerRunning);
    EXPECT_TRUE(monitor.FailedCadProgId().empty()) << "a refusal is no wrong version";
    EXPECT_FALSE(monitor::ShiftLatch);
}

TEST_F(MonitorActionsTest, ACtrlTapFollowedByAShiftTapGivesBothInTurn) {
    Tick({kControl});
    Tick();
    Tick({kShift});
    Tick();
    std::vector<std::wstring> both = kF9;
    both.insert(both.end(), kF8.begin(), kF8.end());
    EXPECT_EQ(keyboard.sent, both);
}

TEST_F(MonitorActionsTest, AnUntickedOptionRecognisesTheTapButContactsNothing) {
    panel.checked[OptionBox::Shift] = false;
    Tap(kShift);
    EXPECT_TRUE(keyboard.sent.empty());
    EXPECT_EQ(ServerContacts(), 0);
    EXPECT_FALSE(monitor::ShiftLatch);
    // The other key is unaffected.
    Tap(kControl);
    EXPECT_EQ(keyboard.sent, kF9);
}

TEST_F(MonitorActionsTest, AnIdleAutoCadGetsNoKeyAndTheLatchesAreCleared) {
    quiescent = true;
    Tap(kShift);
    EXPECT_TRUE(keyboard.sent.empty());
    EXPECT_FALSE(monitor::ShiftLatch);
    EXPECT_EQ(automation.log.liveObjects, 0);
}

TEST_F(MonitorActionsTest, APopupOwnedByAutoCadInFrontRunsTheDetectorButGetsNoKey) {
    const WindowHandle popup = desktop.Add(L"Options", L"#32770");
    desktop.Find(popup)->parent = cad;
    desktop.foreground = popup;
    Tap(kShift);
    EXPECT_TRUE(keyboard.sent.empty());
    EXPECT_EQ(ServerContacts(), 4);  // the tap was recognised and AutoCAD asked
}

TEST_F(MonitorActionsTest, ANotRunningServerOrAFailingOneSendsNothingSilently) {
    panel.version = L"25";
    Tap(kShift);
    EXPECT_TRUE(keyboard.sent.empty());
    panel.version = L"24";
    state->Fails(L"IsQuiescent");
    EXPECT_NO_THROW(Tap(kShift));
    EXPECT_TRUE(keyboard.sent.empty());
    EXPECT_EQ(automation.log.liveObjects, 0);
    EXPECT_TRUE(panel.timerRunning);
}

TEST_F(MonitorActionsTest,
       AnUnregisteredVersionRaisesOnceKeepsTheTimerAndIsCheckedAgainWhenChanged) {
    panel.version = L"99";
    Tick({kShift});
    EXPECT_TRUE(TickReportsAnAutomationError());
    EXPECT_TRUE(panel.timerRunning);
    EXPECT_EQ(monitor.FailedCadProgId(), L"Autocad.Application.99");

    // The same version: silent, and the monitor goes on.
    EXPECT_NO_THROW(Tap(kShift));
    EXPECT_TRUE(panel.timerRunning);
    desktop.windows.erase(desktop.windows.begin());
    panel.checked[OptionBox::Off] = false;
    Tick();
    EXPECT_EQ(panel.lamp, platform::kLampGrey);

    // Another version is checked afresh: a working one clears the record ...
    desktop.Add(L"AutoCAD 2025", L"AfxMDIFrame140u");
    desktop.foreground = desktop.windows.back().handle;
    panel.version = L"24";
    Tap(kShift);
    EXPECT_EQ(keyboard.sent, kF8);
    EXPECT_TRUE(monitor.FailedCadProgId().empty());
    // ... and the failing one shows its error once more.
    panel.version = L"99";
    Tick({kShift});
    EXPECT_TRUE(TickReportsAnAutomationError());
}

class ImeGuardTest : public MonitorActionsTest {
  protected:
    void SetUp() override {
        MonitorActionsTest::SetUp();
        ime.imeOf[cad] = imeWindow;
        quiescent = true;
    }
    WindowHandle imeWindow{0x9990};
};

TEST_F(ImeGuardTest, AnOpenImeOfAnIdleAutoCadIsClosedAndTheCaptionShowsTheHandle) {
    ime.openStatus[imeWindow] = 1;
    Tick();
    EXPECT_EQ(ime.requests, (std::vector<std::uintptr_t>{5, 6}));
    EXPECT_EQ(ime.openStatus[imeWindow], 0);
    EXPECT_EQ(panel.caption, monitor::ImeGuardCaption(cad));
    EXPECT_EQ(automation.log.liveObjects, 0);
}

TEST_F(ImeGuardTest, AClosedImeCostsOneLookupAndOneRequest) {
    Tick();
    EXPECT_EQ(ime.lookups, 1);
    EXPECT_EQ(ime.requests, std::vector<std::uintptr_t>{5});
    EXPECT_EQ(ServerContacts(), 0);
    EXPECT_EQ(panel.caption, L"\u25A0 MERIDO_B 1.10");
}

TEST_F(ImeGuardTest, OnlyTheLowEightBitsOfTheOpenStatusCount) {
    ime.openStatus[imeWindow] = 0x100;
    Tick();
    EXPECT_EQ(ime.requests, std::vector<std::uintptr_t>{5});
    EXPECT_EQ(panel.caption, L"\u25A0 MERIDO_B 1.10");
}

TEST_F(ImeGuardTest, ABusyAutoCadKeepsItsImeUntilItIsIdle) {
    quiescent = false;
    ime.openStatus[imeWindow] = 1;
    Tick();
    EXPECT_EQ(ime.openStatus[imeWindow], 1);
    EXPECT_EQ(panel.caption, monitor::ImeGuardCaption(cad));
    quiescent = true;
    Tick();
    EXPECT_EQ(ime.openStatus[imeWindow], 0);
}

TEST_F(ImeGuardTest, TheGuardActsWhateverWindowIsInFront) {
    desktop.foreground = other;
    ime.openStatus[imeWindow] = 1;
    Tick();
    EXPECT_EQ(ime.openStatus[imeWindow], 0);
}

TEST_F(ImeGuardTest, UntickedOrWithoutAutoCadNothingHappens) {
    ime.openStatus[imeWindow] = 1;
    panel.checked[OptionBox::Ime] = false;
    Tick();
    desktop.windows.clear();
    panel.checked[OptionBox::Ime] = true;
    panel.checked[OptionBox::Off] = false;
    Tick();
    EXPECT_EQ(ime.lookups, 0);
    EXPECT_EQ(panel.caption, L"\u25A0 MERIDO_B 1.10");
}

TEST_F(ImeGuardTest, AnUnregisteredVersionRaisesBeforeTheCaptionChanges) {
    ime.openStatus[imeWindow] = 1;
    panel.version = L"99";
    EXPECT_TRUE(TickReportsAnAutomationError());
    EXPECT_EQ(panel.caption, L"\u25A0 MERIDO_B 1.10");
    EXPECT_TRUE(panel.timerRunning);
    EXPECT_NO_THROW(Tick());
    EXPECT_EQ(ime.openStatus[imeWindow], 1);
}

TEST_F(ImeGuardTest, AFailingServerLeavesTheCaptionSetAndTheImeOpen) {
    ime.openStatus[imeWindow] = 1;
    application->Fails(L"GetAcadState");
    EXPECT_NO_THROW(Tick());
    EXPECT_EQ(panel.caption, monitor::ImeGuardCaption(cad));
    EXPECT_EQ(ime.openStatus[imeWindow], 1);
    EXPECT_EQ(automation.log.liveObjects, 0);
}

TEST_F(ImeGuardTest, NoAnswerToEitherRequestEndsTheRunSilentlyAndTheNextTickTriesAgain) {
    ime.openStatus[imeWindow] = 1;
    ime.unanswered = {platform::Ime::kGetOpenStatus};
    EXPECT_NO_THROW(Tick());
    EXPECT_EQ(ServerContacts(), 0);
    EXPECT_EQ(panel.caption, L"\u25A0 MERIDO_B 1.10");
    EXPECT_TRUE(panel.timerRunning);
    const std::vector<std::wstring> given = {
        L"MERIDO_B RunImeGuard: IMC_GETOPENSTATUS: the IME window did not answer"};
    EXPECT_EQ(trace.lines, given);

    // The open status comes, the closing request does not: nothing is retried within the tick.
    ime.unanswered = {platform::Ime::kSetOpenStatus};
    EXPECT_NO_THROW(Tick());
    EXPECT_EQ(ime.requests, (std::vector<std::uintptr_t>{5, 5, 6}));
    EXPECT_EQ(ime.openStatus[imeWindow], 1);
    EXPECT_EQ(panel.caption, monitor::ImeGuardCaption(cad));
    EXPECT_EQ(automation.log.liveObjects, 0);
    EXPECT_EQ(trace.lines, given) << "the closing request's answer is not looked at";

    ime.unanswered.clear();
    Tick();
    EXPECT_EQ(ime.openStatus[imeWindow], 0);
}

TEST(ImeGuardCaptionTest, IsUpperCaseHexadecimalOfAtLeastEightDigitsNeverCut) {
    EXPECT_EQ(monitor::ImeGuardCaption(WindowHandle{0x1234}), L"00001234");
    EXPECT_EQ(monitor::ImeGuardCaption(WindowHandle{0xABCDEF}), L"00ABCDEF");
    EXPECT_EQ(monitor::ImeGuardCaption(WindowHandle{0xFFFFFFFF}), L"FFFFFFFF");
    EXPECT_EQ(monitor::ImeGuardCaption(WindowHandle{0x123456789}), L"123456789");
    EXPECT_EQ(monitor::ImeGuardCaption(WindowHandle{0}), L"00000000");
}

}  // namespace
