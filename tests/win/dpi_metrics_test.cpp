// The menu's and the boxes' system metrics at the window's DPI. Wine gives every monitor one
// DPI and sends no WM_DPICHANGED, so the DPIs of other monitors are asked for directly here.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/dark_theme.h"
#include "app/message_box.h"
#include "app/panel_menu.h"
#include "platform/win32/unique_handles.h"

namespace {

using SystemParametersForDpi = decltype(&::SystemParametersInfoForDpi);
using SystemMetricsForDpi = decltype(&::GetSystemMetricsForDpi);

constexpr ULONG_PTR kItemTag = 0x4D420000;  // the menu's mark on its items' data
constexpr std::size_t kRegisterItem = 0;    // "起動中の AutoCAD を登録"
constexpr UINT kDpis[] = {96, 144, 192};

template <typename Function>
Function User32(const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), name)));
}

NONCLIENTMETRICSW SystemsOwnMetrics(UINT dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    const auto forDpi = User32<SystemParametersForDpi>("SystemParametersInfoForDpi");
    EXPECT_TRUE(forDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi));
    return metrics;
}

class DpiMetricsTest : public testing::Test {
  protected:
    void SetUp() override {
        if (User32<SystemParametersForDpi>("SystemParametersInfoForDpi") == nullptr ||
            User32<SystemMetricsForDpi>("GetSystemMetricsForDpi") == nullptr) {
            GTEST_SKIP() << "this system has no metrics for a DPI";
        }
    }
};

// The box's font and icon are the system's own for the DPI, and they grow with it.
TEST_F(DpiMetricsTest, TheBoxTakesTheFontAndIconSizeOfItsDpi) {
    const auto metricForDpi = User32<SystemMetricsForDpi>("GetSystemMetricsForDpi");
    const app::BoxSystemLook at96 = app::BoxSystemLookAt(96);
    for (const UINT dpi : kDpis) {
        SCOPED_TRACE(dpi);
        const app::BoxSystemLook look = app::BoxSystemLookAt(dpi);
        const LOGFONTW own = SystemsOwnMetrics(dpi).lfMessageFont;
        EXPECT_EQ(look.font.lfHeight, own.lfHeight);
        EXPECT_EQ(std::wstring(look.font.lfFaceName), std::wstring(own.lfFaceName));
        EXPECT_EQ(look.iconSize, metricForDpi(SM_CXICON, dpi));
        EXPECT_NEAR(std::abs(look.font.lfHeight), std::abs(at96.font.lfHeight) * dpi / 96.0, 1.0);
        EXPECT_EQ(look.iconSize, at96.iconSize * static_cast<int>(dpi) / 96);
    }
}

// A window that hands the menu's measuring and drawing to it, as the panel does.
class MenuOwner {
  public:
    explicit MenuOwner(app::PanelMenu& menu) : menu_(menu) {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = [](HWND handle, UINT message, WPARAM wParam,
                                     LPARAM lParam) -> LRESULT {
            auto* owner = reinterpret_cast<MenuOwner*>(::GetWindowLongPtrW(handle, GWLP_USERDATA));
            if (owner != nullptr && message == WM_MEASUREITEM) {
                auto& measure = *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
                owner->measured.push_back(measure.itemData & 0xFFFF);
                return owner->menu_.Measure(handle, measure);
            }
            if (owner != nullptr && message == WM_DRAWITEM) {
                return owner->menu_.Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            }
            return ::DefWindowProcW(handle, message, wParam, lParam);
        };
        windowClass.lpszClassName = L"MeridoMenuOwner";
        ::RegisterClassW(&windowClass);
        window.reset(::CreateWindowExW(0, L"MeridoMenuOwner", L"", WS_POPUP | WS_VISIBLE, 0, 0, 50,
                                       50, nullptr, nullptr, nullptr, nullptr));
        ::SetWindowLongPtrW(window.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }

    MEASUREITEMSTRUCT Measure(std::size_t item) {
        MEASUREITEMSTRUCT measure{};
        measure.CtlType = ODT_MENU;
        measure.itemData = kItemTag | item;
        EXPECT_TRUE(menu_.Measure(window.get(), measure));
        return measure;
    }

    platform::win32::UniqueWindow window;
    std::vector<std::size_t> measured;  // the items the system had measured, in order

  private:
    app::PanelMenu& menu_;
};

TEST_F(DpiMetricsTest, TheMenuItemsAreMeasuredWithTheMenuFontOfTheDpi) {
    app::theme::DarkTheme theme;
    app::PanelMenu menu(theme.MenuBrush());
    MenuOwner owner(menu);
    menu.SetDpi(96);
    const MEASUREITEMSTRUCT at96 = owner.Measure(kRegisterItem);
    for (const UINT dpi : kDpis) {
        SCOPED_TRACE(dpi);
        menu.SetDpi(dpi);
        const MEASUREITEMSTRUCT measure = owner.Measure(kRegisterItem);
        EXPECT_GE(static_cast<int>(measure.itemHeight),
                  std::abs(SystemsOwnMetrics(dpi).lfMenuFont.lfHeight));
        // The text's width grows with the font: within a few pixels of the DPI's share.
        EXPECT_NEAR(measure.itemWidth, at96.itemWidth * dpi / 96.0, 6.0 * dpi / 96);
    }
}

// While a menu shows, a timer of this thread reads the size of its first item and closes it.
RECT* g_itemRect = nullptr;
HWND g_owner = nullptr;
HMENU g_shown = nullptr;

void CALLBACK ReadFirstItemAndClose(HWND, UINT, UINT_PTR timer, DWORD) {
    if (::GetMenuItemRect(g_owner, g_shown, 0, g_itemRect) && g_itemRect->right > 0) {
        ::KillTimer(nullptr, timer);
        ::EndMenu();
    }
}

RECT ShowAndReadFirstItem(HWND owner, HMENU menu) {
    RECT rect{};
    g_itemRect = &rect;
    g_owner = owner;
    g_shown = menu;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, ReadFirstItemAndClose);
    ::SetForegroundWindow(owner);
    ::TrackPopupMenuEx(menu, TPM_LEFTALIGN | TPM_TOPALIGN, 10, 10, owner, nullptr);
    ::KillTimer(nullptr, timer);
    g_itemRect = nullptr;
    return rect;
}

// A longer path registered after the menu was shown: the item is measured again and wide enough
// for the new path. (Wine measures every item at every showing; Windows keeps an owner-drawn
// item's first size, which is what new items avoid.)
TEST_F(DpiMetricsTest, ThePathItemIsMeasuredAgainAfterALongerPath) {
    app::theme::DarkTheme theme;
    app::PanelMenu menu(theme.MenuBrush());
    MenuOwner owner(menu);
    constexpr std::size_t kPathItem = 3;  // the item under "AppFullName"
    menu.SetRegisteredPath(L"C:\\a.exe");
    const RECT shortRect = ShowAndReadFirstItem(owner.window.get(), ::GetSubMenu(menu.Handle(), 2));
    const std::size_t measuredBefore = owner.measured.size();

    menu.SetRegisteredPath(L"C:\\Program Files\\Autodesk\\AutoCAD 2025\\acad.exe");
    const RECT longRect = ShowAndReadFirstItem(owner.window.get(), ::GetSubMenu(menu.Handle(), 2));
    ASSERT_GT(owner.measured.size(), measuredBefore);
    EXPECT_EQ(owner.measured.back(), kPathItem);
    // The row holds the measured width (and the menu's own margins).
    EXPECT_GE(static_cast<UINT>(longRect.right - longRect.left),
              owner.Measure(kPathItem).itemWidth);
    EXPECT_GT(longRect.right - longRect.left, 2 * (shortRect.right - shortRect.left));
}

}  // namespace
