#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "cadlink/cad_window_finder.h"
#include "cadlink/cad_window_texts.h"
#include "cadlink/window_process_path.h"
#include "fakes/fake_processes.h"
#include "fakes/fake_window_system.h"
#include "fakes/program_state.h"

namespace {

using platform::WindowHandle;

struct TextCase {
    std::wstring text;
    bool matches;
};

class CadTitleTest : public testing::TestWithParam<TextCase> {};

TEST_P(CadTitleTest, MatchesOnlyTheTwoExactPrefixes) {
    EXPECT_EQ(cadlink::IsCadMainWindowTitle(GetParam().text), GetParam().matches);
}

INSTANTIATE_TEST_SUITE_P(
    Titles, CadTitleTest,
    testing::Values(TextCase{L"AutoCAD 2025 - [Drawing1.dwg]", true},
                    TextCase{L"Autodesk AutoCAD 2025 - [Drawing1.dwg]", true},
                    TextCase{L"AutoCAD ", true}, TextCase{L"Autodesk AutoCAD ", true},
                    TextCase{L"AutoCAD", false}, TextCase{L"Autodesk AutoCAD", false},
                    TextCase{L"autocad 2025", false}, TextCase{L"AUTOCAD 2025", false},
                    TextCase{L"Autodesk Autocad 2025", false},
                    TextCase{L"Viewer - AutoCAD 2025", false}, TextCase{L" AutoCAD 2025", false},
                    TextCase{L"", false}, TextCase{L"\u25A0 MERIDO_B 1.10", false},
                    TextCase{std::wstring(L"Auto\0CAD 2025", 13), false},
                    TextCase{std::wstring(L"AutoCAD \0x", 10), true}));

class CadClassTest : public testing::TestWithParam<TextCase> {};

TEST_P(CadClassTest, AcceptsAnythingAfterThePrefix) {
    EXPECT_EQ(cadlink::IsCadMainWindowClass(GetParam().text), GetParam().matches);
}

INSTANTIATE_TEST_SUITE_P(
    Classes, CadClassTest,
    testing::Values(TextCase{L"AfxMDIFrame1", true}, TextCase{L"AfxMDIFrame140u", true},
                    TextCase{L"AfxMDIFrame1xYz_99", true}, TextCase{L"AfxMDIFrame", false},
                    TextCase{L"AfxMDIFrame2", false}, TextCase{L"afxmdiframe140u", false},
                    TextCase{L"XAfxMDIFrame140u", false}, TextCase{L"", false}));

class FindCadMainWindowTest : public testing::Test {
  protected:
    void SetUp() override { fakes::ResetProgramState(); }
    fakes::FakeWindowSystem desktop;
};

TEST_F(FindCadMainWindowTest, NoMatchGivesNoneAndClearsTheLastResult) {
    desktop.Add(L"Notepad", L"Notepad");
    cadlink::CadMainWindow = static_cast<WindowHandle>(0x42);

    EXPECT_EQ(cadlink::FindCadMainWindow(desktop), WindowHandle::none);
    EXPECT_EQ(cadlink::CadMainWindow, WindowHandle::none);
}

TEST_F(FindCadMainWindowTest, FirstMatchInEnumerationOrderWinsAndStopsTheWalk) {
    desktop.Add(L"Notepad", L"Notepad");
    const WindowHandle first = desktop.Add(L"Autodesk AutoCAD 2025", L"AfxMDIFrame140u");
    desktop.Add(L"AutoCAD 2024", L"AfxMDIFrame140u");
    desktop.Add(L"Other", L"Other");

    EXPECT_EQ(cadlink::FindCadMainWindow(desktop), first);
    EXPECT_EQ(cadlink::CadMainWindow, first);
    EXPECT_EQ(desktop.visited.size(), 2u);
}

TEST_F(FindCadMainWindowTest, ReadsClassNamesOnlyOfWindowsWhoseTitleMatched) {
    desktop.Add(L"Notepad", L"AfxMDIFrame140u");
    desktop.Add(L"", L"AfxMDIFrame140u");
    const WindowHandle titled = desktop.Add(L"AutoCAD 2025", L"Shell");
    const WindowHandle cad = desktop.Add(L"AutoCAD 2025", L"AfxMDIFrame140u");

    EXPECT_EQ(cadlink::FindCadMainWindow(desktop), cad);
    EXPECT_EQ(desktop.classNameReads, (std::vector<WindowHandle>{titled, cad}));
}

TEST_F(FindCadMainWindowTest, SkipsAWindowWhoseClassCannotBeRead) {
    desktop.Add(L"AutoCAD 2025", std::nullopt);
    const WindowHandle cad = desktop.Add(L"AutoCAD 2025", L"AfxMDIFrame1");
    EXPECT_EQ(cadlink::FindCadMainWindow(desktop), cad);
}

TEST_F(FindCadMainWindowTest, AWindowThatVanishesDuringTheWalkIsSkipped) {
    const WindowHandle vanishing = desktop.Add(L"AutoCAD 2025", L"AfxMDIFrame140u");
    const WindowHandle cad = desktop.Add(L"Autodesk AutoCAD 2026", L"AfxMDIFrame140u");
    desktop.onVisit = [&](WindowHandle handle) {
        if (handle == vanishing) {
            std::erase_if(desktop.windows, [&](const auto& w) { return w.handle == vanishing; });
        }
    };
    EXPECT_EQ(cadlink::FindCadMainWindow(desktop), cad);
}

TEST_F(FindCadMainWindowTest, OnlyTheFirst254CharactersOfALongTitleAreSeen) {
    // A title that would match only after the 254th character never matches.
    desktop.Add(std::wstring(300, L'x') + L"AutoCAD ", L"AfxMDIFrame140u");
    const WindowHandle cad = desktop.Add(L"AutoCAD " + std::wstring(600, L'y'),
                                         L"AfxMDIFrame140u" + std::wstring(600, L'z'));
    EXPECT_EQ(cadlink::FindCadMainWindow(desktop), cad);
}

class WindowProcessPathTest : public testing::Test {
  protected:
    void SetUp() override {
        cad = desktop.Add(L"AutoCAD 2025", L"AfxMDIFrame140u");
        desktop.Find(cad)->processId = 4711;
        desktop.Find(cad)->module = platform::ModuleHandle{0x400000};
        processes.path = L"C:\\Program Files\\Autodesk\\acad.exe";
        processes.onlyModule = platform::ModuleHandle{0x400000};
    }
    fakes::FakeWindowSystem desktop;
    fakes::FakeProcesses processes;
    WindowHandle cad{};
};

TEST_F(WindowProcessPathTest, ReadsTheClassModulePathFromTheWindowsProcessAndClosesIt) {
    EXPECT_EQ(cadlink::GetWindowProcessImagePath(desktop, processes, cad),
              L"C:\\Program Files\\Autodesk\\acad.exe");
    EXPECT_EQ(processes.opens, std::vector<platform::ProcessId>{4711});
    EXPECT_EQ(processes.counters.opened, 1);
    EXPECT_EQ(processes.counters.closed, 1);
}

TEST_F(WindowProcessPathTest, NoWindowMeansEmptyTextAndNoProcessOpened) {
    EXPECT_EQ(cadlink::GetWindowProcessImagePath(desktop, processes, WindowHandle::none), L"");
    EXPECT_EQ(cadlink::GetWindowProcessImagePath(desktop, processes, WindowHandle{0x9999}), L"");
    EXPECT_TRUE(processes.opens.empty());
}

TEST_F(WindowProcessPathTest, AProcessThatCannotBeOpenedGivesEmptyText) {
    processes.canOpen = false;
    EXPECT_EQ(cadlink::GetWindowProcessImagePath(desktop, processes, cad), L"");
    EXPECT_EQ(processes.counters.closed, 0);
}

TEST_F(WindowProcessPathTest, AnUnreadableModuleNameGivesEmptyText) {
    desktop.Find(cad)->module = platform::ModuleHandle{0x123};
    EXPECT_EQ(cadlink::GetWindowProcessImagePath(desktop, processes, cad), L"");
    EXPECT_EQ(processes.counters.closed, 1);
}

}  // namespace
