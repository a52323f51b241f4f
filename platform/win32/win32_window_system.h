#pragma once

#include "platform/window_system.h"

namespace platform::win32 {

class Win32WindowSystem final : public WindowSystem {
  public:
    void EnumTopLevelWindows(const std::function<bool(WindowHandle)>& visit) override;
    std::wstring WindowText(WindowHandle window) override;
    std::optional<std::wstring> ClassName(WindowHandle window) override;
    bool IsWindow(WindowHandle window) override;
    WindowHandle ForegroundWindow() override;
    WindowHandle Parent(WindowHandle window) override;
    void SetForegroundWindow(WindowHandle window) override;
    bool IsIconic(WindowHandle window) override;
    void RestoreMinimised(WindowHandle window) override;
    void SetTopmost(WindowHandle window, bool topmost) override;
    ProcessId WindowProcessId(WindowHandle window) override;
    ModuleHandle ClassModule(WindowHandle window) override;
};

}  // namespace platform::win32
