#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <memory>
#include <string>

#include "app/control_panel.h"
#include "app/dark_theme.h"
#include "app/input_list_form.h"
#include "app/lamp.h"
#include "app/message_box.h"
#include "app/panel_layout.h"
#include "app/win32_services.h"
#include "platform/error.h"
#include "tests/support/wait.h"

namespace {

namespace layout = app::layout;

class PanelWindowTest : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        HINSTANCE instance = ::GetModuleHandleW(nullptr);
        app::ControlPanel::RegisterWindowClass(instance);
        app::RegisterLampClass(instance);
        app::RegisterMessageBoxClass(instance);
        app::InputListForm::RegisterWindowClass(instance);
    }

    static std::wstring TempFolder() {
        wchar_t temp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, temp);
        return temp;
    }
    // The settings file of this in-process panel lands in the temporary folder.
    static std::filesystem::path SettingsPath() { return TempFolder() + L"MERIDO_B,ini"; }

    void SetUp() override {
        panel = std::make_unique<app::ControlPanel>(::GetModuleHandleW(nullptr), theme, services,
                                                    TempFolder() + L"MERIDO_B.exe");
        panel->Create();
        panel->Show();
    }
    void TearDown() override { panel->Destroy(); }

    HWND Control(int id) const { return ::GetDlgItem(panel->Window(), id); }

    LOGFONTW FontOf(int id) const {
        LOGFONTW font{};
        auto handle = reinterpret_cast<HGDIOBJ>(::SendMessageW(Control(id), WM_GETFONT, 0, 0));
        ::GetObjectW(handle, sizeof(font), &font);
        return font;
    }

    app::theme::DarkTheme theme;
    app::Win32Services system;
    app::PanelServices services = system.View();
    std::unique_ptr<app::ControlPanel> panel;
};

TEST_F(PanelWindowTest, TheLampIsWhiteWithABlackOutlineBeforeTheFirstTick) {
    HWND lamp = Control(layout::kShape1);
    ::UpdateWindow(lamp);
    EXPECT_EQ(app::LampFill(lamp), RGB(255, 255, 255));
    HDC dc = ::GetDC(lamp);
    RECT client{};
    ::GetClientRect(lamp, &client);
    EXPECT_EQ(::GetPixel(dc, client.right / 2, client.bottom / 2), RGB(255, 255, 255));
    EXPECT_EQ(::GetPixel(dc, 0, client.bottom / 2), RGB(0, 0, 0));
    ::ReleaseDC(lamp, dc);
}

TEST_F(PanelWindowTest, FontsAreTahomaAtTheirHeightsForTheScreensDpi) {
    const int dpi = static_cast<int>(::GetDpiForWindow(panel->Window()));
    struct Case {
        int id;
        int height96;
    };
    for (const Case& c :
         {Case{layout::kButton2, 11}, Case{layout::kLabel1, 11},
          Case{layout::CheckBoxId(platform::OptionBox::Shift), 12},
          Case{layout::CheckBoxId(platform::OptionBox::Off), 12}, Case{layout::kEdit1, 13}}) {
        SCOPED_TRACE(c.id);
        const LOGFONTW font = FontOf(c.id);
        EXPECT_EQ(std::wstring(font.lfFaceName), L"Tahoma");
        EXPECT_EQ(font.lfHeight, -::MulDiv(c.height96, dpi, 96));
        EXPECT_EQ(font.lfWeight, FW_NORMAL);
        EXPECT_EQ(font.lfCharSet, DEFAULT_CHARSET);
    }
}

// To a monitor of 1.5 times the DPI and back: each time the window takes the suggested place,
// its client area is the design size at that DPI, and every control and font is scaled to it.
TEST_F(PanelWindowTest, MovingToAMonitorOfAnotherDpiAndBackRescalesTheLayoutAndFonts) {
    const UINT start = ::GetDpiForWindow(panel->Window());
    struct Step {
        UINT dpi;
        POINT place;
    };
    for (const Step& step : {Step{start * 3 / 2, POINT{10, 20}}, Step{start, POINT{30, 40}}}) {
        SCOPED_TRACE(step.dpi);
        const int dpi = static_cast<int>(step.dpi);
        // The system's suggestion: the new place, and the outer size for the new DPI.
        RECT suggested{0, 0, ::MulDiv(187, dpi, 96), ::MulDiv(48, dpi, 96)};
        ::AdjustWindowRectExForDpi(&suggested, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, FALSE,
                                   WS_EX_DLGMODALFRAME, step.dpi);
        ::OffsetRect(&suggested, step.place.x - suggested.left, step.place.y - suggested.top);
        ::SendMessageW(panel->Window(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                       reinterpret_cast<LPARAM>(&suggested));

        RECT outer{};
        ::GetWindowRect(panel->Window(), &outer);
        EXPECT_EQ(outer.left, step.place.x);
        EXPECT_EQ(outer.top, step.place.y);
        RECT client{};
        ::GetClientRect(panel->Window(), &client);
        EXPECT_EQ(client.right, ::MulDiv(187, dpi, 96));
        EXPECT_EQ(client.bottom, ::MulDiv(48, dpi, 96));
        for (const layout::ControlEntry& entry : layout::kControls) {
            SCOPED_TRACE(entry.id);
            RECT control{};
            ::GetWindowRect(Control(entry.id), &control);
            ::MapWindowPoints(nullptr, panel->Window(), reinterpret_cast<POINT*>(&control), 2);
            EXPECT_EQ(control.left, ::MulDiv(entry.left, dpi, 96));
            EXPECT_EQ(control.top, ::MulDiv(entry.top, dpi, 96));
            EXPECT_EQ(control.right - control.left, ::MulDiv(entry.width, dpi, 96));
            EXPECT_EQ(control.bottom - control.top, ::MulDiv(entry.height, dpi, 96));
        }
        // The option boxes' row is wholly inside the client area; the hidden button stays out.
        RECT off{};
        ::GetWindowRect(Control(layout::CheckBoxId(platform::OptionBox::Off)), &off);
        ::MapWindowPoints(nullptr, panel->Window(), reinterpret_cast<POINT*>(&off), 2);
        EXPECT_LE(off.bottom, client.bottom);
        EXPECT_EQ(FontOf(layout::kEdit1).lfHeight, -::MulDiv(13, dpi, 96));
        EXPECT_EQ(FontOf(layout::kButton2).lfHeight, -::MulDiv(11, dpi, 96));
    }
}

std::wstring MenuText(HMENU menu, UINT position) {
    wchar_t text[256] = {};
    ::GetMenuStringW(menu, position, text, 256, MF_BYPOSITION);
    return text;
}

bool IsSeparator(HMENU menu, UINT position) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE;
    ::GetMenuItemInfoW(menu, position, TRUE, &info);
    return (info.fType & MFT_SEPARATOR) != 0;
}

TEST_F(PanelWindowTest, ThePopupMenuHoldsItsItemsAndTheRegisteredPath) {
    app::PanelMenu menu(theme.MenuBrush());
    HMENU top = menu.Handle();
    ASSERT_EQ(::GetMenuItemCount(top), 5);
    EXPECT_EQ(MenuText(top, 0), L"起動中の AutoCAD を登録");
    EXPECT_TRUE(IsSeparator(top, 1));
    EXPECT_EQ(MenuText(top, 2), L"AppFullName");
    EXPECT_TRUE(IsSeparator(top, 3));
    EXPECT_EQ(MenuText(top, 4), L"バージョン情報");

    EXPECT_EQ(MenuText(::GetSubMenu(top, 2), 0), L"gcad.exe");
    menu.SetRegisteredPath(L"C:\\Program Files\\A&B\\acad.exe");
    ASSERT_EQ(::GetMenuItemCount(top), 5);
    HMENU path = ::GetSubMenu(top, 2);
    ASSERT_EQ(::GetMenuItemCount(path), 1);
    EXPECT_EQ(MenuText(path, 0), L"C:\\Program Files\\A&B\\acad.exe");

    HMENU version = ::GetSubMenu(top, 4);
    ASSERT_EQ(::GetMenuItemCount(version), 1);
    EXPECT_EQ(MenuText(version, 0), L"MERIDO_A 1.00 (2024.02.22)");
}

// The box is modal: a timer of this thread inspects it from inside its loop and answers it.
struct BoxSeen {
    std::wstring title;
    std::wstring text;
    std::wstring button;
    bool hasIcon = false;
    bool centred = false;
};

BoxSeen* g_seen = nullptr;  // the one test that looks at a box sets it for the timer below

void CALLBACK InspectBox(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND box = ::FindWindowW(app::kMessageBoxClassName, nullptr);
    if (box == nullptr || !::IsWindowVisible(box)) {
        return;
    }
    ::KillTimer(nullptr, timer);
    wchar_t text[512] = {};
    ::GetWindowTextW(box, text, 512);
    g_seen->title = text;
    ::GetWindowTextW(::GetDlgItem(box, 0xFFFF), text, 512);
    g_seen->text = text;
    ::GetWindowTextW(::GetDlgItem(box, IDOK), text, 512);
    g_seen->button = text;
    g_seen->hasIcon = ::GetDlgItem(box, 0x14) != nullptr;
    RECT rect{};
    ::GetWindowRect(box, &rect);
    const int width = rect.right - rect.left;
    g_seen->centred = rect.left == (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
}

TEST_F(PanelWindowTest, TheApplicationWideHandlerShowsTheErrorWithAFullStopInTheDarkBox) {
    BoxSeen seen;
    g_seen = &seen;
    ::SetTimer(nullptr, 0, 50, InspectBox);
    panel->ShowError(std::make_exception_ptr(platform::Error(L"C:\\x,ini に書き込めません")));
    g_seen = nullptr;
    EXPECT_EQ(seen.title, L"Merido_b");
    EXPECT_EQ(seen.text, L"C:\\x,ini に書き込めません.");
    EXPECT_EQ(seen.button, L"OK");
    EXPECT_TRUE(seen.hasIcon);
    EXPECT_TRUE(seen.centred);
}

TEST_F(PanelWindowTest, AnErrorThatCarriesNoTextIsShownWithTheJapaneseFallback) {
    BoxSeen seen;
    g_seen = &seen;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, InspectBox);
    panel->ShowError(std::make_exception_ptr(42));
    ::KillTimer(nullptr, timer);
    g_seen = nullptr;
    EXPECT_EQ(seen.text, L"不明なエラーが発生しました.");
    EXPECT_TRUE(seen.hasIcon);
}

TEST_F(PanelWindowTest, AFaultWhileDrawingOrMeasuringTheMenuFallsBackWithoutABox) {
    // An item of the menu's own tag whose index lies past its items: the lookup throws.
    constexpr ULONG_PTR kUnknownItem = 0x4D420000 | 0xFFFF;
    BoxSeen seen;
    g_seen = &seen;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, InspectBox);

    MEASUREITEMSTRUCT measure{};
    measure.CtlType = ODT_MENU;
    measure.itemData = kUnknownItem;
    EXPECT_EQ(
        ::SendMessageW(panel->Window(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure)), 0);
    platform::win32::WindowDc dc(panel->Window());
    DRAWITEMSTRUCT draw{};
    draw.CtlType = ODT_MENU;
    draw.itemData = kUnknownItem;
    draw.hDC = dc.get();
    draw.rcItem = RECT{0, 0, 100, 20};
    EXPECT_EQ(::SendMessageW(panel->Window(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw)), 0);

    // The panel goes on: a real item still measures.
    measure.itemData = 0x4D420000;
    EXPECT_EQ(
        ::SendMessageW(panel->Window(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure)),
        TRUE);
    EXPECT_GT(measure.itemHeight, 0u);
    ::KillTimer(nullptr, timer);
    g_seen = nullptr;
    EXPECT_EQ(seen.title, L"");
}

TEST_F(PanelWindowTest, TheEndOfTheSessionSavesOnceAndTheLaterDestructionWritesNothing) {
    std::filesystem::remove(SettingsPath());
    ::SendMessageW(panel->Window(), WM_ENDSESSION, TRUE, 0);
    EXPECT_TRUE(std::filesystem::exists(SettingsPath()));
    std::filesystem::remove(SettingsPath());
    panel->Destroy();
    EXPECT_FALSE(std::filesystem::exists(SettingsPath()));
}

TEST_F(PanelWindowTest, AFailedWriteAtTheEndOfTheSessionShowsNoBox) {
    std::filesystem::remove(SettingsPath());
    std::filesystem::create_directories(SettingsPath());  // a folder where the file should be
    BoxSeen seen;
    g_seen = &seen;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, InspectBox);
    ::SendMessageW(panel->Window(), WM_ENDSESSION, TRUE, 0);
    ::KillTimer(nullptr, timer);
    g_seen = nullptr;
    std::filesystem::remove(SettingsPath());
    EXPECT_EQ(seen.title, L"");
}

}  // namespace
