// The benchmark's helper programs, started for real: they must set up the desktop the figures
// claim to measure.

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "bench/bench_win32.h"
#include "cadlink/cad_window_finder.h"
#include "platform/win32/win32_window_system.h"

namespace bench {
namespace {

std::wstring Beside(const wchar_t* name) { return ExecutableFolder() + name; }

struct OwnedWindows {
    DWORD process;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectOwned(HWND window, LPARAM context) {
    auto* owned = reinterpret_cast<OwnedWindows*>(context);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    wchar_t className[256] = {};
    ::GetClassNameW(window, className, 255);
    // The system adds an input-method window to each GUI thread; only the program's own count.
    if (owner == owned->process && std::wstring_view(className) != L"IME") {
        owned->windows.push_back(window);
    }
    return TRUE;
}

// The program's own top-level windows in enumeration (z-) order.
std::vector<HWND> WindowsOf(const ChildProcess& process) {
    OwnedWindows owned{process.id(), {}};
    ::EnumWindows(CollectOwned, reinterpret_cast<LPARAM>(&owned));
    return owned.windows;
}

std::wstring TitleOf(HWND window) {
    wchar_t title[256] = {};
    ::GetWindowTextW(window, title, 255);
    return title;
}

DWORD ExitCode(const ChildProcess& process) {
    DWORD code = STILL_ACTIVE;
    ::GetExitCodeProcess(process.handle(), &code);
    return code;
}

TEST(BenchWindows, LookAlikeIsTheSearchMatchAndComesAfterEveryOrdinaryWindow) {
    constexpr std::uint32_t kCount = 40;
    auto host = ChildProcess::Start(Beside(L"bench_windows.exe"), L"--count 40 --cad", {});
    ASSERT_TRUE(host);
    ASSERT_TRUE(WaitForProcessWindows(*host, kCount + 1, 60000));

    const std::vector<HWND> windows = WindowsOf(*host);
    ASSERT_EQ(windows.size(), kCount + 1);
    HWND lookAlike = windows.back();
    EXPECT_EQ(TitleOf(lookAlike), kCadLookAlikeTitle);
    for (std::size_t index = 0; index + 1 < windows.size(); ++index) {
        EXPECT_TRUE(TitleOf(windows[index]).starts_with(L"Window ")) << index;
        EXPECT_TRUE(::IsWindowVisible(windows[index])) << index;
    }

    platform::win32::Win32WindowSystem windowSystem;
    EXPECT_EQ(platform::win32::ToHwnd(cadlink::FindCadMainWindow(windowSystem)), lookAlike);
    const SearchWalk walk = MeasureSearchWalk();
    ASSERT_TRUE(walk.matchIndex);
    EXPECT_GE(*walk.matchIndex, kCount);
    EXPECT_GT(walk.desktopWindows, *walk.matchIndex);

    // Closing one window ends the host, so the driver can stop it gently.
    EXPECT_TRUE(host->Stop({kHostWindowClass}, 10000));
}

TEST(BenchWindows, OrdinaryWindowsNeverMatchTheSearch) {
    auto host = ChildProcess::Start(Beside(L"bench_windows.exe"), L"--count 25", {});
    ASSERT_TRUE(host);
    ASSERT_TRUE(WaitForProcessWindows(*host, 25, 60000));
    EXPECT_EQ(WindowsOf(*host).size(), 25u);

    platform::win32::Win32WindowSystem windowSystem;
    const HWND match = platform::win32::ToHwnd(cadlink::FindCadMainWindow(windowSystem));
    DWORD owner = 0;
    if (match != nullptr) {
        ::GetWindowThreadProcessId(match, &owner);
    }
    EXPECT_NE(owner, host->id());
}

TEST(BenchWindows, RefusesABadCommandLine) {
    auto host = ChildProcess::Start(Beside(L"bench_windows.exe"), L"--count lots", {});
    ASSERT_TRUE(host);
    ASSERT_TRUE(host->WaitForExit(10000));
    EXPECT_EQ(ExitCode(*host), 2u);
}

TEST(BenchReference, RunsHiddenUntilClosed) {
    auto reference = ChildProcess::Start(Beside(L"bench_reference.exe"), {}, {});
    ASSERT_TRUE(reference);
    ::WaitForInputIdle(reference->handle(), 10000);
    EXPECT_FALSE(reference->WaitForExit(1000));
    const std::vector<HWND> windows = WindowsOf(*reference);
    ASSERT_EQ(windows.size(), 1u);
    EXPECT_FALSE(::IsWindowVisible(windows.front()));

    EXPECT_TRUE(reference->Stop({kReferenceWindowClass}, 10000));
    EXPECT_EQ(ExitCode(*reference), 0u);
}

TEST(BenchReference, EndsByItselfAfterTheGivenSeconds) {
    auto reference = ChildProcess::Start(Beside(L"bench_reference.exe"), L"--seconds 1", {});
    ASSERT_TRUE(reference);
    ASSERT_TRUE(reference->WaitForExit(15000));
    EXPECT_EQ(ExitCode(*reference), 0u);
}

// Runs bench_driver with `arguments`, its output going to a file; the exit code and the output.
std::pair<DWORD, std::string> RunDriver(const std::wstring& arguments) {
    wchar_t folder[MAX_PATH] = {};
    wchar_t file[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    ::GetTempFileNameW(folder, L"drv", 0, file);
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    platform::win32::UniqueFileHandle output(::CreateFileW(
        file, GENERIC_WRITE, FILE_SHARE_READ, &inheritable, CREATE_ALWAYS, 0, nullptr));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output.get();
    startup.hStdError = output.get();
    std::wstring commandLine = L"\"" + Beside(L"bench_driver.exe") + L"\" " + arguments;
    PROCESS_INFORMATION started{};
    DWORD code = STILL_ACTIVE;
    if (::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                         &startup, &started)) {
        ::WaitForSingleObject(started.hProcess, 120000);
        ::GetExitCodeProcess(started.hProcess, &code);
        ::CloseHandle(started.hThread);
        ::CloseHandle(started.hProcess);
    }
    output.reset();

    std::string text;
    platform::win32::UniqueFileHandle input(
        ::CreateFileW(file, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    char buffer[4096];
    DWORD read = 0;
    while (::ReadFile(input.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) {
        text.append(buffer, read);
    }
    input.reset();
    ::DeleteFileW(file);
    return {code, text};
}

TEST(BenchDriver, CompletesAShortRunWithTheReferenceAsTheProgramUnderTest) {
    const auto [code, output] = RunDriver(L"--panel \"" + Beside(L"bench_reference.exe") +
                                          L"\" --counts 3 --seconds 1 --warmup 0 --runs 2");
    ASSERT_EQ(code, 0u) << output;
    EXPECT_NE(output.find("search match at"), std::string::npos) << output;
    EXPECT_EQ(output.find("warning"), std::string::npos) << output;
    // Two runs of each program, each closed through its window rather than terminated.
    std::size_t closedRuns = 0;
    for (std::size_t at = output.find("stopped=closed"); at != std::string::npos;
         at = output.find("stopped=closed", at + 1)) {
        ++closedRuns;
    }
    EXPECT_EQ(closedRuns, 4u) << output;
    EXPECT_NE(output.find("N=3 panel_cpu_ms="), std::string::npos) << output;
    EXPECT_NE(output.find("summary {\"seconds\":1,"), std::string::npos) << output;
}

TEST(BenchDriver, RefusesMissingProgramsAndARunningPanel) {
    EXPECT_EQ(RunDriver(L"--panel C:\\nowhere\\MERIDO_B.exe").first, 1u);
    EXPECT_EQ(RunDriver(L"--seconds 5").first, 1u);

    // A window of the panel's class, as a running panel would have: a second panel would end at
    // once, so the driver must not start measuring.
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = ::DefWindowProcW;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kPanelWindowClass;
    ASSERT_NE(::RegisterClassExW(&windowClass), 0);
    platform::win32::UniqueWindow panel(::CreateWindowExW(0, kPanelWindowClass, L"panel", 0, 0, 0,
                                                          10, 10, nullptr, nullptr,
                                                          windowClass.hInstance, nullptr));
    ASSERT_TRUE(panel);
    const auto [code, output] =
        RunDriver(L"--panel \"" + Beside(L"bench_reference.exe") + L"\" --counts 1");
    EXPECT_EQ(code, 1u);
    EXPECT_NE(output.find("already running"), std::string::npos) << output;
}

}  // namespace
}  // namespace bench
