#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "panel_fixture.h"

namespace {

using e2e::kGrey;
using e2e::kLime;
using test_support::CadSim;
using test_support::WaitUntil;

// A tap must be seen by the panel's 200 ms tick while the key is down and again once every key
// is up: keys are held, and then left up, for ten ticks, with room for a busy machine.
constexpr DWORD kHoldMs = 2000;

int Count(const std::vector<std::string>& lines, const std::string& line) {
    return static_cast<int>(std::count(lines.begin(), lines.end(), line));
}

// cadsim busy, in front, with its automation server under version 24, beside the panel.
class MonitorTest : public e2e::PanelFixture {
  protected:
    void SetUp() override {
        PanelFixture::SetUp();
        StartCadWithServer();
        cad->Send(L"busy");
    }

    // Starts the panel with these settings stored, and puts cadsim in front once the panel
    // sees it.
    void StartPanel(const std::string& settings = "") {
        StartPanelBesideCad(settings);
        BringCadToFront();
    }

    // Holds the keys long enough for the panel to see them, lets go, waits until cadsim has
    // seen the last release, and leaves every key up long enough for the panel to see that too.
    void HoldAndRelease(std::initializer_list<WORD> keys) {
        for (WORD key : keys) {
            e2e::PressKey(key);
        }
        ::Sleep(kHoldMs);
        for (auto it = std::rbegin(keys); it != std::rend(keys); ++it) {
            e2e::ReleaseKey(*it);
        }
        char line[32];
        std::snprintf(line, sizeof(line), "key up 0x%02X", *std::rbegin(keys));
        ASSERT_TRUE(cad->WaitForRecordLine(line, 10000)) << line;
        ::Sleep(kHoldMs);
    }

    // A Ctrl tap whose F9 arrives after whatever an earlier action would have sent: once it is
    // in the record, anything the earlier action caused is there as well.
    void TapCtrlAsABarrier() {
        HoldAndRelease({VK_CONTROL});
        ASSERT_TRUE(cad->WaitForRecordLine("key up 0x78", 10000));
    }
};

TEST_F(MonitorTest, ALoneShiftTapGivesExactlyOneF8AndALoneCtrlTapOneF9) {
    StartPanel();
    HoldAndRelease({VK_SHIFT});
    ASSERT_TRUE(cad->WaitForRecordLine("key up 0x77", 10000));
    TapCtrlAsABarrier();
    const auto lines = cad->RecordLines();
    EXPECT_EQ(Count(lines, "key down 0x77"), 1);
    EXPECT_EQ(Count(lines, "key up 0x77"), 1);
    EXPECT_EQ(Count(lines, "key down 0x78"), 1);
    EXPECT_EQ(Count(lines, "key up 0x78"), 1);
    EXPECT_TRUE(cad->WaitFor([&] { return cad->LiveObjects() == 0; }, 10000));
}

TEST_F(MonitorTest, ShiftWithALetterOrWithCtrlGivesNothing) {
    StartPanel();
    HoldAndRelease({VK_SHIFT, 'A'});
    HoldAndRelease({VK_SHIFT, VK_CONTROL});
    TapCtrlAsABarrier();
    const auto lines = cad->RecordLines();
    EXPECT_EQ(Count(lines, "key down 0x77"), 0);
    EXPECT_EQ(Count(lines, "key down 0x78"), 1);  // the barrier's own
}

TEST_F(MonitorTest, AnIdleAutoCadGetsNothing) {
    StartPanel();
    cad->Send(L"idle");
    HoldAndRelease({VK_SHIFT});
    cad->Send(L"busy");
    TapCtrlAsABarrier();
    EXPECT_EQ(Count(cad->RecordLines(), "key down 0x77"), 0);
}

TEST_F(MonitorTest, AnUntickedShiftBoxGivesNothing) {
    StartPanel("Shift=0\r\n");
    ASSERT_FALSE(Ticked(e2e::kShiftBox));
    HoldAndRelease({VK_SHIFT});
    TapCtrlAsABarrier();
    EXPECT_EQ(Count(cad->RecordLines(), "key down 0x77"), 0);
}

TEST_F(MonitorTest, TheImeGuardStaysQuietWhereNoImeIsOpen) {
    StartPanel();
    TapCtrlAsABarrier();  // several ticks have run the guard by now
    EXPECT_EQ(e2e::TextOf(panel->Window()), L"\u25A0 MERIDO_B 1.10");
}

// One chord as a person types it: the modifiers go down, the key is held for 80 ms inside a
// modifier hold of about 160 ms, and everything is let go again.
void TypeChord(const std::vector<WORD>& modifiers, WORD key) {
    e2e::Gesture chord;
    for (WORD modifier : modifiers) {
        chord.Press(modifier);
    }
    chord.Pause(40).Press(key).Pause(80).Release(key).Pause(40);
    for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it) {
        chord.Release(*it);
    }
    chord.Play();
}

struct ChordBurst {
    const char* name;
    std::vector<WORD> modifiers;
    WORD key;
};

void PrintTo(const ChordBurst& burst, std::ostream* out) { *out << burst.name; }

class ChordBurstTest : public MonitorTest, public testing::WithParamInterface<ChordBurst> {};

// Whatever phase the panel's tick has against the chords, none of them is a lone tap.
TEST_P(ChordBurstTest, FastChordsNeverSendF8OrF9) {
    StartPanel();
    const ChordBurst& burst = GetParam();
    for (int chord = 0; chord < 12; ++chord) {
        TypeChord(burst.modifiers, burst.key);
        ::Sleep(150 + 37 * (chord % 5));  // varies the phase against the 200 ms tick
    }
    char last[32];
    std::snprintf(last, sizeof(last), "key up 0x%02X", burst.modifiers.back());
    ASSERT_TRUE(cad->WaitForRecordLine(last, 10000));
    // Every key up for a run to see: a Ctrl pressed right after a Shift is no lone Ctrl.
    ::Sleep(kHoldMs);
    TapCtrlAsABarrier();
    const auto lines = cad->RecordLines();
    EXPECT_EQ(Count(lines, "key down 0x77"), 0) << burst.name;
    EXPECT_EQ(Count(lines, "key down 0x78"), 1) << burst.name;  // the barrier's own
}

INSTANTIATE_TEST_SUITE_P(Bursts, ChordBurstTest,
                         testing::Values(ChordBurst{"ShiftLetter", {VK_SHIFT}, 'A'},
                                         ChordBurst{"CtrlLetter", {VK_CONTROL}, 'Z'},
                                         ChordBurst{"ShiftPunctuation", {VK_SHIFT}, VK_OEM_COMMA},
                                         ChordBurst{"ShiftCtrl", {VK_SHIFT}, VK_CONTROL}),
                         [](const testing::TestParamInfo<ChordBurst>& burst) {
                             return std::string(burst.param.name);
                         });

// Deliberate taps: the modifier held alone (keys outside the watched set allowed), then the
// sent key awaited, so that the next tap starts after a run that saw everything up.
class DeliberateTapTest : public MonitorTest {
  protected:
    // Holds the modifier, with `inner` tapped inside the hold; true once cadsim has seen the
    // sent key's release `count` times in all.
    bool Tap(WORD modifier, DWORD holdMs, WORD sent, int count, DWORD waitMs, WORD inner = 0) {
        e2e::PressKey(modifier);
        if (inner != 0) {
            ::Sleep(100);
            e2e::TapKey(inner);
            ::Sleep(holdMs - 100);
        } else {
            ::Sleep(holdMs);
        }
        e2e::ReleaseKey(modifier);
        char line[32];
        std::snprintf(line, sizeof(line), "key up 0x%02X", sent);
        return cad->WaitFor([&] { return Count(cad->RecordLines(), line) >= count; }, waitMs);
    }

    // A machine too busy to run the panel's tick while the key is held misses a tap, as any
    // sampling would: a missed tap is tried again. A tap that can never be one fails every time.
    bool TapUntilSent(WORD modifier, DWORD holdMs, WORD sent, int count, WORD inner = 0) {
        for (int attempt = 0; attempt < 4; ++attempt) {
            if (Tap(modifier, holdMs, sent, count, 3000, inner)) {
                return true;
            }
        }
        return false;
    }
};

// No tap may ever give two keys.
TEST_F(DeliberateTapTest, EachTapHeld400MsGivesExactlyOneKey) {
    StartPanel();
    for (const auto& [modifier, sent] :
         {std::pair<WORD, WORD>{VK_SHIFT, VK_F8}, {VK_CONTROL, VK_F9}}) {
        for (int tap = 1; tap <= 3; ++tap) {
            ASSERT_TRUE(TapUntilSent(modifier, 400, sent, tap)) << std::hex << modifier;
        }
    }
    TapCtrlAsABarrier();
    const auto lines = cad->RecordLines();
    EXPECT_EQ(Count(lines, "key down 0x77"), 3);
    EXPECT_EQ(Count(lines, "key down 0x78"), 4);
}

TEST_F(DeliberateTapTest, ShiftWithTabIsATap) {
    StartPanel();
    EXPECT_TRUE(TapUntilSent(VK_SHIFT, kHoldMs, VK_F8, 1, VK_TAB));
}

// The panel's own F8 comes back to it as keyboard input; it is no other key for the next tap.
// The second Shift goes down as soon as the first F8 shows, before the panel's next runs, and
// gets no second try.
TEST_F(DeliberateTapTest, AShiftTapRightAfterAnF8IsATap) {
    StartPanel();
    ASSERT_TRUE(TapUntilSent(VK_SHIFT, kHoldMs, VK_F8, 1));
    EXPECT_TRUE(Tap(VK_SHIFT, kHoldMs, VK_F8, 2, 10000))
        << testing::PrintToString(cad->RecordLines());
}

// After an upgrade the stored version may name no installed server: the first tap shows its
// error once, and the monitor goes on.
TEST_F(MonitorTest, AnUnregisteredVersionShowsOneBoxAndTheMonitorGoesOn) {
    StartPanel("OFF=0\r\nApiVerNum=99\r\n");
    HoldAndRelease({VK_SHIFT});

    HWND box = e2e::WaitForBox();
    ASSERT_NE(box, nullptr);
    // A second tap while the box is up shows no second box.
    BringCadToFront();
    HoldAndRelease({VK_SHIFT});
    EXPECT_EQ(::FindWindowExW(nullptr, box, L"TMessageForm", nullptr), nullptr);
    e2e::AnswerBox(box);

    // The lamp still follows cadsim's window.
    cad->Send(L"close-window");
    EXPECT_TRUE(WaitUntil([&] { return LampPixel() == kGrey; }, 10000));
    cad->Send(L"show-window");
    EXPECT_TRUE(WaitUntil([&] { return LampPixel() == kLime; }, 10000));
    EXPECT_EQ(::FindWindowW(L"TMessageForm", nullptr), nullptr);
}

// A busy AutoCAD refuses the tap's state check for 150 ms: the check is made again within the
// tick's budget and the F8 still comes. A tap that a starved tick missed never reached the
// refusal and is tried again; one that met the refusal must have given its key.
TEST_F(DeliberateTapTest, AShiftTapWhoseStateCheckMeetsARefusalStillSendsF8) {
    StartPanel();
    bool sent = false;
    for (int attempt = 0; attempt < 4 && !sent; ++attempt) {
        const LRESULT refusedBefore = cad->Send(L"refused-calls");
        ASSERT_EQ(cad->Send(L"refuse-calls 150"), 1);
        sent = Tap(VK_SHIFT, 400, VK_F8, 1, 3000);
        const bool refused = cad->Send(L"refused-calls") > refusedBefore;
        ASSERT_EQ(sent, refused) << "attempt " << attempt << ": a tap that met the refusal "
                                 << "must give F8, and an F8 must have met it";
    }
    EXPECT_TRUE(sent);
}

// Refused past the tick's 200 ms: no key and no box; the next tap, once AutoCAD answers again,
// gives its key.
TEST_F(MonitorTest, ARefusalLongerThanTheTicksBudgetGivesNoKeyAndTheMonitorGoesOn) {
    StartPanel();
    ASSERT_EQ(cad->Send(L"refuse-calls 1500"), 1);
    HoldAndRelease({VK_SHIFT});
    ASSERT_TRUE(WaitUntil([&] { return cad->Send(L"refused-calls") > 0; }, 10000));
    ::Sleep(1500);  // the refusal runs out
    TapCtrlAsABarrier();
    const auto lines = cad->RecordLines();
    EXPECT_EQ(Count(lines, "key down 0x77"), 0);
    EXPECT_EQ(Count(lines, "key down 0x78"), 1);
    EXPECT_EQ(::FindWindowW(L"TMessageForm", nullptr), nullptr);
}

}  // namespace
