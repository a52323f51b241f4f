#pragma once

#include <windows.h>

#include <string>

namespace e2e {

// The X keysym whose key Wine reports as this virtual-key code under the US keyboard layout
// that Xvfb starts with (0xDB to 0xDE: bracketleft, backslash, bracketright, apostrophe).
// Shift is never implied: Shift+[ is Shift pressed with bracketleft. Throws
// std::invalid_argument for a code without a key here.
std::string KeysymOf(WORD key);

}  // namespace e2e
