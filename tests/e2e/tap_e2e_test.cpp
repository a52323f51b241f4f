#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "panel_fixture.h"

// Lone-modifier taps as an operator makes them, through the X server's keyboard and mouse,
// beside a busy cadsim in front: what spoils a tap, and taps however quick.
namespace {

using e2e::Gesture;
using e2e::MouseButton;
using test_support::WaitUntil;

// Every key up for more than two ticks: the panel has seen the end of one gesture before the
// next begins.
constexpr DWORD kQuietMs = 500;
// How long a tap's key may take to reach cadsim: a tick, the busy check and a busy machine.
constexpr DWORD kSentLimitMs = 3000;

std::string KeyLine(const char* what, WORD key) {
    char line[32];
    std::snprintf(line, sizeof(line), "key %s 0x%02X", what, key);
    return line;
}

WORD SentKeyOf(WORD modifier) { return modifier == VK_SHIFT ? VK_F8 : VK_F9; }
WORD OtherModifier(WORD modifier) { return modifier == VK_SHIFT ? VK_CONTROL : VK_SHIFT; }

class TapTest : public e2e::PanelFixture {
  protected:
    void SetUp() override {
        PanelFixture::SetUp();
        StartCadWithServer();
        cad->Send(L"busy");
        StartPanelBesideCad();
        BringCadToFront();
    }

    int Count(const std::string& line) const {
        const auto lines = cad->RecordLines();
        return static_cast<int>(std::count(lines.begin(), lines.end(), line));
    }

    int Sent(WORD key) const { return Count(KeyLine("down", key)); }

    // Waits until cadsim has seen the modifier's release `times` times in all.
    bool WaitForReleases(WORD modifier, int times) {
        const std::string line = KeyLine("up", modifier);
        return cad->WaitFor([&] { return Count(line) >= times; }, 10000);
    }

    // A long lone tap of the modifier, and its key awaited: once it is in the record, whatever
    // the gestures before it caused is there as well.
    void TapAsABarrier(WORD modifier) {
        const int before = Count(KeyLine("up", SentKeyOf(modifier)));
        ::Sleep(kQuietMs);
        e2e::HoldKey(modifier, 1000);
        ASSERT_TRUE(
            cad->WaitFor([&] { return Count(KeyLine("up", SentKeyOf(modifier))) > before; }, 10000))
            << testing::PrintToString(cad->RecordLines());
    }

    // A lone tap held holdMs; true once its key has come.
    bool TapAndWait(WORD modifier, DWORD holdMs) {
        const std::string line = KeyLine("up", SentKeyOf(modifier));
        const int before = Count(line);
        e2e::HoldKey(modifier, holdMs);
        return cad->WaitFor([&] { return Count(line) > before; }, kSentLimitMs);
    }

    POINT InCad() const { return e2e::CentreOf(cad->MainWindow()); }
};

// What the operator does with a modifier held, during a command.
enum class Spoiler {
    kShiftCharacter,      // Shift held, a key 0xDB to 0xDE typed: { | } "
    kShiftClick,          // removes objects from a selection
    kShiftRightClick,     // opens the object-snap menu
    kCtrlClick,           // picks a sub-object
    kShiftClickInOneTick  // all of it in less than a tick
};

struct SpoiledTap {
    const char* name;
    Spoiler spoiler;
    WORD modifier;
    int times;
};

void PrintTo(const SpoiledTap& tap, std::ostream* out) { *out << tap.name; }

// The modifier held long enough for a run to see it alone, then the key or the click inside
// the hold, as a person types `{` or Shift+clicks; the short form fits in one tick.
Gesture SpoilerGesture(Spoiler spoiler, WORD modifier, int index) {
    Gesture gesture;
    if (spoiler == Spoiler::kShiftClickInOneTick) {
        return gesture.Press(modifier)
            .Pause(30)
            .PressButton(MouseButton::kLeft)
            .Pause(40)
            .ReleaseButton(MouseButton::kLeft)
            .Pause(30)
            .Release(modifier);
    }
    gesture.Press(modifier).Pause(300);
    if (spoiler == Spoiler::kShiftCharacter) {
        const auto key = static_cast<WORD>(VK_OEM_4 + index % 4);
        gesture.Press(key).Pause(80).Release(key);
    } else {
        const MouseButton button =
            spoiler == Spoiler::kShiftRightClick ? MouseButton::kRight : MouseButton::kLeft;
        gesture.PressButton(button).Pause(80).ReleaseButton(button);
    }
    return gesture.Pause(100).Release(modifier);
}

class SpoiledTapTest : public TapTest, public testing::WithParamInterface<SpoiledTap> {};

TEST_P(SpoiledTapTest, NeverSendsF8OrF9) {
    const SpoiledTap& tap = GetParam();
    e2e::MoveTo(InCad());
    for (int index = 0; index < tap.times; ++index) {
        ::Sleep(kQuietMs);
        SpoilerGesture(tap.spoiler, tap.modifier, index).Play();
        ASSERT_TRUE(WaitForReleases(tap.modifier, index + 1)) << index;
    }
    if (tap.spoiler == Spoiler::kShiftCharacter) {
        ASSERT_EQ(Count(KeyLine("down", VK_OEM_4)) + Count(KeyLine("down", VK_OEM_5)) +
                      Count(KeyLine("down", VK_OEM_6)) + Count(KeyLine("down", VK_OEM_7)),
                  tap.times);  // cadsim got every character
    }
    const WORD barrier = OtherModifier(tap.modifier);
    TapAsABarrier(barrier);
    EXPECT_EQ(Sent(SentKeyOf(tap.modifier)), 0) << tap.name;
    EXPECT_EQ(Sent(SentKeyOf(barrier)), 1) << tap.name;  // the barrier's own
}

INSTANTIATE_TEST_SUITE_P(
    Operator, SpoiledTapTest,
    testing::Values(SpoiledTap{"ShiftCharacters", Spoiler::kShiftCharacter, VK_SHIFT, 12},
                    SpoiledTap{"ShiftClick", Spoiler::kShiftClick, VK_SHIFT, 5},
                    SpoiledTap{"ShiftRightClick", Spoiler::kShiftRightClick, VK_SHIFT, 5},
                    SpoiledTap{"CtrlClick", Spoiler::kCtrlClick, VK_CONTROL, 5},
                    SpoiledTap{"ShiftClickInOneTick", Spoiler::kShiftClickInOneTick, VK_SHIFT, 5}),
    [](const testing::TestParamInfo<SpoiledTap>& tap) { return std::string(tap.param.name); });

struct QuickTaps {
    const char* name;
    WORD modifier;
    DWORD holdMs;
    int times;
};

void PrintTo(const QuickTaps& taps, std::ostream* out) { *out << taps.name; }

class QuickTapTest : public TapTest, public testing::WithParamInterface<QuickTaps> {};

// Each tap's key is awaited before the next tap; a tap whose key does not come is counted as
// lost and the next one follows.
TEST_P(QuickTapTest, EveryLoneTapSendsItsKey) {
    const QuickTaps& taps = GetParam();
    int answered = 0;
    std::vector<int> lost;
    for (int tap = 0; tap < taps.times; ++tap) {
        if (TapAndWait(taps.modifier, taps.holdMs)) {
            ++answered;
        } else {
            lost.push_back(tap);
        }
    }
    EXPECT_EQ(answered, taps.times) << taps.name << ": lost " << testing::PrintToString(lost);
    const WORD barrier = OtherModifier(taps.modifier);
    TapAsABarrier(barrier);
    EXPECT_EQ(Sent(SentKeyOf(taps.modifier)), answered) << "one key per tap";
}

INSTANTIATE_TEST_SUITE_P(Operator, QuickTapTest,
                         testing::Values(QuickTaps{"Shift60Ms", VK_SHIFT, 60, 20},
                                         QuickTaps{"Shift80Ms", VK_SHIFT, 80, 20},
                                         QuickTaps{"Shift100Ms", VK_SHIFT, 100, 20},
                                         QuickTaps{"Ctrl80Ms", VK_CONTROL, 80, 10}),
                         [](const testing::TestParamInfo<QuickTaps>& taps) {
                             return std::string(taps.param.name);
                         });

class TapsElsewhereTest : public TapTest, public testing::WithParamInterface<WORD> {};

// Quick taps made while the panel is in front belong to the panel: none of them reaches
// AutoCAD once it is in front again.
TEST_P(TapsElsewhereTest, QuickTapsOnThePanelSendNothingOnceCadIsBack) {
    const WORD modifier = GetParam();
    ActivatePanel();
    for (int tap = 0; tap < 5; ++tap) {
        e2e::HoldKey(modifier, 60);
        ::Sleep(150);
    }
    BringCadToFront();
    const WORD barrier = OtherModifier(modifier);
    TapAsABarrier(barrier);
    EXPECT_EQ(Sent(SentKeyOf(modifier)), 0);
    EXPECT_EQ(Sent(SentKeyOf(barrier)), 1);
}

INSTANTIATE_TEST_SUITE_P(Operator, TapsElsewhereTest, testing::Values(VK_SHIFT, VK_CONTROL),
                         [](const testing::TestParamInfo<WORD>& modifier) {
                             return std::string(modifier.param == VK_SHIFT ? "Shift" : "Ctrl");
                         });

}  // namespace
