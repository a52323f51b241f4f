#include <gtest/gtest.h>

#include <set>

#include "fakes/fake_input.h"
#include "monitor/modifier_latches.h"

namespace {

using monitor::KeySample;
using monitor::LatchStep;
using monitor::ModifierLatches;
using monitor::ModifierTap;

// The rules restated as their three cases: another key down (A), only modifiers down (B),
// nothing down (C), with the outcome of C given by the state before the run.
LatchStep ByTheCaseTables(ModifierLatches before, KeySample sample) {
    if (sample.OtherKeyDown) {
        return {{sample.ShiftDown, sample.CtrlDown, true}, ModifierTap::NoTap};
    }
    if (sample.ShiftDown || sample.CtrlDown) {
        return {{before.ShiftLatch || sample.ShiftDown, before.CtrlLatch || sample.CtrlDown,
                 before.OtherKeyLatch},
                ModifierTap::NoTap};
    }
    ModifierTap tap = ModifierTap::NoTap;
    if (!before.OtherKeyLatch && before.ShiftLatch != before.CtrlLatch) {
        tap = before.ShiftLatch ? ModifierTap::ShiftTap : ModifierTap::CtrlTap;
    }
    return {{false, false, false}, tap};
}

TEST(StepModifierLatchesTest, FollowsTheCaseTablesForEveryStateAndEverySample) {
    int combinations = 0;
    for (int state = 0; state < 8; ++state) {
        for (int keys = 0; keys < 8; ++keys) {
            const ModifierLatches before{(state & 1) != 0, (state & 2) != 0, (state & 4) != 0};
            const KeySample sample{(keys & 1) != 0, (keys & 2) != 0, (keys & 4) != 0};
            const LatchStep expected = ByTheCaseTables(before, sample);
            const LatchStep actual = monitor::StepModifierLatches(before, sample);
            EXPECT_EQ(actual.latches, expected.latches) << "state " << state << " keys " << keys;
            EXPECT_EQ(actual.tap, expected.tap) << "state " << state << " keys " << keys;
            ++combinations;
        }
    }
    EXPECT_EQ(combinations, 64);
}

TEST(StepModifierLatchesTest, ATapComesOnlyFromExactlyOneModifierWithNothingElseSeen) {
    const KeySample nothing{};
    EXPECT_EQ(monitor::StepModifierLatches({true, false, false}, nothing).tap,
              ModifierTap::ShiftTap);
    EXPECT_EQ(monitor::StepModifierLatches({false, true, false}, nothing).tap,
              ModifierTap::CtrlTap);
    EXPECT_EQ(monitor::StepModifierLatches({true, true, false}, nothing).tap, ModifierTap::NoTap);
    EXPECT_EQ(monitor::StepModifierLatches({true, false, true}, nothing).tap, ModifierTap::NoTap);
}

class SampleModifierKeysTest : public testing::Test {
  protected:
    fakes::FakeKeyboard keyboard;
};

TEST_F(SampleModifierKeysTest, NothingDownReadsTheWholeSetAndTheTwoModifiers) {
    const KeySample sample = monitor::SampleModifierKeys(keyboard);
    EXPECT_FALSE(sample.OtherKeyDown);
    EXPECT_FALSE(sample.ShiftDown);
    EXPECT_FALSE(sample.CtrlDown);
    EXPECT_EQ(keyboard.reads, 156);
}

TEST_F(SampleModifierKeysTest, StopsAtTheFirstKeyDown) {
    keyboard.down = {0x41, 0x10};
    const KeySample sample = monitor::SampleModifierKeys(keyboard);
    EXPECT_TRUE(sample.OtherKeyDown);
    EXPECT_TRUE(sample.ShiftDown);
    EXPECT_EQ(keyboard.reads, (0x41 - 0x20 + 1) + 2);
}

TEST_F(SampleModifierKeysTest, KeysInTheScannedSetCountAsOtherKeys) {
    for (int key : {0x20, 0x25, 0x30, 0x5B, 0x70, 0x90, 0x9F, 0xA7, 0xBA, 0xC0}) {
        keyboard.down = {key};
        EXPECT_TRUE(monitor::SampleModifierKeys(keyboard).OtherKeyDown) << std::hex << key;
    }
}

TEST_F(SampleModifierKeysTest, KeysOutsideTheSetAndToggleStatesDoNotCount) {
    for (int key : {0x01, 0x02, 0x08, 0x09, 0x0D, 0x12, 0x14, 0x1B, 0xA0, 0xA1, 0xA2, 0xA3, 0xA4,
                    0xA5, 0xA6, 0xC1, 0xDB, 0xE5}) {
        keyboard.down = {key};
        EXPECT_FALSE(monitor::SampleModifierKeys(keyboard).OtherKeyDown) << std::hex << key;
    }
    keyboard.down.clear();
    keyboard.toggled = {0x90, 0x91, 0x14};  // Num Lock, Scroll Lock, Caps Lock switched on
    EXPECT_FALSE(monitor::SampleModifierKeys(keyboard).OtherKeyDown);
}

TEST_F(SampleModifierKeysTest, ShiftAndCtrlAreReadFromTheirGenericCodes) {
    keyboard.down = {0x11};
    KeySample sample = monitor::SampleModifierKeys(keyboard);
    EXPECT_TRUE(sample.CtrlDown);
    EXPECT_FALSE(sample.ShiftDown);
    keyboard.down = {0xA0, 0x10};  // the left Shift shows as both; only 0x10 is looked at
    sample = monitor::SampleModifierKeys(keyboard);
    EXPECT_TRUE(sample.ShiftDown);
    EXPECT_FALSE(sample.OtherKeyDown);
}

}  // namespace
