#include "cadlink/window_process_path.h"

namespace cadlink {

std::wstring GetWindowProcessImagePath(platform::WindowSystem& windows,
                                       platform::ProcessSystem& processes,
                                       platform::WindowHandle window) {
    if (!windows.IsWindow(window)) {
        return {};
    }
    const platform::ProcessId id = windows.WindowProcessId(window);
    const auto process = processes.OpenForQuery(id);
    const platform::ModuleHandle module = windows.ClassModule(window);
    if (!process) {
        return {};
    }
    return process->ModuleFileName(module);
}

}  // namespace cadlink
