#pragma once

#include <windows.h>

namespace app {

// The window's outer rectangle in screen pixels; while it is minimised, the restored one.
RECT RestoredWindowRect(HWND window);

}  // namespace app
