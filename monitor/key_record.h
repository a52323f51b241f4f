#pragma once

#include <utility>

#include "monitor/modifier_latches.h"
#include "platform/raw_input.h"

namespace monitor {

// One modifier as the raw input events report it.
struct ModifierRecord {
    bool down = false;
    // Pressed on the keyboard itself, AutoCAD in front, since the detector's last run, and not
    // released yet: its release makes a quick tap.
    bool pressedAlone = false;
    friend bool operator==(const ModifierRecord&, const ModifierRecord&) = default;
};

// The record of the raw input events between two runs of the detector: what went down, which
// modifier was tapped too quickly for a sample, and which modifier is down now (mouse buttons
// and the wheel count only while Shift or Ctrl is down).
struct KeyRecord {
    KeyPresses presses;
    ModifierRecord shift;
    ModifierRecord ctrl;
    friend bool operator==(const KeyRecord&, const KeyRecord&) = default;
};

// Adds one event. cadInFront: AutoCAD's main window or a pop-up of it was in front when it came
// (looked at only for a modifier's press). A quick tap needs the keyboard's own press and release.
KeyRecord RecordRawInput(KeyRecord record, const platform::RawInputEvent& event, bool cadInFront);

// The detector's run takes the presses; from then on the modifiers are as its sample saw them,
// and a press before the run makes no quick tap.
std::pair<KeyPresses, KeyRecord> TakeKeyPresses(KeyRecord record, KeySample sample);

// A tick in which the detector does not run (AutoCAD not in front, or not found): the quick taps
// made meanwhile are forgotten; what went down still spoils a tap that AutoCAD saw begin.
KeyRecord ForgetQuickTaps(KeyRecord record);

// Mouse buttons and the wheel matter only while Shift or Ctrl is down.
inline bool WantsMouseInput(const KeyRecord& record) {
    return record.shift.down || record.ctrl.down;
}

}  // namespace monitor
