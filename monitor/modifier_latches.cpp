#include "monitor/modifier_latches.h"

namespace monitor {
namespace {

constexpr int kControl = 0x11;
constexpr int kShift = 0x10;

struct KeyRange {
    int first;
    int last;
};

// Ascending, as the scan reads them.
constexpr KeyRange kScannedRanges[] = {{0x20, 0x9F}, {0xA7, 0xC2}, {0xDB, 0xDF}, {0xE1, 0xE4}};

bool IsDown(platform::Keyboard& keyboard, int key) {
    // Bit 15 is "down"; the toggle bit of Num Lock and the like is ignored.
    return keyboard.KeyState(key) < 0;
}

}  // namespace

bool IsScannedKey(int virtualKey) {
    for (const KeyRange& range : kScannedRanges) {
        if (virtualKey >= range.first && virtualKey <= range.last) {
            return true;
        }
    }
    return false;
}

KeySample SampleModifierKeys(platform::Keyboard& keyboard) {
    KeySample sample;
    for (const KeyRange& range : kScannedRanges) {
        for (int key = range.first; key <= range.last && !sample.OtherKeyDown; ++key) {
            sample.OtherKeyDown = IsDown(keyboard, key);
        }
    }
    sample.CtrlDown = IsDown(keyboard, kControl);
    sample.ShiftDown = IsDown(keyboard, kShift);
    return sample;
}

LatchStep StepModifierLatches(ModifierLatches latches, KeySample sample) {
    if (sample.OtherKeyDown) {
        latches.ShiftLatch = false;
        latches.CtrlLatch = false;
    }
    if (sample.CtrlDown) {
        latches.CtrlLatch = true;
    }
    if (sample.ShiftDown) {
        latches.ShiftLatch = true;
    }
    if (sample.OtherKeyDown) {
        latches.OtherKeyLatch = true;
    }
    if (latches.ShiftLatch && !sample.ShiftDown && !latches.OtherKeyLatch && !latches.CtrlLatch) {
        return LatchStep{ModifierLatches{}, ModifierTap::ShiftTap};
    }
    if (latches.CtrlLatch && !sample.CtrlDown && !latches.OtherKeyLatch && !latches.ShiftLatch) {
        return LatchStep{ModifierLatches{}, ModifierTap::CtrlTap};
    }
    if (!sample.CtrlDown && !sample.ShiftDown && !sample.OtherKeyDown) {
        return LatchStep{ModifierLatches{}, ModifierTap::NoTap};
    }
    return LatchStep{latches, ModifierTap::NoTap};
}

KeyPresses AddKeyPress(KeyPresses presses, int virtualKey) {
    if (virtualKey == kShift) {
        presses.ShiftPressed = true;
    } else if (virtualKey == kControl) {
        presses.CtrlPressed = true;
    } else if (IsScannedKey(virtualKey)) {
        presses.OtherKeyPressed = true;
    }
    return presses;
}

LatchStep StepModifierLatches(ModifierLatches latches, KeySample sample, KeyPresses presses) {
    if (presses.OtherKeyPressed) {
        latches.OtherKeyLatch = true;
    }
    // A quick tap on the keyboard stands for a sample that saw the modifier down.
    latches.ShiftLatch = latches.ShiftLatch || presses.ShiftTapped;
    latches.CtrlLatch = latches.CtrlLatch || presses.CtrlTapped;
    // A modifier's press counts only beside the other modifier, seen or pressed: then neither is
    // a tap. Latching it on its own would turn an unseen lone press into a tap.
    const bool shiftTakesPart = latches.ShiftLatch || sample.ShiftDown || presses.ShiftPressed;
    const bool ctrlTakesPart = latches.CtrlLatch || sample.CtrlDown || presses.CtrlPressed;
    if (shiftTakesPart && ctrlTakesPart) {
        latches.ShiftLatch = latches.ShiftLatch || presses.ShiftPressed;
        latches.CtrlLatch = latches.CtrlLatch || presses.CtrlPressed;
    }
    return StepModifierLatches(latches, sample);
}

}  // namespace monitor
