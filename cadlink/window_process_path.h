#pragma once

#include <string>

#include "platform/process_system.h"
#include "platform/window_system.h"

namespace cadlink {

// The full path of the module that registered the window's class, read from the window's own
// process; empty when the window is gone, its process cannot be opened or the name cannot be
// read. Never throws.
std::wstring GetWindowProcessImagePath(platform::WindowSystem& windows,
                                       platform::ProcessSystem& processes,
                                       platform::WindowHandle window);

}  // namespace cadlink
