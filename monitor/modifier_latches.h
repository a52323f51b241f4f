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
    bool OtherKeyPressed = false;  // a key of the scanned set, or a click or the wheel with a
                                   // modifier held
    bool CtrlPressed = false;
    bool ShiftPressed = false;
    // Pressed and released on the keyboard itself with AutoCAD in front, both since the last run.
    bool CtrlTapped = false;
    bool ShiftTapped = false;
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

// The keys that spoil a tap: 0x20 to 0xC2 but for 0xA0 to 0xA6 (the left/right Shift, Ctrl and
// Alt keys and browser Back), and the character keys 0xDB to 0xDF and 0xE1 to 0xE4: 165 codes.
// Tab, Enter, Esc, Backspace, Caps Lock, Alt, Pause, the IME keys and the modifiers stay out.
bool IsScannedKey(int virtualKey);

// Scans the keys that spoil a tap in ascending order, stopping at the first one down, then reads
// Ctrl and Shift: at most 167 reads.
KeySample SampleModifierKeys(platform::Keyboard& keyboard);

// The latch rules: a lone Shift or Ctrl pressed and released with nothing else seen meanwhile
// is a tap, recognised by the first run that sees every key up.
LatchStep StepModifierLatches(ModifierLatches latches, KeySample sample);

// Adds one key-down event to the presses: Shift and Ctrl by their generic codes (either side),
// a key of the scanned set as another key; any other key leaves them as they are.
KeyPresses AddKeyPress(KeyPresses presses, int virtualKey);

// The latch rules with the presses since the last run: another key pressed spoils a tap as if
// a sample had seen it; Shift and Ctrl both pressed in one chord spoil both. A modifier tapped
// on the keyboard between two runs counts as if a sample had seen it down; a press alone (an
// injected one, or one still held at the run) never makes a tap.
LatchStep StepModifierLatches(ModifierLatches latches, KeySample sample, KeyPresses presses);

}  // namespace monitor
