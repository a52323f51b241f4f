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

}  // namespace
