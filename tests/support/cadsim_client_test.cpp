#include <windows.h>
#include <psapi.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

#include "cadsim/control_protocol.h"
#include "tests/support/cadsim_client.h"
#include "tests/support/command_line.h"
#include "tests/support/test_bin_dir.h"

namespace {

using test_support::CadSim;

std::wstring TextOf(HWND window) {
    wchar_t buffer[256] = {};
    const int length = ::GetWindowTextW(window, buffer, 255);
    return std::wstring(buffer, static_cast<std::size_t>(length > 0 ? length : 0));
}

std::wstring ClassOf(HWND window) {
    wchar_t buffer[256] = {};
    const int length = ::GetClassNameW(window, buffer, 255);
    return std::wstring(buffer, static_cast<std::size_t>(length > 0 ? length : 0));
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

RECT WindowRectOf(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return rect;
}

std::vector<std::string> KeyLines(const std::vector<std::string>& lines) {
    std::vector<std::string> keys;
    for (const std::string& line : lines) {
        if (line.rfind("key ", 0) == 0) {
            keys.push_back(line);
        }
    }
    return keys;
}

std::string HandleLine(HWND window) {
    char text[32] = {};
    std::snprintf(text, sizeof(text), "window 0x%llX",
                  static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(window)));
    return text;
}

TEST(CadSim, MainWindowHasTheGivenTitleClassAndRectangle) {
    CadSim::Options options;
    options.title = L"AutoCAD 2024 - [Plan \"A\".dwg]";
    options.className = L"AfxMDIFrame140";
    options.rect = RECT{100, 120, 600, 520};
    CadSim sim(options);

    const HWND window = sim.MainWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(::FindWindowW(options.className.c_str(), options.title.c_str()), window);
    EXPECT_EQ(TextOf(window), options.title);
    EXPECT_EQ(ClassOf(window), options.className);
    EXPECT_TRUE(::IsWindowVisible(window));
    EXPECT_FALSE(::IsIconic(window));
    EXPECT_EQ(::GetParent(window), nullptr);
    EXPECT_TRUE(SameRect(WindowRectOf(window), options.rect));
    EXPECT_TRUE(sim.WaitForRecordLine("ready"));
    EXPECT_TRUE(sim.WaitForRecordLine(HandleLine(window)));
}

TEST(CadSim, MainWindowClassBelongsToCadsimExe) {
    CadSim sim;
    const HWND window = sim.MainWindow();
    ASSERT_NE(window, nullptr);
    const auto module = reinterpret_cast<HMODULE>(::GetClassLongPtrW(window, GCLP_HMODULE));
    const platform::win32::UniqueKernelHandle process(
        ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, sim.ProcessId()));
    ASSERT_TRUE(process);
    wchar_t path[MAX_PATH] = {};
    ASSERT_NE(::GetModuleFileNameExW(process.get(), module, path, MAX_PATH), 0u);
    const std::wstring expected = test_support::TestBinDir() + L"\\cadsim.exe";
    EXPECT_EQ(::CompareStringOrdinal(path, -1, expected.c_str(), -1, TRUE), CSTR_EQUAL)
        << "module path: " << std::string(path, path + wcslen(path));
}

TEST(CadSim, MinimizeRestoreHideAndShow) {
    CadSim sim;
    const HWND window = sim.MainWindow();
    ASSERT_NE(window, nullptr);

    ASSERT_EQ(sim.Send(L"minimize"), 1);
    EXPECT_TRUE(sim.WaitFor([&] { return ::IsIconic(window) != FALSE; }));
    ASSERT_EQ(sim.Send(L"restore"), 1);
    EXPECT_TRUE(sim.WaitFor([&] { return ::IsIconic(window) == FALSE; }));
    ASSERT_EQ(sim.Send(L"hide"), 1);
    EXPECT_TRUE(sim.WaitFor([&] { return ::IsWindowVisible(window) == FALSE; }));
    ASSERT_EQ(sim.Send(L"show"), 1);
    EXPECT_TRUE(sim.WaitFor([&] { return ::IsWindowVisible(window) != FALSE; }));
}

TEST(CadSim, CloseWindowKeepsTheProcessAndShowWindowMakesANewOne) {
    CadSim sim;
    const HWND first = sim.MainWindow();
    ASSERT_NE(first, nullptr);

    ASSERT_EQ(sim.Send(L"close-window"), 1);
    EXPECT_FALSE(::IsWindow(first));
    EXPECT_EQ(sim.MainWindow(), nullptr);
    EXPECT_EQ(::FindWindowW(L"AfxMDIFrame140u", nullptr), nullptr);
    EXPECT_TRUE(sim.WaitForRecordLine("window-closed"));
    EXPECT_TRUE(sim.IsRunning());
    // Window commands fail while there is no window.
    EXPECT_EQ(sim.Send(L"minimize"), 0);
    EXPECT_EQ(sim.Send(L"foreground"), 0);
    EXPECT_EQ(sim.Send(L"close-window"), 0);

    ASSERT_EQ(sim.Send(L"show-window"), 1);
    const HWND second = sim.MainWindow();
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, first);
    EXPECT_TRUE(::IsWindowVisible(second));
    EXPECT_EQ(TextOf(second), L"Autodesk AutoCAD 2025 - [Drawing1.dwg]");
    EXPECT_EQ(ClassOf(second), L"AfxMDIFrame140u");
    EXPECT_TRUE(sim.WaitForRecordLine(HandleLine(second)));
}

TEST(CadSim, TitleClassAndMoveCommands) {
    CadSim sim;
    const HWND first = sim.MainWindow();
    ASSERT_NE(first, nullptr);

    ASSERT_EQ(sim.Send(L"title AutoCAD  2026 - [図面 1.dwg]"), 1);
    EXPECT_EQ(TextOf(first), L"AutoCAD  2026 - [図面 1.dwg]");
    ASSERT_EQ(sim.Send(L"move 50,60,320,240"), 1);
    EXPECT_TRUE(SameRect(WindowRectOf(first), RECT{50, 60, 370, 300}));

    // The class applies to the next main window; title and rectangle carry over to it.
    ASSERT_EQ(sim.Send(L"class NotAnAfxFrame"), 1);
    EXPECT_EQ(ClassOf(first), L"AfxMDIFrame140u");
    ASSERT_EQ(sim.Send(L"close-window"), 1);
    ASSERT_EQ(sim.Send(L"show-window"), 1);
    const HWND second = sim.MainWindow();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(ClassOf(second), L"NotAnAfxFrame");
    EXPECT_EQ(TextOf(second), L"AutoCAD  2026 - [図面 1.dwg]");
    EXPECT_TRUE(SameRect(WindowRectOf(second), RECT{50, 60, 370, 300}));
}

TEST(CadSim, StartOptionsMinimizedHiddenAndNoWindow) {
    {
        CadSim::Options options;
        options.minimized = true;
        CadSim sim(options);
        EXPECT_TRUE(::IsIconic(sim.MainWindow()));
    }
    {
        CadSim::Options options;
        options.hidden = true;
        CadSim sim(options);
        const HWND window = sim.MainWindow();
        ASSERT_NE(window, nullptr);
        EXPECT_FALSE(::IsWindowVisible(window));
    }
    {
        CadSim::Options options;
        options.noWindow = true;
        CadSim sim(options);
        EXPECT_EQ(sim.MainWindow(), nullptr);
        EXPECT_EQ(sim.Send(L"ping"), 1);
        EXPECT_EQ(KeyLines(sim.RecordLines()).size(), 0u);
        ASSERT_EQ(sim.Send(L"show-window"), 1);
        const HWND window = sim.MainWindow();
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(::IsWindowVisible(window));
    }
}

TEST(CadSim, PostedKeyMessagesAreRecordedInOrder) {
    struct Key {
        UINT message;
        WPARAM code;
        const char* line;
    };
    // F10 and Alt arrive as system keys; they must be recorded like any other key.
    const Key keys[] = {
        {WM_KEYDOWN, VK_F8, "key down 0x77"},      {WM_KEYUP, VK_F8, "key up 0x77"},
        {WM_SYSKEYDOWN, VK_F10, "key down 0x79"},  {WM_SYSKEYUP, VK_F10, "key up 0x79"},
        {WM_SYSKEYDOWN, VK_MENU, "key down 0x12"}, {WM_SYSKEYUP, VK_MENU, "key up 0x12"},
        {WM_KEYDOWN, VK_F9, "key down 0x78"},      {WM_KEYUP, VK_F9, "key up 0x78"},
    };
    CadSim sim;
    const HWND window = sim.MainWindow();
    ASSERT_NE(window, nullptr);
    std::vector<std::string> expected;
    for (const Key& key : keys) {
        const LPARAM lParam = key.message == WM_KEYUP || key.message == WM_SYSKEYUP
                                  ? static_cast<LPARAM>(0xC0000001u)
                                  : 1;
        ASSERT_TRUE(::PostMessageW(window, key.message, key.code, lParam));
        expected.emplace_back(key.line);
    }
    ASSERT_TRUE(sim.WaitForRecordLine(expected.back()));
    EXPECT_EQ(KeyLines(sim.RecordLines()), expected);
    EXPECT_TRUE(::IsWindow(window));
}

TEST(CadSim, SynthesisedInputReachesTheForegroundMainWindow) {
    CadSim sim;
    const HWND window = sim.MainWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(sim.Send(L"foreground"), 1);
    ASSERT_TRUE(sim.WaitFor([&] { return ::GetForegroundWindow() == window; }));

    INPUT inputs[2] = {};
    inputs[0].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = VK_F8;
    inputs[1] = inputs[0];
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ASSERT_EQ(::SendInput(2, inputs, sizeof(INPUT)), 2u);
    EXPECT_TRUE(sim.WaitForRecordLine("key down 0x77"));
    EXPECT_TRUE(sim.WaitForRecordLine("key up 0x77"));
}

TEST(CadSim, ClearRecordStartsTheRecordAfresh) {
    CadSim sim;
    const HWND window = sim.MainWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(sim.WaitForRecordLine("ready"));
    ASSERT_EQ(sim.Send(L"clear-record"), 1);
    EXPECT_TRUE(sim.RecordLines().empty());
    ASSERT_TRUE(::PostMessageW(window, WM_KEYDOWN, VK_F8, 1));
    ASSERT_TRUE(sim.WaitForRecordLine("key down 0x77"));
    EXPECT_EQ(sim.RecordLines(), std::vector<std::string>{"key down 0x77"});
}

TEST(CadSim, UnknownOrMalformedCommandsAnswerZero) {
    CadSim sim;
    const wchar_t* const commands[] = {
        L"",           L"nonsense",       L"PING",         L"ping extra",    L"class ",
        L"move 1,2,3", L"move 1,2,3,4,5", L"move a,b,c,d", L"move 1,2,-3,4", L" ping",
    };
    for (const wchar_t* command : commands) {
        EXPECT_EQ(sim.Send(command), 0) << std::wstring(command).size() << " units";
    }
    // A message without the command tag is not a command.
    const HWND control = ::FindWindowExW(HWND_MESSAGE, nullptr, cadsim::kControlClassName,
                                         sim.ControlName().c_str());
    ASSERT_NE(control, nullptr);
    const std::wstring ping = L"ping";
    COPYDATASTRUCT data{};
    data.dwData = cadsim::kCommandTag + 1;
    data.cbData = static_cast<DWORD>(ping.size() * sizeof(wchar_t));
    data.lpData = const_cast<wchar_t*>(ping.data());
    EXPECT_EQ(::SendMessageW(control, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)), 0);
    EXPECT_EQ(sim.Send(L"ping"), 1);
}

TEST(CadSim, QuitEndsTheProcessWithExitCodeZero) {
    CadSim sim;
    ASSERT_NE(sim.MainWindow(), nullptr);
    sim.Quit();
    EXPECT_FALSE(sim.IsRunning());
    EXPECT_EQ(sim.ExitCode(), 0u);
    const std::vector<std::string> lines = sim.RecordLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "window-closed");
}

TEST(CadSim, ClosingTheMainWindowEndsTheProcess) {
    CadSim sim;
    const HWND window = sim.MainWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(::PostMessageW(window, WM_CLOSE, 0, 0));
    ASSERT_TRUE(sim.WaitFor([&] { return !sim.IsRunning(); }));
    EXPECT_EQ(sim.ExitCode(), 0u);
}

TEST(CommandLine, QuotedArgumentsReadBackUnchanged) {
    const std::vector<std::wstring> arguments = {
        L"plain",         L"",
        L"with blank",    L"tab\there",
        L"quote\"inside", L"trailing\\",
        L"a\\\\b",        L"blank then\\",
        L"\\\"",          L"Autodesk AutoCAD 2025 - [Drawing1.dwg]",
    };
    const std::wstring line = test_support::BuildCommandLine(L"C:\\bin dir\\cadsim.exe", arguments);
    int count = 0;
    const std::unique_ptr<LPWSTR, decltype(&::LocalFree)> parsed(
        ::CommandLineToArgvW(line.c_str(), &count), &::LocalFree);
    ASSERT_TRUE(parsed);
    ASSERT_EQ(count, static_cast<int>(arguments.size()) + 1);
    EXPECT_EQ(std::wstring(parsed.get()[0]), L"C:\\bin dir\\cadsim.exe");
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        EXPECT_EQ(std::wstring(parsed.get()[i + 1]), arguments[i]) << "argument " << i;
    }
}

}  // namespace
