#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform/window_handle.h"

namespace platform {

// The window manager operations that the logic above this layer uses (user32).
class WindowSystem {
  public:
    virtual ~WindowSystem() = default;

    // Calls `visit` for each top-level window in the window manager's order until it returns
    // false. Windows created or destroyed meanwhile may or may not be visited.
    virtual void EnumTopLevelWindows(const std::function<bool(WindowHandle)>& visit) = 0;

    // The title, at most 254 characters; empty when the window has none or it cannot be read.
    virtual std::wstring WindowText(WindowHandle window) = 0;

    // The window class name, at most 254 characters; nothing when it cannot be read.
    virtual std::optional<std::wstring> ClassName(WindowHandle window) = 0;

    virtual bool IsWindow(WindowHandle window) = 0;
    virtual WindowHandle ForegroundWindow() = 0;
    // The parent of a child window or the owner of a pop-up; none when there is neither.
    virtual WindowHandle Parent(WindowHandle window) = 0;
    // Asks for the window to come to the foreground; a refusal or a null handle does nothing.
    virtual void SetForegroundWindow(WindowHandle window) = 0;

    virtual bool IsIconic(WindowHandle window) = 0;
    // Restores a minimised window without waiting for its thread to handle it, so that a hung
    // program cannot hold up the caller.
    virtual void RestoreMinimised(WindowHandle window) = 0;
    // Makes the window topmost or not, without moving, sizing or showing it.
    virtual void SetTopmost(WindowHandle window, bool topmost) = 0;

    // The id of the process that created the window; 0 when there is none.
    virtual ProcessId WindowProcessId(WindowHandle window) = 0;
    // The module that registered the window's class.
    virtual ModuleHandle ClassModule(WindowHandle window) = 0;
};

}  // namespace platform
