#include "monitor/key_record.h"

namespace monitor {
namespace {

constexpr int kShift = 0x10;
constexpr int kControl = 0x11;

using Kind = platform::RawInputEvent::Kind;

ModifierRecord* ModifierOf(KeyRecord& record, int virtualKey) {
    if (virtualKey == kShift) {
        return &record.shift;
    }
    return virtualKey == kControl ? &record.ctrl : nullptr;
}

}  // namespace

KeyRecord RecordRawInput(KeyRecord record, const platform::RawInputEvent& event, bool cadInFront) {
    if (event.kind == Kind::MouseButtonDown || event.kind == Kind::Wheel) {
        // A click or the wheel with a modifier held spoils a tap as another key does.
        if (WantsMouseInput(record)) {
            record.presses.OtherKeyPressed = true;
        }
        return record;
    }
    ModifierRecord* modifier = ModifierOf(record, event.virtualKey);
    if (event.kind == Kind::KeyDown) {
        record.presses = AddKeyPress(record.presses, event.virtualKey);
        if (modifier != nullptr) {
            // A repeat of a held key is no new press.
            modifier->pressedAlone =
                modifier->down ? modifier->pressedAlone : event.fromDevice && cadInFront;
            modifier->down = true;
        }
        return record;
    }
    if (modifier != nullptr) {
        if (modifier->down && modifier->pressedAlone && event.fromDevice) {
            (modifier == &record.shift ? record.presses.ShiftTapped : record.presses.CtrlTapped) =
                true;
        }
        *modifier = ModifierRecord{};
    }
    return record;
}

std::pair<KeyPresses, KeyRecord> TakeKeyPresses(KeyRecord record, KeySample sample) {
    return {record.presses, KeyRecord{{}, {sample.ShiftDown, false}, {sample.CtrlDown, false}}};
}

KeyRecord ForgetQuickTaps(KeyRecord record) {
    record.presses.ShiftTapped = false;
    record.presses.CtrlTapped = false;
    record.shift.pressedAlone = false;
    record.ctrl.pressedAlone = false;
    return record;
}

}  // namespace monitor
