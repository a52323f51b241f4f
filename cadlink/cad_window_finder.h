#pragma once

#include "platform/window_handle.h"
#include "platform/window_system.h"

namespace cadlink {

// The result of the last search for AutoCAD's main window: none before the first search and
// after one that found nothing. Every search overwrites it.
inline platform::WindowHandle CadMainWindow = platform::WindowHandle::none;

// Looks at one top-level window; on a match stores it in CadMainWindow and returns false to stop
// the enumeration. Only windows whose title matched have their class name read.
bool EnumCadWindowProc(platform::WindowSystem& windows, platform::WindowHandle window);

// AutoCAD's main window: the first top-level window, in enumeration order, that matches; none
// when there is none. Never throws.
platform::WindowHandle FindCadMainWindow(platform::WindowSystem& windows);

// Searches AutoCAD's main window afresh and asks for it to come to the foreground, so that the
// user can go on working there; nothing happens when there is none.
void BringCadMainWindowToFront(platform::WindowSystem& windows);

}  // namespace cadlink
