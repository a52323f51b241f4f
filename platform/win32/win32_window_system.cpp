#include <windows.h>

#include "platform/win32/win32_window_system.h"

#include <exception>

#include "platform/win32/unique_handles.h"
#include "platform/win32/window_text.h"

namespace platform::win32 {
namespace {

// Title and class buffers hold 256 units; the system is asked for at most 255 with the NUL.
constexpr int kTextBufferUnits = 256;
constexpr int kTextRequestUnits = 255;

struct EnumContext {
    const std::function<bool(WindowHandle)>* visit;
    std::exception_ptr failure;
};

BOOL CALLBACK VisitWindow(HWND window, LPARAM context) {
    auto* enumContext = reinterpret_cast<EnumContext*>(context);
    try {
        return (*enumContext->visit)(FromHwnd(window)) ? TRUE : FALSE;
    } catch (...) {
        // An exception must not cross the system's frames: carry it out instead.
        enumContext->failure = std::current_exception();
        return FALSE;
    }
}

}  // namespace

void Win32WindowSystem::EnumTopLevelWindows(const std::function<bool(WindowHandle)>& visit) {
    EnumContext context{&visit, nullptr};
    ::EnumWindows(VisitWindow, reinterpret_cast<LPARAM>(&context));
    if (context.failure) {
        std::rethrow_exception(context.failure);
    }
}

std::wstring Win32WindowSystem::WindowText(WindowHandle window) {
    return WindowTextOf(ToHwnd(window), kTextRequestUnits);
}

std::optional<std::wstring> Win32WindowSystem::ClassName(WindowHandle window) {
    wchar_t buffer[kTextBufferUnits] = {};
    if (::GetClassNameW(ToHwnd(window), buffer, kTextRequestUnits) <= 0) {
        return std::nullopt;
    }
    return std::wstring(buffer);
}

bool Win32WindowSystem::IsWindow(WindowHandle window) {
    return ::IsWindow(ToHwnd(window)) != FALSE;
}

WindowHandle Win32WindowSystem::ForegroundWindow() { return FromHwnd(::GetForegroundWindow()); }

WindowHandle Win32WindowSystem::Parent(WindowHandle window) {
    return FromHwnd(::GetParent(ToHwnd(window)));
}

void Win32WindowSystem::SetForegroundWindow(WindowHandle window) {
    if (window != WindowHandle::none) {
        ::SetForegroundWindow(ToHwnd(window));
    }
}

bool Win32WindowSystem::IsIconic(WindowHandle window) {
    return ::IsIconic(ToHwnd(window)) != FALSE;
}

void Win32WindowSystem::RestoreMinimised(WindowHandle window) {
    ::ShowWindowAsync(ToHwnd(window), SW_RESTORE);
}

void Win32WindowSystem::SetTopmost(WindowHandle window, bool topmost) {
    ::SetWindowPos(ToHwnd(window), topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE);
}

ProcessId Win32WindowSystem::WindowProcessId(WindowHandle window) {
    DWORD id = 0;
    ::GetWindowThreadProcessId(ToHwnd(window), &id);
    return id;
}

ModuleHandle Win32WindowSystem::ClassModule(WindowHandle window) {
    return static_cast<ModuleHandle>(::GetClassLongPtrW(ToHwnd(window), GCLP_HMODULE));
}

}  // namespace platform::win32
