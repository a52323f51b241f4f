#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "panel_fixture.h"
#include "platform/win32/unique_handles.h"
#include "tests/support/cadsim_client.h"
#include "tests/support/test_bin_dir.h"
#include "tests/support/wait.h"
#include "user_input.h"

namespace {

using e2e::CadBesideThePanel;
using e2e::kGrey;
using e2e::kLime;
using e2e::TextOf;
using test_support::CadSim;
using test_support::WaitUntil;

// The DPI the bench set for this run; 96 unless told otherwise.
UINT ExpectedDpi() {
    const char* value = std::getenv("MERIDO_EXPECT_DPI");
    return value != nullptr ? static_cast<UINT>(std::atoi(value)) : 96u;
}

int Scaled(int value96) { return ::MulDiv(value96, static_cast<int>(ExpectedDpi()), 96); }

// WM_GETTEXT, which reaches into another process's edit field, unlike GetWindowTextW.
std::wstring ClassOf(HWND window) {
    wchar_t text[256] = {};
    ::GetClassNameW(window, text, 256);
    return text;
}

using PanelTest = e2e::PanelFixture;
using PanelLayoutTest = PanelTest;

TEST_F(PanelLayoutTest, StartsCentredTopmostWithItsCaptionAndClientArea) {
    ASSERT_EQ(::GetDpiForSystem(), ExpectedDpi()) << "the bench did not set the DPI";
    panel->Start();
    HWND window = panel->Window();

    EXPECT_EQ(TextOf(window), L"\u25A0 MERIDO_B 1.10");
    EXPECT_NE(::GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_STYLE);
    EXPECT_NE(style & WS_SYSMENU, 0);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);

    RECT client{};
    ::GetClientRect(window, &client);
    EXPECT_EQ(client.right, Scaled(187));
    EXPECT_EQ(client.bottom, Scaled(48));

    RECT outer{};
    ::GetWindowRect(window, &outer);
    EXPECT_EQ(outer.left, (::GetSystemMetrics(SM_CXSCREEN) - (outer.right - outer.left)) / 2);
    EXPECT_EQ(outer.top, (::GetSystemMetrics(SM_CYSCREEN) - (outer.bottom - outer.top)) / 2);
}

struct ExpectedControl {
    int id;
    const wchar_t* className;
    const wchar_t* text;
    int left, top, width, height;
};

TEST_F(PanelLayoutTest, ControlsHaveTheirTextsPositionsAndStates) {
    panel->Start();
    const std::array<ExpectedControl, 11> controls{{
        {101, L"Button", L" 登録", 83, 58, 39, 25},
        {102, L"Button", L"ACT", 12, 1, 37, 25},
        {103, L"Button", L"WBLOCK", 189, 8, 52, 25},
        {201, L"Button", L"Shift", 47, 28, 44, 17},
        {202, L"Button", L"Ctrl", 94, 28, 40, 17},
        {203, L"Button", L"IME", 2, 28, 41, 17},
        {204, L"Button", L"OFF", 140, 28, 40, 17},
        {104, L"Button", L"LIST", 50, 1, 41, 25},
        {301, L"Edit", L"24", 150, 1, 33, 24},
        {501, L"TShape", L"", 2, 1, 9, 25},
        {401, L"Static", L"API Ver.=", 98, 6, 48, 13},
    }};
    for (const ExpectedControl& expected : controls) {
        SCOPED_TRACE(expected.id);
        HWND control = panel->Control(expected.id);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(::lstrcmpiW(ClassOf(control).c_str(), expected.className), 0);
        EXPECT_EQ(TextOf(control), expected.text);
        EXPECT_TRUE(::IsWindowVisible(control));
        EXPECT_TRUE(::IsWindowEnabled(control));
        RECT rect{};
        ::GetWindowRect(control, &rect);
        ::MapWindowPoints(nullptr, panel->Window(), reinterpret_cast<POINT*>(&rect), 2);
        EXPECT_EQ(rect.left, Scaled(expected.left));
        EXPECT_EQ(rect.top, Scaled(expected.top));
        EXPECT_EQ(rect.right - rect.left, Scaled(expected.width));
        EXPECT_EQ(rect.bottom - rect.top, Scaled(expected.height));
    }
    for (int box = 201; box <= 204; ++box) {
        EXPECT_EQ(::SendMessageW(panel->Control(box), BM_GETCHECK, 0, 0), BST_CHECKED) << box;
    }
    EXPECT_NE(::GetWindowLongPtrW(panel->Control(301), GWL_STYLE) & ES_NUMBER, 0);
}

TEST_F(PanelTest, ASecondCopyEndsAtOnceWithExitCodeZeroAndNoWindow) {
    panel->Start();
    e2e::PanelProcess second(L"SecondCopy-second");
    second.Start(false);
    ASSERT_TRUE(second.WaitForExit(20000));
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_EQ(e2e::CountPanels(), 1);
    // The second copy never touched its settings file.
    EXPECT_EQ(::GetFileAttributesW(second.FileBeside(L"MERIDO_B,ini").c_str()),
              INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(::IsWindow(panel->Window()));
}

TEST_F(PanelTest, LampIsGreyWithoutAutoCadAndTurnsLimeWhenItsWindowAppears) {
    panel->Start();
    ASSERT_TRUE(WaitUntil([&] { return LampPixel() == kGrey; }, 10000)) << std::hex << LampPixel();

    CadSim sim(CadBesideThePanel());
    EXPECT_TRUE(WaitUntil([&] { return LampPixel() == kLime; }, 10000)) << std::hex << LampPixel();
    // The outline stays black.
    RECT lamp{};
    ::GetWindowRect(Lamp(), &lamp);
    EXPECT_EQ(e2e::ScreenPixel(POINT{lamp.left, (lamp.top + lamp.bottom) / 2}), RGB(0, 0, 0));
}

TEST_F(PanelTest, ClosesItselfWithExitCodeZeroWhenAutoCadGoesAfterBeingSeen) {
    CadSim sim(CadBesideThePanel());
    panel->Start();
    ASSERT_TRUE(WaitUntil([&] { return LampPixel() == kLime; }, 10000));
    sim.Send(L"close-window");
    ASSERT_TRUE(panel->WaitForExit(10000));
    EXPECT_EQ(panel->ExitCode(), 0u);
}

TEST_F(PanelTest, StaysOpenWhenAutoCadWasNeverSeen) {
    CadSim::Options lookalike = CadBesideThePanel();
    lookalike.className = L"NotAnMdiFrame";  // the title matches, the class does not
    CadSim sim(lookalike);
    panel->Start();
    ASSERT_TRUE(WaitUntil([&] { return LampPixel() == kGrey; }, 10000));
    sim.Send(L"close-window");
    // A negative can only be shown over time: five ticks and more.
    EXPECT_FALSE(panel->WaitForExit(1500));
    EXPECT_TRUE(::IsWindow(panel->Window()));
}

TEST_F(PanelTest, AnOptionBoxClickTogglesItAndBringsAutoCadToTheFront) {
    CadSim sim(CadBesideThePanel());
    panel->Start();
    // The first tick has run, and the panel is active with its focus settled, so that the click
    // is a click and not the window's activation.
    ASSERT_TRUE(WaitUntil([&] { return LampPixel() == kLime; }, 10000));
    ActivatePanel();
    HWND off = panel->Control(204);
    EXPECT_TRUE(e2e::ClickCentreUntil(
        off, [&] { return ::SendMessageW(off, BM_GETCHECK, 0, 0) == BST_UNCHECKED; }));
    EXPECT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == sim.MainWindow(); }, 10000));

    EXPECT_TRUE(e2e::ClickCentreUntil(
        off, [&] { return ::SendMessageW(off, BM_GETCHECK, 0, 0) == BST_CHECKED; }));
}

// Whether `upper` comes before `lower` in the desktop's stacking order, top first.
bool IsAbove(HWND upper, HWND lower) {
    for (HWND window = ::GetTopWindow(nullptr); window != nullptr;
         window = ::GetWindow(window, GW_HWNDNEXT)) {
        if (window == upper || window == lower) {
            return window == upper;
        }
    }
    return false;
}

// A box stored as off is unticked by the program while the panel is created, which counts as a
// click: its handler brings cadsim to the front. The panel then shows in front of everything,
// so the handler's trace is the stacking: cadsim has come above the window that was in front.
TEST_F(PanelTest, ABoxStoredAsOffBringsAutoCadToTheFrontWhileThePanelIsCreated) {
    CadSim sim(CadBesideThePanel());
    platform::win32::UniqueWindow other(::CreateWindowExW(
        0, L"STATIC", L"in front of cadsim", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 600, 420, 300, 300,
        nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr));
    ASSERT_NE(other, nullptr);
    ::SetForegroundWindow(other.get());
    ASSERT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == other.get(); }, 10000));
    ASSERT_TRUE(IsAbove(other.get(), sim.MainWindow()));

    StoreSettings("Shift=0\r\n");
    panel->Start();
    ASSERT_TRUE(WaitUntil([&] { return LampPixel() == kLime; }, 10000));
    EXPECT_FALSE(Ticked(e2e::kShiftBox));
    EXPECT_TRUE(IsAbove(sim.MainWindow(), other.get()));
}

TEST_F(PanelTest, FocusStartsOnTheHiddenRegisterButtonAndTabWalksTheTabOrder) {
    panel->Start();
    ActivatePanel();
    EXPECT_EQ(FocusOfPanel(), panel->Control(101));

    const int order[] = {102, 103, 201, 202, 203, 204, 104, 301, 101};
    for (int id : order) {
        e2e::TapKey(VK_TAB);
        EXPECT_TRUE(WaitUntil([&] { return FocusOfPanel() == panel->Control(id); }, 5000)) << id;
    }
    // Shift+Tab and the arrows go back and forth between buttons and boxes.
    e2e::TapKey(VK_TAB, {VK_SHIFT});
    EXPECT_TRUE(WaitUntil([&] { return FocusOfPanel() == panel->Control(301); }, 5000));
    e2e::TapKey(VK_TAB);
    e2e::TapKey(VK_RIGHT);
    EXPECT_TRUE(WaitUntil([&] { return FocusOfPanel() == panel->Control(102); }, 5000));
    e2e::TapKey(VK_UP);
    EXPECT_TRUE(WaitUntil([&] { return FocusOfPanel() == panel->Control(101); }, 5000));
    e2e::TapKey(VK_DOWN);
    EXPECT_TRUE(WaitUntil([&] { return FocusOfPanel() == panel->Control(102); }, 5000));
    e2e::TapKey(VK_LEFT);
    EXPECT_TRUE(WaitUntil([&] { return FocusOfPanel() == panel->Control(101); }, 5000));
}

// The panel's keys on its own controls, with cadsim beside it: a handler that ran where none
// should would hand the foreground to cadsim.
class PanelKeysTest : public PanelTest {
  protected:
    void SetUp() override {
        PanelTest::SetUp();
        cad = std::make_unique<CadSim>(CadBesideThePanel());
        panel->Start();
        ASSERT_TRUE(WaitUntil([&] { return LampPixel() == kLime; }, 10000));
        ActivatePanel();
    }

    // Tabs until the control has the focus.
    void FocusWithTab(int id) {
        HWND control = panel->Control(id);
        for (int step = 0; step < 10 && FocusOfPanel() != control; ++step) {
            HWND before = FocusOfPanel();
            e2e::TapKey(VK_TAB);
            ASSERT_TRUE(WaitUntil([&] { return FocusOfPanel() != before; }, 10000));
        }
        ASSERT_EQ(FocusOfPanel(), control);
    }

    std::unique_ptr<CadSim> cad;
};

TEST_F(PanelKeysTest, SpaceOnAnOptionBoxTogglesItAndBringsAutoCadToTheFront) {
    FocusWithTab(e2e::kShiftBox);
    e2e::TapKey(VK_SPACE);
    EXPECT_TRUE(WaitUntil([&] { return !Ticked(e2e::kShiftBox); }, 10000));
    EXPECT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == cad->MainWindow(); }, 10000));
}

// Enter and Esc on a box and in the version field do nothing: the box keeps its tick, the field
// its text, the panel stays open and in front. The Tab after them is handled after them, so
// once the focus has moved on, they have had their effect, if any.
TEST_F(PanelKeysTest, EnterAndEscDoNothingOnABoxAndInTheVersionField) {
    struct Case {
        int id;
        int next;
    };
    for (const Case& c :
         {Case{e2e::kShiftBox, e2e::kCtrlBox}, Case{e2e::kVersionField, e2e::kRegisterButton}}) {
        SCOPED_TRACE(c.id);
        FocusWithTab(c.id);
        e2e::TapKey(VK_RETURN);
        e2e::TapKey(VK_ESCAPE);
        e2e::TapKey(VK_TAB);
        EXPECT_TRUE(WaitUntil([&] { return FocusOfPanel() == panel->Control(c.next); }, 10000));
        EXPECT_EQ(::GetForegroundWindow(), panel->Window());
        EXPECT_TRUE(Ticked(e2e::kShiftBox));
        EXPECT_EQ(TextOf(panel->Control(e2e::kVersionField)), L"24");
        EXPECT_EQ(::FindWindowW(L"TMessageForm", nullptr), nullptr);
    }
}

// In the version field the arrows move the caret and the focus stays; a digit typed after
// them lands in the field.
TEST_F(PanelKeysTest, TheArrowKeysMoveTheCaretInTheVersionField) {
    HWND field = panel->Control(e2e::kVersionField);
    FocusWithTab(e2e::kVersionField);
    ::SendMessageW(field, EM_SETSEL, 2, 2);
    const auto caret = [&] {
        // Both ends in the answer itself: no pointer into this process crosses over.
        const auto selection = static_cast<DWORD>(::SendMessageW(field, EM_GETSEL, 0, 0));
        return LOWORD(selection) == HIWORD(selection) ? static_cast<int>(LOWORD(selection)) : -1;
    };
    e2e::TapKey(VK_LEFT);
    EXPECT_TRUE(WaitUntil([&] { return caret() == 1; }, 10000));
    e2e::TapKey(VK_RIGHT);
    EXPECT_TRUE(WaitUntil([&] { return caret() == 2; }, 10000));
    e2e::TapKey(VK_UP);
    e2e::TapKey(VK_DOWN);
    e2e::TapKey('7');
    EXPECT_TRUE(WaitUntil([&] { return TextOf(field).size() == 3; }, 10000)) << TextOf(field);
    EXPECT_EQ(FocusOfPanel(), field);
}

TEST_F(PanelTest, RightClickOpensThePopupMenuAndClosingEndsWithExitCodeZero) {
    panel->Start();
    e2e::RightClickAt(e2e::CentreOf(panel->Control(401)));
    HWND menu = nullptr;
    EXPECT_TRUE(WaitUntil(
        [&] {
            menu = ::FindWindowW(L"#32768", nullptr);
            return menu != nullptr && ::IsWindowVisible(menu);
        },
        10000));
    e2e::TapKey(VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindowVisible(menu); }, 10000));
    ASSERT_TRUE(panel->CloseAndWait());
    EXPECT_EQ(panel->ExitCode(), 0u);
}

// The pop-up menu that is showing, none when none shows within the limit.
HWND WaitForMenu() {
    HWND menu = nullptr;
    WaitUntil(
        [&] {
            menu = ::FindWindowW(L"#32768", nullptr);
            return menu != nullptr && ::IsWindowVisible(menu);
        },
        10000);
    return menu != nullptr && ::IsWindowVisible(menu) ? menu : nullptr;
}

// The panel's own pop-up menu is drawn dark; the system menu keeps the system's light colours.
// Judged by a column of pixels near the menu's right edge, clear of the item texts.
bool IsDarkMenu(HWND menu) {
    RECT rect{};
    ::GetWindowRect(menu, &rect);
    const int x = rect.right - 6;
    int dark = 0;
    int all = 0;
    for (int y = rect.top + 4; y < rect.bottom - 4; y += 2, ++all) {
        const COLORREF pixel = e2e::ScreenPixel(POINT{x, y});
        dark += GetRValue(pixel) < 100 && GetGValue(pixel) < 100 && GetBValue(pixel) < 100;
    }
    return all > 0 && dark * 2 > all;
}

// A right-click on the caption gives the system's handling (its window menu), not the panel's
// pop-up menu, which a right-click on the panel's face still opens.
TEST_F(PanelTest, ARightClickOnTheCaptionDoesNotOpenThePopupMenu) {
    panel->Start();
    ActivatePanel();
    RECT outer{};
    ::GetWindowRect(panel->Window(), &outer);
    POINT client{0, 0};
    ::ClientToScreen(panel->Window(), &client);
    const POINT caption{(outer.left + outer.right) / 2, (outer.top + client.y) / 2};
    ASSERT_EQ(::SendMessageW(panel->Window(), WM_NCHITTEST, 0, MAKELPARAM(caption.x, caption.y)),
              HTCAPTION);

    e2e::RightClickAt(caption);
    HWND menu = WaitForMenu();
    if (menu != nullptr) {
        EXPECT_FALSE(IsDarkMenu(menu));
        e2e::TapKey(VK_ESCAPE);
        ASSERT_TRUE(WaitUntil([&] { return !::IsWindowVisible(menu); }, 10000));
    }

    ActivatePanel();
    e2e::RightClickAt(e2e::CentreOf(panel->Control(e2e::kLabel)));
    menu = WaitForMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(IsDarkMenu(menu));
    e2e::TapKey(VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindowVisible(menu); }, 10000));
}

// A box belongs to the panel: owned by it, it adds no taskbar button of its own.
TEST_F(PanelTest, AnInformationBoxIsOwnedByThePanel) {
    panel->Start();
    PressWithKeyboard(e2e::kActButton);  // no AutoCAD and nothing registered: a message
    HWND box = e2e::WaitForBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(::GetWindow(box, GW_OWNER), panel->Window());
    EXPECT_EQ(::GetWindowLongPtrW(box, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
    e2e::AnswerBox(box);
}

// A DLL planted beside the executable under the name of one that the panel loads at run time
// (the window manager's, for the dark caption) is never loaded: the system's is.
TEST_F(PanelTest, ADllPlantedBesideTheExecutableIsNotLoaded) {
    const std::wstring probe = test_support::TestBinDir() + L"\\merido_dll_probe.dll";
    ASSERT_TRUE(::CopyFileW(probe.c_str(), panel->FileBeside(L"dwmapi.dll").c_str(), FALSE));
    panel->Start();
    ASSERT_TRUE(panel->CloseAndWait());
    EXPECT_EQ(panel->ExitCode(), 0u);
    EXPECT_EQ(::GetFileAttributesW(panel->FileBeside(L"dll-probe-loaded.txt").c_str()),
              INVALID_FILE_ATTRIBUTES);
}

}  // namespace
