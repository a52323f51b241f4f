#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "fakes/fake_input.h"
#include "monitor/key_record.h"
#include "monitor/modifier_latches.h"

namespace {

constexpr int kShift = 0x10;    // VK_SHIFT
constexpr int kControl = 0x11;  // VK_CONTROL
constexpr int kLeftShift = 0xA0;

// Keys of the scanned set, from both ends of each of its ranges, and keys outside it: mouse
// buttons, Backspace, Tab, Enter, Alt, Pause, Caps Lock, the IME keys, Esc, the gap, the codes
// between and above the ranges.
constexpr int kScannedKeys[] = {0x20, 0x25, 0x30, 0x5B, 0x70, 0x77, 0x90, 0x9F, 0xA7, 0xBA,
                                0xC0, 0xC1, 0xC2, 0xDB, 0xDC, 0xDE, 0xDF, 0xE1, 0xE2, 0xE4};
constexpr int kUnscannedKeys[] = {0x01, 0x02, 0x05, 0x08, 0x09, 0x0D, 0x12, 0x13, 0x14, 0x15,
                                  0x19, 0x1B, 0x1F, 0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6,
                                  0xC3, 0xDA, 0xE0, 0xE5, 0xE6, 0xF0, 0xF6, 0xFE};

using monitor::KeyPresses;
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
    for (int state = 0; state < 8; ++state) {
        for (int keys = 0; keys < 8; ++keys) {
            const ModifierLatches before{(state & 1) != 0, (state & 2) != 0, (state & 4) != 0};
            const KeySample sample{(keys & 1) != 0, (keys & 2) != 0, (keys & 4) != 0};
            const LatchStep expected = ByTheCaseTables(before, sample);
            const LatchStep actual = monitor::StepModifierLatches(before, sample);
            EXPECT_EQ(actual.latches, expected.latches) << "state " << state << " keys " << keys;
            EXPECT_EQ(actual.tap, expected.tap) << "state " << state << " keys " << keys;
        }
    }
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
    EXPECT_EQ(keyboard.reads, 167);
}

TEST_F(SampleModifierKeysTest, TheSetHas165CodesAndTheScanReadsEachOnce) {
    int codes = 0;
    for (int key = 0; key <= 0xFF; ++key) {
        codes += monitor::IsScannedKey(key) ? 1 : 0;
    }
    EXPECT_EQ(codes, 165);
    keyboard.down = {0xE4};  // the last code of the set: every other one read first
    EXPECT_TRUE(monitor::SampleModifierKeys(keyboard).OtherKeyDown);
    EXPECT_EQ(keyboard.reads, 165 + 2);
}

TEST_F(SampleModifierKeysTest, StopsAtTheFirstKeyDown) {
    keyboard.down = {'A', kShift};
    const KeySample sample = monitor::SampleModifierKeys(keyboard);
    EXPECT_TRUE(sample.OtherKeyDown);
    EXPECT_TRUE(sample.ShiftDown);
    EXPECT_EQ(keyboard.reads, ('A' - 0x20 + 1) + 2);
}

TEST_F(SampleModifierKeysTest, KeysInTheScannedSetCountAsOtherKeys) {
    for (int key : kScannedKeys) {
        keyboard.down = {key};
        EXPECT_TRUE(monitor::SampleModifierKeys(keyboard).OtherKeyDown) << std::hex << key;
    }
}

TEST_F(SampleModifierKeysTest, KeysOutsideTheSetAndToggleStatesDoNotCount) {
    for (int key : kUnscannedKeys) {
        keyboard.down = {key};
        EXPECT_FALSE(monitor::SampleModifierKeys(keyboard).OtherKeyDown) << std::hex << key;
    }
    keyboard.down.clear();
    keyboard.toggled = {0x90, 0x91, 0x14};  // Num Lock, Scroll Lock, Caps Lock switched on
    EXPECT_FALSE(monitor::SampleModifierKeys(keyboard).OtherKeyDown);
}

TEST_F(SampleModifierKeysTest, ShiftAndCtrlAreReadFromTheirGenericCodes) {
    keyboard.down = {kControl};
    KeySample sample = monitor::SampleModifierKeys(keyboard);
    EXPECT_TRUE(sample.CtrlDown);
    EXPECT_FALSE(sample.ShiftDown);
    keyboard.down = {kLeftShift, kShift};  // the left Shift shows as both; only kShift counts
    sample = monitor::SampleModifierKeys(keyboard);
    EXPECT_TRUE(sample.ShiftDown);
    EXPECT_FALSE(sample.OtherKeyDown);
}

// The presses since the last run, judged by what a user means: a tap is due for a modifier seen
// by a sample when the other modifier was neither seen nor pressed and no other key was seen or
// pressed; it comes in the first run that sees nothing down. A modifier tapped between two runs
// counts as seen; a press alone never makes a tap.
ModifierTap DueTap(ModifierLatches before, KeySample sample, KeyPresses presses) {
    const bool shiftSeen = before.ShiftLatch || sample.ShiftDown || presses.ShiftTapped;
    const bool ctrlSeen = before.CtrlLatch || sample.CtrlDown || presses.CtrlTapped;
    const bool other = before.OtherKeyLatch || sample.OtherKeyDown || presses.OtherKeyPressed;
    if (other) {
        return ModifierTap::NoTap;
    }
    if (shiftSeen && !ctrlSeen && !presses.CtrlPressed) {
        return ModifierTap::ShiftTap;
    }
    if (ctrlSeen && !shiftSeen && !presses.ShiftPressed) {
        return ModifierTap::CtrlTap;
    }
    return ModifierTap::NoTap;
}

TEST(StepModifierLatchesWithPressesTest, GivesTheDueTapForEveryStateSampleAndPresses) {
    for (int state = 0; state < 8; ++state) {
        for (int keys = 0; keys < 8; ++keys) {
            for (int pressed = 0; pressed < 32; ++pressed) {
                const ModifierLatches before{(state & 1) != 0, (state & 2) != 0, (state & 4) != 0};
                const KeySample sample{(keys & 1) != 0, (keys & 2) != 0, (keys & 4) != 0};
                const KeyPresses presses{(pressed & 1) != 0, (pressed & 2) != 0, (pressed & 4) != 0,
                                         (pressed & 8) != 0, (pressed & 16) != 0};
                const bool nothingDown = keys == 0;
                const ModifierTap due = DueTap(before, sample, presses);

                const LatchStep step = monitor::StepModifierLatches(before, sample, presses);
                // Still held: the tap comes once everything is up, with nothing pressed meanwhile.
                const LatchStep later = monitor::StepModifierLatches(step.latches, {}, {});
                EXPECT_EQ(step.tap, nothingDown ? due : ModifierTap::NoTap)
                    << "state " << state << " keys " << keys << " pressed " << pressed;
                EXPECT_EQ(later.tap, nothingDown ? ModifierTap::NoTap : due)
                    << "state " << state << " keys " << keys << " pressed " << pressed;
                if (nothingDown) {
                    EXPECT_EQ(step.latches, ModifierLatches{});
                }
                if (pressed == 0) {
                    EXPECT_EQ(step.latches, monitor::StepModifierLatches(before, sample).latches);
                }
            }
        }
    }
}

// Runs of the detector in turn: what the sample saw and what went down since the run before.
struct DetectorRun {
    KeySample sample;
    KeyPresses presses;
};

struct TapCase {
    const char* what;
    std::vector<DetectorRun> runs;
    std::vector<ModifierTap> taps;  // one per run
};

constexpr KeySample kNothingDown{};
constexpr KeySample kShiftDown{false, true, false};
constexpr KeySample kCtrlDown{true, false, false};
constexpr KeyPresses kNonePressed{};
constexpr KeyPresses kShiftPressed{false, false, true};
constexpr KeyPresses kCtrlPressed{false, true, false};
constexpr KeyPresses kOtherPressed{true, false, false};
constexpr KeyPresses kShiftTapped{false, false, true, false, true};
constexpr KeyPresses kCtrlTapped{false, true, false, true, false};
constexpr DetectorRun kAllUp{kNothingDown, kNonePressed};
constexpr ModifierTap kNo = ModifierTap::NoTap;
constexpr ModifierTap kShiftTap = ModifierTap::ShiftTap;
constexpr ModifierTap kCtrlTap = ModifierTap::CtrlTap;

TEST(StepModifierLatchesWithPressesTest, UsersGetWhatTheyMean) {
    const TapCase cases[] = {
        {"Shift seen, then released alone",
         {{kShiftDown, kShiftPressed}, kAllUp},
         {kNo, kShiftTap}},
        {"Ctrl seen, then released alone", {{kCtrlDown, kCtrlPressed}, kAllUp}, {kNo, kCtrlTap}},
        {"Shift held over several runs",
         {{kShiftDown, kShiftPressed}, {kShiftDown, kNonePressed}, kAllUp},
         {kNo, kNo, kShiftTap}},
        {"a capital typed between two samples of Shift",
         {{kShiftDown, kShiftPressed}, {kShiftDown, kOtherPressed}, kAllUp},
         {kNo, kNo, kNo}},
        {"a capital typed before the only sample of Shift",
         {{kShiftDown, {true, false, true}}, kAllUp},
         {kNo, kNo}},
        {"a letter released after the last sample of Shift",
         {{kShiftDown, kNonePressed}, {kNothingDown, kOtherPressed}},
         {kNo, kNo}},
        {"Ctrl+Z with Z between samples",
         {{kCtrlDown, kCtrlPressed}, {kNothingDown, kOtherPressed}},
         {kNo, kNo}},
        {"Ctrl tapped unseen while Shift was held",
         {{kShiftDown, kNonePressed}, {kShiftDown, kCtrlPressed}, kAllUp},
         {kNo, kNo, kNo}},
        {"Shift tapped unseen, then Ctrl held", {{kCtrlDown, kShiftPressed}, kAllUp}, {kNo, kNo}},
        {"Shift seen, released, Ctrl tapped unseen",
         {{kShiftDown, kNonePressed}, {kNothingDown, kCtrlPressed}},
         {kNo, kNo}},
        {"Shift and Ctrl both too quick", {{kNothingDown, {false, true, true}}}, {kNo}},
        {"a Shift press alone, its release unseen",
         {{kNothingDown, kShiftPressed}, kAllUp},
         {kNo, kNo}},
        {"a Ctrl press alone, its release unseen", {{kNothingDown, kCtrlPressed}}, {kNo}},
        {"a lone Shift too quick for any sample", {{kNothingDown, kShiftTapped}}, {kShiftTap}},
        {"a lone Ctrl too quick for any sample", {{kNothingDown, kCtrlTapped}}, {kCtrlTap}},
        {"a quick Shift tap, then Shift held",
         {{kShiftDown, {false, false, true, false, true}}, kAllUp},
         {kNo, kShiftTap}},
        {"a quick Shift tap with a quick letter",
         {{kNothingDown, {true, false, true, false, true}}},
         {kNo}},
        {"a quick Shift tap with a quick Ctrl tap",
         {{kNothingDown, {false, true, true, true, true}}},
         {kNo}},
        {"a quick Shift tap while Ctrl is held", {{kCtrlDown, kShiftTapped}, kAllUp}, {kNo, kNo}},
        {"Ctrl seen, released, Shift tapped quickly",
         {{kCtrlDown, kNonePressed}, {kNothingDown, kShiftTapped}},
         {kNo, kNo}},
        {"Ctrl tap, then Shift tap",
         {{kCtrlDown, kNonePressed}, kAllUp, {kShiftDown, kShiftPressed}, kAllUp},
         {kNo, kCtrlTap, kNo, kShiftTap}},
        {"typing, then everything up, then a Shift tap",
         {{kNothingDown, kOtherPressed}, {kShiftDown, kShiftPressed}, kAllUp},
         {kNo, kNo, kShiftTap}},
    };
    for (const TapCase& tapCase : cases) {
        ModifierLatches latches;
        std::vector<ModifierTap> taps;
        for (const DetectorRun& run : tapCase.runs) {
            const LatchStep step = monitor::StepModifierLatches(latches, run.sample, run.presses);
            latches = step.latches;
            taps.push_back(step.tap);
        }
        EXPECT_EQ(taps, tapCase.taps) << tapCase.what;
    }
}

TEST(AddKeyPressTest, RecordsShiftCtrlAndTheScannedSetOnly) {
    EXPECT_EQ(monitor::AddKeyPress({}, kShift), kShiftPressed);
    EXPECT_EQ(monitor::AddKeyPress({}, kControl), kCtrlPressed);
    for (int key : kScannedKeys) {
        EXPECT_EQ(monitor::AddKeyPress({}, key), kOtherPressed) << std::hex << key;
    }
    for (int key : kUnscannedKeys) {
        EXPECT_EQ(monitor::AddKeyPress({}, key), kNonePressed) << std::hex << key;
    }
    // Presses add up; none is forgotten.
    EXPECT_EQ(monitor::AddKeyPress(monitor::AddKeyPress(kOtherPressed, kShift), kControl),
              (KeyPresses{true, true, true}));
}

// The raw input events between two runs, with whether AutoCAD was in front at each.
struct RecordedEvent {
    platform::RawInputEvent event;
    bool cadInFront = true;
};

using Kind = platform::RawInputEvent::Kind;
const RecordedEvent kShiftDownEvent{{Kind::KeyDown, kShift, true}};
const RecordedEvent kShiftUpEvent{{Kind::KeyUp, kShift, true}};
const RecordedEvent kInjectedShiftDown{{Kind::KeyDown, kShift, false}};
const RecordedEvent kInjectedShiftUp{{Kind::KeyUp, kShift, false}};
const RecordedEvent kShiftDownElsewhere{{Kind::KeyDown, kShift, true}, false};
const RecordedEvent kCtrlDownEvent{{Kind::KeyDown, kControl, true}};
const RecordedEvent kCtrlUpEvent{{Kind::KeyUp, kControl, true}};
const RecordedEvent kLetterDown{{Kind::KeyDown, 'A', true}};
const RecordedEvent kLetterUp{{Kind::KeyUp, 'A', true}};
const RecordedEvent kClick{{Kind::MouseButtonDown, 0, true}};
const RecordedEvent kWheel{{Kind::Wheel, 0, true}};
const RecordedEvent kAlphabet[] = {
    kShiftDownEvent, kShiftUpEvent, kInjectedShiftDown, kInjectedShiftUp, kShiftDownElsewhere,
    kCtrlDownEvent,  kCtrlUpEvent,  kLetterDown,        kLetterUp,        kClick,
    kWheel};

// The run after the events, in user terms, with everything as they left it held: a lone tap of
// Shift (or Ctrl) is due when the keyboard itself pressed it with AutoCAD in front and released
// it, and nothing else went down meanwhile: no other key, not the other modifier, no click or
// wheel while a modifier was down. It comes only when nothing is held at the run.
struct UserView {
    KeySample heldAtTheRun;
    ModifierTap due = ModifierTap::NoTap;
};

UserView JudgeAsAUser(const std::vector<RecordedEvent>& events) {
    bool shift = false, ctrl = false, letter = false, spoiled = false;
    bool shiftPhysical = false, ctrlPhysical = false, shiftTapped = false, ctrlTapped = false;
    bool shiftPressed = false, ctrlPressed = false;
    for (const RecordedEvent& recorded : events) {
        const auto& event = recorded.event;
        const bool down = event.kind == Kind::KeyDown;
        if (event.kind == Kind::MouseButtonDown || event.kind == Kind::Wheel) {
            spoiled = spoiled || shift || ctrl;
        } else if (event.virtualKey == 'A') {
            spoiled = spoiled || down;
            letter = down;
        } else {
            bool& held = event.virtualKey == kShift ? shift : ctrl;
            bool& physical = event.virtualKey == kShift ? shiftPhysical : ctrlPhysical;
            bool& tapped = event.virtualKey == kShift ? shiftTapped : ctrlTapped;
            (event.virtualKey == kShift ? shiftPressed : ctrlPressed) |= down;
            if (down && !held) {
                physical = event.fromDevice && recorded.cadInFront;
            }
            tapped = tapped || (!down && held && physical && event.fromDevice);
            physical = physical && down;
            held = down;
        }
    }
    UserView view{KeySample{ctrl, shift, letter}};
    if (!shift && !ctrl && !letter && !spoiled) {
        if (shiftTapped && !ctrlPressed) {
            view.due = ModifierTap::ShiftTap;
        } else if (ctrlTapped && !shiftPressed) {
            view.due = ModifierTap::CtrlTap;
        }
    }
    return view;
}

LatchStep RunAfter(const std::vector<RecordedEvent>& events, KeySample sample) {
    monitor::KeyRecord record;
    for (const RecordedEvent& recorded : events) {
        record = monitor::RecordRawInput(record, recorded.event, recorded.cadInFront);
    }
    return monitor::StepModifierLatches({}, sample, monitor::TakeKeyPresses(record, sample).first);
}

TEST(KeyRecordTest, EverySequenceOfUpToFourEventsGivesTheTapAUserMeans) {
    std::vector<std::vector<RecordedEvent>> sequences{{}};
    for (std::size_t length = 0; length < 4; ++length) {
        const std::size_t known = sequences.size();
        for (std::size_t index = 0; index < known; ++index) {
            if (sequences[index].size() != length) {
                continue;
            }
            for (const RecordedEvent& next : kAlphabet) {
                sequences.push_back(sequences[index]);
                sequences.back().push_back(next);
            }
        }
    }
    ASSERT_EQ(sequences.size(), 1u + 11u + 121u + 1331u + 14641u);
    int taps = 0;
    for (const auto& events : sequences) {
        const UserView view = JudgeAsAUser(events);
        const LatchStep step = RunAfter(events, view.heldAtTheRun);
        std::string what;
        for (const RecordedEvent& recorded : events) {
            what += std::to_string(static_cast<int>(recorded.event.kind)) + ":" +
                    std::to_string(recorded.event.virtualKey) +
                    (recorded.event.fromDevice ? "" : "i") + (recorded.cadInFront ? "" : "e") + " ";
        }
        ASSERT_EQ(step.tap, view.due) << what;
        taps += step.tap != ModifierTap::NoTap ? 1 : 0;
    }
    EXPECT_GT(taps, 0);
}

TEST(KeyRecordTest, AKeyHeldAcrossTheRunIsNoQuickTapButTheSampleCarriesIt) {
    monitor::KeyRecord record;
    record = monitor::RecordRawInput(record, kShiftDownEvent.event, true);
    EXPECT_TRUE(monitor::WantsMouseInput(record));
    const auto [presses, afterRun] = monitor::TakeKeyPresses(record, kShiftDown);
    EXPECT_EQ(presses, kShiftPressed);
    EXPECT_TRUE(monitor::WantsMouseInput(afterRun));
    const monitor::KeyRecord released =
        monitor::RecordRawInput(afterRun, kShiftUpEvent.event, true);
    EXPECT_EQ(released.presses, kNonePressed);
    EXPECT_FALSE(monitor::WantsMouseInput(released));
    // The auto-repeat of a held Shift is no fresh press either.
    record = monitor::RecordRawInput(afterRun, kShiftDownEvent.event, true);
    record = monitor::RecordRawInput(record, kShiftUpEvent.event, true);
    EXPECT_FALSE(record.presses.ShiftTapped);
}

TEST(KeyRecordTest, TheRunTakesTheModifiersFromItsSample) {
    const monitor::KeyRecord record =
        monitor::RecordRawInput({}, kCtrlDownEvent.event, true);  // its release was lost
    EXPECT_FALSE(monitor::WantsMouseInput(monitor::TakeKeyPresses(record, kNothingDown).second));
    EXPECT_TRUE(monitor::WantsMouseInput(monitor::TakeKeyPresses({}, kCtrlDown).second));
    EXPECT_EQ(monitor::TakeKeyPresses(record, kNothingDown).second.presses, kNonePressed);
}

TEST(KeyRecordTest, ForgettingDropsTheQuickTapsButKeepsWhatSpoilsATap) {
    monitor::KeyRecord record;
    for (const RecordedEvent& recorded :
         {kLetterDown, kLetterUp, kShiftDownEvent, kShiftUpEvent, kCtrlDownEvent}) {
        record = monitor::RecordRawInput(record, recorded.event, true);
    }
    record = monitor::ForgetQuickTaps(record);
    EXPECT_EQ(record.presses, (KeyPresses{true, true, true, false, false}));
    // Ctrl's press was made before the forgetting: its release makes no tap.
    record = monitor::RecordRawInput(record, kCtrlUpEvent.event, true);
    EXPECT_FALSE(record.presses.CtrlTapped);
}

}  // namespace
