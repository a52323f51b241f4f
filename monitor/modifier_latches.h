#pragma once

#include "platform/keyboard.h"

namespace monitor {

// What one run of the detector sees of the keyboard.
struct KeySample {
    bool CtrlDown = false;
    bool ShiftDown = false;
    bool OtherKeyDown = false;  // a key of the scanned set
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

}  // namespace monitor
