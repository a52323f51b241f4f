#include "bench/bench_win32.h"

#include <shellapi.h>

#include "cadlink/cad_window_finder.h"
#include "platform/win32/win32_window_system.h"

namespace bench {
namespace {

struct LocalFreer {
    void operator()(wchar_t** memory) const noexcept { ::LocalFree(memory); }
};

struct WindowCount {
    DWORD process;
    bool visibleOnly;
    std::size_t count;
};

BOOL CALLBACK CountWindow(HWND window, LPARAM context) {
    auto* counting = reinterpret_cast<WindowCount*>(context);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == counting->process && (!counting->visibleOnly || ::IsWindowVisible(window))) {
        ++counting->count;
    }
    return TRUE;
}

struct CloseRequest {
    DWORD process;
    std::initializer_list<std::wstring_view> windowClasses;
    bool posted;
};

BOOL CALLBACK CloseWindowOfClass(HWND window, LPARAM context) {
    auto* request = reinterpret_cast<CloseRequest*>(context);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    wchar_t className[256] = {};
    if (owner != request->process || ::GetClassNameW(window, className, 255) <= 0) {
        return TRUE;
    }
    for (const std::wstring_view windowClass : request->windowClasses) {
        if (windowClass == className && ::PostMessageW(window, WM_CLOSE, 0, 0)) {
            request->posted = true;
        }
    }
    return TRUE;
}

struct WalkState {
    HWND match;
    SearchWalk walk;
};

BOOL CALLBACK WalkWindow(HWND window, LPARAM context) {
    auto* state = reinterpret_cast<WalkState*>(context);
    if (window == state->match) {
        state->walk.matchIndex = state->walk.desktopWindows;
    }
    ++state->walk.desktopWindows;
    return TRUE;
}

}  // namespace

std::vector<std::wstring> CommandLineArguments() {
    int count = 0;
    std::unique_ptr<wchar_t*, LocalFreer> argv(::CommandLineToArgvW(::GetCommandLineW(), &count));
    std::vector<std::wstring> arguments;
    for (int index = 1; argv && index < count; ++index) {
        arguments.emplace_back(argv.get()[index]);
    }
    return arguments;
}

std::wstring ExecutableFolder() {
    std::wstring path(32768, L'\0');
    const DWORD length =
        ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    path.resize(length);
    return path.substr(0, path.find_last_of(L"\\/") + 1);
}

std::string ToUtf8(const std::wstring& text) {
    if (text.empty()) {
        return {};
    }
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(),
                          size, nullptr, nullptr);
    return result;
}

std::optional<ChildProcess> ChildProcess::Start(const std::wstring& path,
                                                const std::wstring& arguments,
                                                const std::wstring& folder) {
    std::wstring commandLine = L"\"" + path + L"\"";
    if (!arguments.empty()) {
        commandLine += L" " + arguments;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          folder.empty() ? nullptr : folder.c_str(), &startup, &started)) {
        return std::nullopt;
    }
    ::CloseHandle(started.hThread);
    return ChildProcess(platform::win32::UniqueKernelHandle(started.hProcess), started.dwProcessId);
}

ChildProcess::~ChildProcess() {
    if (process_ && !WaitForExit(0)) {
        ::TerminateProcess(process_.get(), 1);
        WaitForExit(10000);
    }
}

bool ChildProcess::WaitForExit(DWORD milliseconds) const {
    return ::WaitForSingleObject(process_.get(), milliseconds) == WAIT_OBJECT_0;
}

bool ChildProcess::Stop(std::initializer_list<std::wstring_view> windowClasses,
                        DWORD graceMilliseconds) {
    CloseRequest request{id_, windowClasses, false};
    ::EnumWindows(CloseWindowOfClass, reinterpret_cast<LPARAM>(&request));
    if (request.posted && WaitForExit(graceMilliseconds)) {
        return true;
    }
    ::TerminateProcess(process_.get(), 1);
    WaitForExit(10000);
    return false;
}

std::size_t CountProcessWindows(DWORD id, bool visibleOnly) {
    WindowCount counting{id, visibleOnly, 0};
    ::EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&counting));
    return counting.count;
}

bool WaitForProcessWindows(const ChildProcess& process, std::size_t count, DWORD timeoutMs) {
    ::WaitForInputIdle(process.handle(), timeoutMs);
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    while (CountProcessWindows(process.id(), true) < count) {
        if (::GetTickCount64() > deadline || process.WaitForExit(100)) {
            return false;
        }
    }
    return true;
}

SearchWalk MeasureSearchWalk() {
    platform::win32::Win32WindowSystem windows;
    WalkState state{platform::win32::ToHwnd(cadlink::FindCadMainWindow(windows)), {}};
    ::EnumWindows(WalkWindow, reinterpret_cast<LPARAM>(&state));
    return state.walk;
}

}  // namespace bench
