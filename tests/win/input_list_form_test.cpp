#include <gtest/gtest.h>
#include <windows.h>

#include "app/dark_theme.h"
#include "app/input_list_form.h"
#include "platform/win32/unique_handles.h"

namespace {

// A stand-in for the panel that notes, when it is enabled again, whether the picker still shows.
struct EnableSeen {
    HWND picker = nullptr;
    int enabled = 0;
    bool pickerVisibleWhenEnabled = false;
};
EnableSeen g_enable;

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ENABLE && wParam != FALSE) {
        ++g_enable.enabled;
        g_enable.pickerVisibleWhenEnabled = ::IsWindowVisible(g_enable.picker) != FALSE;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

class InputListFormTest : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        HINSTANCE instance = ::GetModuleHandleW(nullptr);
        app::InputListForm::RegisterWindowClass(instance);
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = OwnerProc;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = L"PickerOwnerStandIn";
        ::RegisterClassExW(&windowClass);
    }
    void SetUp() override {
        g_enable = EnableSeen{};
        owner.reset(::CreateWindowExW(0, L"PickerOwnerStandIn", L"owner", WS_OVERLAPPEDWINDOW, 0, 0,
                                      200, 100, nullptr, nullptr, ::GetModuleHandleW(nullptr),
                                      nullptr));
        ::ShowWindow(owner.get(), SW_SHOW);
    }

    app::theme::DarkTheme theme;
    platform::win32::UniqueWindow owner;
};

TEST_F(InputListFormTest, TheShowingEndsHiddenBeforeTheOtherWindowsAreEnabledAgain) {
    app::InputListForm picker(theme);
    picker.Create(::GetModuleHandleW(nullptr), owner.get());
    g_enable.picker = picker.Window();
    picker.Append(L"a.dwg");
    // Esc in the list, handled once the showing runs its loop.
    ::PostMessageW(::GetDlgItem(picker.Window(), app::InputListForm::kListId), WM_KEYDOWN,
                   VK_ESCAPE, 0);
    EXPECT_EQ(picker.ShowModal(), platform::ListPicker::kCancel);
    EXPECT_EQ(g_enable.enabled, 1);
    EXPECT_FALSE(g_enable.pickerVisibleWhenEnabled);
    EXPECT_TRUE(::IsWindowEnabled(owner.get()));
    picker.Destroy();
}

TEST_F(InputListFormTest, APickerThatWasNeverCreatedEndsLikeACancelAndDisablesNothing) {
    app::InputListForm picker(theme);
    EXPECT_EQ(picker.ShowModal(), platform::ListPicker::kCancel);
    EXPECT_TRUE(::IsWindowEnabled(owner.get()));
}

RECT WindowRectOf(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return rect;
}

// A move to a monitor of another DPI and back: the picker takes the rectangle the system
// suggests, the user's size scaled, not its first size; the list fills it each time.
TEST_F(InputListFormTest, ADpiChangeKeepsTheUsersSizeScaled) {
    app::InputListForm picker(theme);
    picker.Create(::GetModuleHandleW(nullptr), owner.get());
    HWND window = picker.Window();
    // The user has dragged it to 400 x 320 at 96 DPI.
    ::SetWindowPos(window, nullptr, 50, 60, 400, 320, SWP_NOZORDER | SWP_NOACTIVATE);
    struct Step {
        UINT dpi;
        RECT suggested;
    };
    for (const Step& step :
         {Step{144, RECT{700, 90, 1300, 570}}, Step{96, RECT{50, 60, 450, 380}}}) {
        SCOPED_TRACE(step.dpi);
        RECT suggested = step.suggested;
        ::SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(step.dpi, step.dpi),
                       reinterpret_cast<LPARAM>(&suggested));
        const RECT outer = WindowRectOf(window);
        EXPECT_EQ(outer.left, step.suggested.left);
        EXPECT_EQ(outer.top, step.suggested.top);
        EXPECT_EQ(outer.right, step.suggested.right);
        EXPECT_EQ(outer.bottom, step.suggested.bottom);
        RECT client{};
        ::GetClientRect(window, &client);
        RECT list{};
        ::GetClientRect(::GetDlgItem(window, app::InputListForm::kListId), &list);
        EXPECT_EQ(list.right, client.right);
        EXPECT_EQ(list.bottom, client.bottom);
        LOGFONTW font{};
        ::GetObjectW(reinterpret_cast<HGDIOBJ>(::SendMessageW(
                         ::GetDlgItem(window, app::InputListForm::kListId), WM_GETFONT, 0, 0)),
                     sizeof(font), &font);
        EXPECT_EQ(font.lfHeight, -::MulDiv(13, static_cast<int>(step.dpi), 96));
    }
    picker.Destroy();
}

}  // namespace
