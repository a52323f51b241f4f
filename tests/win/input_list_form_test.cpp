#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "app/dark_theme.h"
#include "app/input_list_form.h"
#include "platform/win32/unique_handles.h"
#include "tests/fakes/fake_picker.h"

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

// What the user does once the picker shows with the focus in its list. A timer of this thread
// watches for that moment from inside the showing's own loop; should the showing not end within
// the limit, the timer closes the picker and notes it, so that a missed pick fails the test
// instead of hanging it.
struct PickerDriver {
    HWND picker = nullptr;
    std::function<void(HWND list)> act;
    bool acted = false;
    ULONGLONG started = 0;
    bool timedOut = false;
};
PickerDriver g_driver;

void CALLBACK DrivePicker(HWND, UINT, UINT_PTR, DWORD) {
    HWND list = ::GetDlgItem(g_driver.picker, app::InputListForm::kListId);
    if (!g_driver.acted && ::IsWindowVisible(g_driver.picker) &&
        ::GetForegroundWindow() == g_driver.picker && ::GetFocus() == list) {
        g_driver.acted = true;
        g_driver.act(list);
    } else if (!g_driver.timedOut && ::GetTickCount64() - g_driver.started > 10000) {
        g_driver.timedOut = true;
        ::PostMessageW(g_driver.picker, WM_CLOSE, 0, 0);
    }
}

// Key strokes through the system's input stream, as a user types them; each key of `keys` is
// pressed in order and released in reverse order.
void Type(const std::vector<WORD>& keys) {
    std::vector<INPUT> inputs;
    for (WORD key : keys) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        inputs.push_back(input);
    }
    for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = *key;
        input.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

std::function<void(HWND)> Keys(std::vector<WORD> keys) {
    return [keys](HWND) { Type(keys); };
}

struct PickerCase {
    const char* what;
    int preselected;
    std::function<void(HWND list)> act;
    int result;
    int selected;
};

// The list holds, sorted, "a.dwg", "b.dwg", "Plan.dwg".
TEST_F(InputListFormTest, EachWayOfPickingOrGivingUpEndsTheShowingWithItsResult) {
    using platform::ListPicker;
    const PickerCase cases[] = {
        {"Down picks the item below", 0, Keys({VK_DOWN}), ListPicker::kOk, 1},
        {"Enter with nothing selected", -1, Keys({VK_RETURN}), ListPicker::kOk, -1},
        // Then Esc: the letter left the window open and the selection as it was.
        {"a letter no item begins with", 1, Keys({'Z', VK_ESCAPE}), ListPicker::kCancel, 1},
        {"an upper-case name typed in lower case", 0, Keys({'P'}), ListPicker::kOk, 2},
        {"Alt+F4", 0, Keys({VK_MENU, VK_F4}), ListPicker::kCancel, 0},
        // A double-click on the item already selected: the first click changes nothing.
        {"a double-click", 1,
         [](HWND list) {
             const int height = static_cast<int>(::SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
             ::PostMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, height + height / 2));
         },
         ListPicker::kOk, 1},
        {"the program gaining activation", 0,
         [](HWND list) { ::SendMessageW(::GetParent(list), WM_ACTIVATEAPP, TRUE, 0); },
         ListPicker::kCancel, 0},
    };
    app::InputListForm picker(theme);
    picker.Create(::GetModuleHandleW(nullptr), owner.get());
    for (const wchar_t* item : {L"b.dwg", L"Plan.dwg", L"a.dwg"}) {
        picker.Append(item);
    }
    ASSERT_EQ(picker.TextAt(2), L"Plan.dwg");
    for (const PickerCase& c : cases) {
        SCOPED_TRACE(c.what);
        picker.Select(c.preselected);
        g_driver = PickerDriver{picker.Window(), c.act, false, ::GetTickCount64(), false};
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 20, DrivePicker);
        const int result = picker.ShowModal();
        ::KillTimer(nullptr, timer);
        EXPECT_TRUE(g_driver.acted);
        EXPECT_FALSE(g_driver.timedOut);
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(picker.Selected(), c.selected);
    }
    picker.Destroy();
}

// The fake picker stands in for this list in the switcher's tests: for names with "-", "_",
// digits, case pairs and kana, appended in the same order, both keep the same order.
TEST_F(InputListFormTest, TheFakePickersOrderIsTheRealListsOrder) {
    const std::vector<std::wstring> names = {L"b.dwg",
                                             L"a-c.dwg",
                                             L"ab.dwg",
                                             L"a_1.dwg",
                                             L"a01.dwg",
                                             L"A.dwg",
                                             L"a.dwg",
                                             L"_x.dwg",
                                             L"-x.dwg",
                                             L"x.dwg",
                                             L"\u30a2\u30a2.dwg",
                                             L"\u3042\u3044.dwg",
                                             L"\u3044\u3044.dwg",
                                             L"\u30a4.dwg",
                                             L"Z.dwg",
                                             L"plan-2.dwg",
                                             L"plan_2.dwg",
                                             L"plan2.dwg",
                                             L"plan 2.dwg",
                                             L"plan.dwg"};
    app::InputListForm picker(theme);
    picker.Create(::GetModuleHandleW(nullptr), owner.get());
    fakes::FakePicker fake;
    for (const std::wstring& name : names) {
        picker.Append(name);
        fake.Append(name);
    }
    std::vector<std::wstring> real;
    for (std::size_t i = 0; i < names.size(); ++i) {
        real.push_back(picker.TextAt(static_cast<int>(i)));
    }
    EXPECT_EQ(fake.items, real);
    picker.Destroy();
}

}  // namespace
