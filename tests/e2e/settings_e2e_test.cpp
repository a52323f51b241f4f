#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "panel_fixture.h"
#include "tests/support/wait.h"
#include "user_input.h"

namespace {

namespace fs = std::filesystem;
using test_support::WaitUntil;

// The settings file's lines; its keys and values here are ASCII.
std::vector<std::string> FileLines(const std::wstring& path) {
    std::vector<std::string> lines;
    for (const std::wstring& line : e2e::FileLinesOf(path)) {
        lines.emplace_back(line.begin(), line.end());
    }
    return lines;
}

void WriteFile(const std::wstring& path, const std::string& text) {
    std::ofstream(fs::path(path), std::ios::binary) << text;
}

using e2e::TextOf;

bool HasLine(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// What a logoff or a shutdown does: wineboot ends the session of this test's own Wine prefix,
// asking every program's windows and ending the programs. True when it ran to its end.
bool EndWineSession() {
    wchar_t system[MAX_PATH] = {};
    ::GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring program = std::wstring(system) + L"\\wineboot.exe";
    std::wstring commandLine = L"\"" + program + L"\" --end-session";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &info)) {
        return false;
    }
    platform::win32::UniqueKernelHandle process(info.hProcess);
    ::CloseHandle(info.hThread);
    return ::WaitForSingleObject(process.get(), 30000) == WAIT_OBJECT_0;
}

class SettingsTest : public e2e::PanelFixture {
  protected:
    std::wstring SettingsPath() const { return panel->FileBeside(L"MERIDO_B,ini"); }

    RECT PanelRect() const {
        RECT rect{};
        ::GetWindowRect(panel->Window(), &rect);
        return rect;
    }
    std::pair<int, int> Centred() const {
        const RECT rect = PanelRect();
        return {(::GetSystemMetrics(SM_CXSCREEN) - (rect.right - rect.left)) / 2,
                (::GetSystemMetrics(SM_CYSCREEN) - (rect.bottom - rect.top)) / 2};
    }
};

TEST_F(SettingsTest, WithoutAFileTheDefaultsApplyAndClosingWritesTheEightKeysInOrder) {
    panel->Start();
    EXPECT_EQ(TextOf(panel->Control(301)), L"24");
    for (int box = 201; box <= 204; ++box) {
        EXPECT_TRUE(Ticked(box)) << box;
    }
    EXPECT_EQ((std::pair<int, int>{PanelRect().left, PanelRect().top}), Centred());
    EXPECT_FALSE(fs::exists(fs::path(SettingsPath())));

    const RECT rect = PanelRect();
    ASSERT_TRUE(panel->CloseAndWait());
    EXPECT_EQ(panel->ExitCode(), 0u);
    EXPECT_EQ(FileLines(SettingsPath()),
              (std::vector<std::string>{"[AutoCAD]", "Left=" + std::to_string(rect.left),
                                        "Top=" + std::to_string(rect.top), "AppFullName=",
                                        "Shift=1", "Ctrl=1", "IME=1", "OFF=1", "ApiVerNum=24"}));
}

struct StoredCase {
    const char* left;  // stored under Left; Top stays at 100
    int expectedLeft;  // INT32_MAX: the centred default
};

class StoredPositionTest : public SettingsTest, public testing::WithParamInterface<StoredCase> {};

TEST_P(StoredPositionTest, TheStoredLeftEdgeIsReadByTheIntegerRule) {
    WriteFile(SettingsPath(),
              std::string("[AutoCAD]\r\nLeft=") + GetParam().left + "\r\nTop=100\r\n");
    panel->Start();
    const int expected =
        GetParam().expectedLeft == INT32_MAX ? Centred().first : GetParam().expectedLeft;
    EXPECT_EQ(PanelRect().left, expected);
    EXPECT_EQ(PanelRect().top, 100);
}

INSTANTIATE_TEST_SUITE_P(Values, StoredPositionTest,
                         testing::Values(StoredCase{"0x20", 32}, StoredCase{"0X20", 32},
                                         StoredCase{"$20", 32}, StoredCase{"x20", 32},
                                         StoredCase{"-40", -40}, StoredCase{"12px", INT32_MAX},
                                         StoredCase{"2147483648", INT32_MAX},
                                         StoredCase{"0x123456789", INT32_MAX},
                                         StoredCase{"0x0FFFFFFFF", -1},
                                         // Accepted, then clamped by the window system.
                                         StoredCase{"-2147483648", -32768}));

TEST_F(SettingsTest, StoredOptionsAndAnEmptyVersionShowInThePanel) {
    WriteFile(SettingsPath(),
              "[AutoCAD]\r\nShift=0\r\nCtrl=false\r\nIME=2\r\nOFF=\r\nApiVerNum=\r\n"
              "AppFullName=C:\\CAD\\acad.exe\r\n");
    panel->Start();
    EXPECT_FALSE(Ticked(201));
    EXPECT_TRUE(Ticked(202));  // text the integer rule rejects gives the default
    EXPECT_TRUE(Ticked(203));
    EXPECT_TRUE(Ticked(204));
    EXPECT_EQ(TextOf(panel->Control(301)), L"");

    ASSERT_TRUE(panel->CloseAndWait());
    const std::vector<std::string> lines = FileLines(SettingsPath());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Shift=0"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Ctrl=1"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "ApiVerNum="), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "AppFullName=C:\\CAD\\acad.exe"), lines.end());
}

TEST_F(SettingsTest, AFileEndingInDotIniBesideTheExecutableIsNeverRead) {
    WriteFile(panel->FileBeside(L"MERIDO_B.ini"), "[AutoCAD]\r\nLeft=0x20\r\nShift=0\r\n");
    panel->Start();
    EXPECT_EQ(PanelRect().left, Centred().first);
    EXPECT_TRUE(Ticked(201));
}

TEST_F(SettingsTest, ACopyUnderAnotherNameUsesTheSettingsFileOfThatName) {
    panel.reset();
    panel = std::make_unique<e2e::PanelProcess>(L"RenamedCopy", L"Panel2.exe");
    WriteFile(panel->FileBeside(L"Panel2,ini"), "[AutoCAD]\r\nLeft=0x20\r\nTop=64\r\n");
    panel->Start();
    EXPECT_EQ(PanelRect().left, 32);
    EXPECT_EQ(PanelRect().top, 64);
    ASSERT_TRUE(panel->CloseAndWait());
    EXPECT_FALSE(fs::exists(fs::path(panel->FileBeside(L"MERIDO_B,ini"))));
    EXPECT_EQ(FileLines(panel->FileBeside(L"Panel2,ini"))[1], "Left=32");
}

TEST_F(SettingsTest, APanelClosedWhileMinimisedSavesItsRestoredPosition) {
    WriteFile(SettingsPath(), "[AutoCAD]\r\nLeft=200\r\nTop=150\r\n");
    panel->Start();
    ::ShowWindow(panel->Window(), SW_MINIMIZE);
    ASSERT_TRUE(WaitUntil([&] { return ::IsIconic(panel->Window()) != FALSE; }, 10000));
    ASSERT_TRUE(panel->CloseAndWait());
    const std::vector<std::string> lines = FileLines(SettingsPath());
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[1], "Left=200");
    EXPECT_EQ(lines[2], "Top=150");
}

TEST_F(SettingsTest, TheEndOfTheSessionWritesTheValuesChangedDuringTheRun) {
    StoreSettings("OFF=1\r\nApiVerNum=24\r\n");
    panel->Start();
    ::SendMessageW(panel->Control(e2e::kOffBox), BM_CLICK, 0, 0);
    ::SendMessageW(panel->Control(e2e::kVersionField), WM_SETTEXT, 0,
                   reinterpret_cast<LPARAM>(L"25"));
    ASSERT_FALSE(Ticked(e2e::kOffBox));

    ASSERT_TRUE(EndWineSession());
    ASSERT_TRUE(panel->WaitForExit(15000));
    EXPECT_EQ(panel->ExitCode(), 0u);
    const std::vector<std::string> lines = FileLines(SettingsPath());
    EXPECT_TRUE(HasLine(lines, "OFF=0"));
    EXPECT_TRUE(HasLine(lines, "ApiVerNum=25"));
    EXPECT_TRUE(HasLine(lines, "Shift=1"));
}

TEST_F(SettingsTest, TheRestartManagersRequestClosesThePanelAfterOneSave) {
    panel->Start();
    ::SendMessageW(panel->Control(e2e::kOffBox), BM_CLICK, 0, 0);
    ASSERT_FALSE(Ticked(e2e::kOffBox));

    // An installer closing the program: the end of the session, for this program alone.
    EXPECT_EQ(::SendMessageW(panel->Window(), WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP), TRUE);
    ::SendMessageW(panel->Window(), WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP);
    ASSERT_TRUE(panel->WaitForExit(3000));
    EXPECT_EQ(panel->ExitCode(), 0u);
    const std::vector<std::string> lines = FileLines(SettingsPath());
    EXPECT_EQ(lines.size(), 9u);
    EXPECT_TRUE(HasLine(lines, "OFF=0"));
}

TEST_F(SettingsTest, AfterACancelledEndOfSessionANormalCloseSavesOnce) {
    panel->Start();
    EXPECT_EQ(::SendMessageW(panel->Window(), WM_QUERYENDSESSION, 0, 0), TRUE);
    ::SendMessageW(panel->Window(), WM_ENDSESSION, FALSE, 0);
    // The cancelled end changes nothing: no file yet, the panel and its timer go on.
    EXPECT_FALSE(fs::exists(fs::path(SettingsPath())));
    ::SendMessageW(panel->Control(e2e::kShiftBox), BM_CLICK, 0, 0);

    ASSERT_TRUE(panel->CloseAndWait());
    EXPECT_EQ(panel->ExitCode(), 0u);
    const std::vector<std::string> lines = FileLines(SettingsPath());
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[4], "Shift=0");
}

TEST_F(SettingsTest, AnUnwritableSettingsFileGivesOneErrorBoxAtExitAndTheProgramStillEnds) {
    fs::create_directories(fs::path(SettingsPath()));  // a folder where the file should be
    panel->Start();
    ::PostMessageW(panel->Window(), WM_CLOSE, 0, 0);

    HWND box = e2e::WaitForBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(TextOf(box), L"Merido_b");
    EXPECT_EQ(e2e::BoxText(box), SettingsPath() + L" に書き込めません.");
    e2e::AnswerBox(box);
    ASSERT_TRUE(panel->WaitForExit(10000));
    EXPECT_EQ(panel->ExitCode(), 0u);
    EXPECT_EQ(::FindWindowW(L"TMessageForm", nullptr), nullptr);
}

}  // namespace
