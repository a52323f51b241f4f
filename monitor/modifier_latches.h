#pragma once

#include "platform/keyboard.h"

namespace monitor {

// What one run of the detector sees of the keyboard.
struct KeySample {
    bool CtrlDown = false;
    bool ShiftDown = false;
    bool OtherKeyDown = false;  // a key of the scanned set
};

// What went down between two runs of the detector, as the keyboard's own events report it, so
// that a key too quick for any sample still counts.
struct KeyPresses {
    bool OtherKeyPressed = false;  // a key of the scanned set
    bool CtrlPressed = false;
    bool ShiftPressed = false;
    friend bool operator==(const KeyPresses&, const KeyPresses&) = default;
};

struct ModifierLatches {
    bool ShiftLatch = false;
    bool CtrlLatch = false;
    bool OtherKeyLatch = false;
    friend bool operator==(const ModifierLatches&, const ModifierLatches&) = default;
};

enum class ModifierTap { NoTap, ShiftTap, CtrlTap };

struct LatchStep {
    ModifierLatches latches;
    ModifierTap tap = ModifierTap::NoTap;
};

// The latches carried from run to run; all clear when the program starts.
inline bool ShiftLatch = false;
inline bool CtrlLatch = false;
inline bool OtherKeyLatch = false;

// Scans the keys 0x20 to 0xC0 but for 0xA0 to 0xA6 (the left/right Shift, Ctrl and Alt keys and
// browser Back), stopping at the first one down, then reads Ctrl and Shift: at most 156 reads.
KeySample SampleModifierKeys(platform::Keyboard& keyboard);

// The latch rules: a lone Shift or Ctrl pressed and released with nothing else seen meanwhile
// is a tap, recognised by the first run that sees every key up.
LatchStep StepModifierLatches(ModifierLatches latches, KeySample sample);

// Adds one key-down event to the presses: Shift and Ctrl by their generic codes (either side),
// a key of the scanned set as another key; any other key leaves them as they are.
KeyPresses AddKeyPress(KeyPresses presses, int virtualKey);

// The latch rules with the presses since the last run: another key pressed spoils a tap as if
// a sample had seen it; Shift and Ctrl both pressed in one chord spoil both. A press on its own
// never makes a tap: a lone modifier too quick for every sample stays unseen.
LatchStep StepModifierLatches(ModifierLatches latches, KeySample sample, KeyPresses presses);

}  // namespace monitor
