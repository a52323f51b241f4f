#pragma once

// Win32 helpers shared by the benchmark programs and their tests.

#include <windows.h>

#include <cstddef>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32/unique_handles.h"

namespace bench {

// Window classes of the benchmark's own programs.
inline constexpr wchar_t kReferenceWindowClass[] = L"MeridoBenchReference";
inline constexpr wchar_t kHostWindowClass[] = L"MeridoBenchWindow";
inline constexpr wchar_t kPanelWindowClass[] = L"TMERIDO_A_MainForm";

// The stand-in for AutoCAD's main window opened by bench_windows --cad.
inline constexpr wchar_t kCadLookAlikeClass[] = L"AfxMDIFrame140u";
inline constexpr wchar_t kCadLookAlikeTitle[] = L"Autodesk AutoCAD 2025 - [Drawing1.dwg]";

// The program's arguments, without the program name.
std::vector<std::wstring> CommandLineArguments();

// The folder of the running executable, with a trailing backslash.
std::wstring ExecutableFolder();

std::string ToUtf8(const std::wstring& text);

// A started program; one still running when this object goes away is terminated.
class ChildProcess {
  public:
    // Starts `path` with `arguments` (already quoted as needed) in `folder` (empty: the
    // driver's own). Nothing when the program cannot be started.
    static std::optional<ChildProcess> Start(const std::wstring& path,
                                             const std::wstring& arguments,
                                             const std::wstring& folder);

    ChildProcess(ChildProcess&&) noexcept = default;
    ChildProcess& operator=(ChildProcess&&) noexcept = default;
    ~ChildProcess();

    HANDLE handle() const { return process_.get(); }
    DWORD id() const { return id_; }
    // True when the program ended within `milliseconds`.
    bool WaitForExit(DWORD milliseconds) const;
    // Asks the program's top-level windows of the given classes to close, then terminates it
    // when it has not ended after `graceMilliseconds`. True when it closed by itself.
    bool Stop(std::initializer_list<std::wstring_view> windowClasses, DWORD graceMilliseconds);

  private:
    ChildProcess(platform::win32::UniqueKernelHandle process, DWORD id)
        : process_(std::move(process)), id_(id) {}

    platform::win32::UniqueKernelHandle process_;
    DWORD id_ = 0;
};

// Top-level windows that belong to process `id`.
std::size_t CountProcessWindows(DWORD id, bool visibleOnly);

// Waits until process `id` owns at least `count` visible top-level windows; false on time-out
// or when the process ended.
bool WaitForProcessWindows(const ChildProcess& process, std::size_t count, DWORD timeoutMs);

// What one search of AutoCAD's main window walks: every top-level window of the desktop, and
// how many of them come before the match (the search reads the title of each of those).
struct SearchWalk {
    std::size_t desktopWindows = 0;
    std::optional<std::size_t> matchIndex;
};
SearchWalk MeasureSearchWalk();

}  // namespace bench
