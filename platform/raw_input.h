#pragma once

namespace platform {

// One event of the system's raw input, as the modifier-tap detector needs it. Pointer movement
// and events of no interest are not events here.
struct RawInputEvent {
    enum class Kind { KeyDown, KeyUp, MouseButtonDown, Wheel };
    Kind kind = Kind::KeyDown;
    // For key events: the virtual-key code, Shift and Ctrl (either side) as their generic codes.
    int virtualKey = 0;
    // False when the event came with no device: another program injected it (SendInput,
    // keybd_event) rather than a keyboard or mouse.
    bool fromDevice = true;
};

}  // namespace platform
