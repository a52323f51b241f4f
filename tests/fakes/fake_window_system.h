#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/window_system.h"

namespace fakes {

// A desktop of scripted top-level windows, in enumeration order, that records what was asked.
class FakeWindowSystem : public platform::WindowSystem {
  public:
    struct Window {
        platform::WindowHandle handle;
        std::wstring title;
        std::optional<std::wstring> className;
        platform::ProcessId processId = 0;
        platform::ModuleHandle module = platform::ModuleHandle::none;
        platform::WindowHandle parent = platform::WindowHandle::none;
        bool minimised = false;
    };

    platform::WindowHandle Add(std::wstring title, std::optional<std::wstring> className) {
        const auto handle = static_cast<platform::WindowHandle>(0x1000 + nextHandle++ * 0x10);
        windows.push_back(Window{handle, std::move(title), std::move(className)});
        return handle;
    }

    Window* Find(platform::WindowHandle handle) {
        for (Window& window : windows) {
            if (window.handle == handle) {
                return &window;
            }
        }
        return nullptr;
    }

    void EnumTopLevelWindows(const std::function<bool(platform::WindowHandle)>& visit) override {
        ++enumerations;
        // A copy, so that a window removed during the walk does not upset the iteration.
        const std::vector<Window> snapshot = windows;
        for (const Window& window : snapshot) {
            visited.push_back(window.handle);
            if (onVisit) {
                onVisit(window.handle);
            }
            if (!visit(window.handle)) {
                return;
            }
        }
    }

    std::wstring WindowText(platform::WindowHandle handle) override {
        const Window* window = Find(handle);
        return window ? window->title.substr(0, 254) : std::wstring();
    }

    std::optional<std::wstring> ClassName(platform::WindowHandle handle) override {
        classNameReads.push_back(handle);
        const Window* window = Find(handle);
        if (!window || !window->className) {
            return std::nullopt;
        }
        return window->className->substr(0, 254);
    }

    bool IsWindow(platform::WindowHandle handle) override { return Find(handle) != nullptr; }
    platform::WindowHandle ForegroundWindow() override { return foreground; }
    platform::WindowHandle Parent(platform::WindowHandle handle) override {
        parentQueries.push_back(handle);
        const Window* window = Find(handle);
        return window ? window->parent : platform::WindowHandle::none;
    }
    void SetForegroundWindow(platform::WindowHandle handle) override {
        foregroundRequests.push_back(handle);
        log.push_back(L"foreground " + std::to_wstring(static_cast<std::uintptr_t>(handle)));
    }
    bool IsIconic(platform::WindowHandle handle) override {
        const Window* window = Find(handle);
        return window != nullptr && window->minimised;
    }
    void RestoreMinimised(platform::WindowHandle handle) override {
        log.emplace_back(L"restore");
        if (Window* window = Find(handle)) {
            window->minimised = false;
        }
    }
    void SetTopmost(platform::WindowHandle handle, bool topmost) override {
        log.push_back((topmost ? L"topmost " : L"not topmost ") +
                      std::to_wstring(static_cast<std::uintptr_t>(handle)));
    }
    platform::ProcessId WindowProcessId(platform::WindowHandle handle) override {
        const Window* window = Find(handle);
        return window ? window->processId : 0;
    }
    platform::ModuleHandle ClassModule(platform::WindowHandle handle) override {
        const Window* window = Find(handle);
        return window ? window->module : platform::ModuleHandle::none;
    }

    std::vector<Window> windows;
    std::uintptr_t nextHandle = 0;
    platform::WindowHandle foreground = platform::WindowHandle::none;
    std::function<void(platform::WindowHandle)> onVisit;

    int enumerations = 0;
    std::vector<platform::WindowHandle> visited;
    std::vector<platform::WindowHandle> classNameReads;
    std::vector<platform::WindowHandle> parentQueries;
    std::vector<platform::WindowHandle> foregroundRequests;
    std::vector<std::wstring> log;  // changes asked for, in order
};

}  // namespace fakes
