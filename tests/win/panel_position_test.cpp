// The panel's stored place: applied in one move at start-up and written back unchanged when
// nothing else moved the panel.

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/control_panel.h"
#include "app/dark_theme.h"
#include "app/input_list_form.h"
#include "app/lamp.h"
#include "app/message_box.h"
#include "app/win32_services.h"

namespace {

namespace fs = std::filesystem;

// The places the panel is asked to move to, seen by a hook on this thread.
std::vector<POINT>* g_moves = nullptr;

LRESULT CALLBACK RecordMoves(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && g_moves != nullptr && call->message == WM_WINDOWPOSCHANGING) {
        wchar_t name[64] = {};
        ::GetClassNameW(call->hwnd, name, 64);
        const auto* position = reinterpret_cast<const WINDOWPOS*>(call->lParam);
        if (std::wstring(name) == app::kPanelClassName && (position->flags & SWP_NOMOVE) == 0) {
            g_moves->push_back(POINT{position->x, position->y});
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

std::wstring Stored(const fs::path& file, const wchar_t* key) {
    wchar_t value[64] = {};
    ::GetPrivateProfileStringW(L"AutoCAD", key, L"", value, 64, file.c_str());
    return value;
}

TEST(PanelPositionTest, TheStoredPlaceIsTakenInOneMoveAndWrittenBackExactly) {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    app::ControlPanel::RegisterWindowClass(instance);
    app::RegisterLampClass(instance);
    app::RegisterMessageBoxClass(instance);
    app::InputListForm::RegisterWindowClass(instance);
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const fs::path folder = fs::path(temp) / L"merido-position";
    fs::remove_all(folder);
    fs::create_directories(folder);
    std::ofstream(folder / L"MERIDO_B,ini", std::ios::binary)
        << "[AutoCAD]\r\nLeft=123\r\nTop=-45\r\nApiVerNum=24\r\n";

    app::theme::DarkTheme theme;
    app::Win32Services system;
    std::vector<POINT> moves;
    g_moves = &moves;
    HHOOK hook = ::SetWindowsHookExW(WH_CALLWNDPROC, RecordMoves, nullptr, ::GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    {
        app::ControlPanel panel(instance, theme, system.View(),
                                (folder / L"MERIDO_B.exe").wstring());
        panel.Create();
        panel.Show();
        RECT outer{};
        ::GetWindowRect(panel.Window(), &outer);
        EXPECT_EQ(outer.left, 123);
        EXPECT_EQ(outer.top, -45);
        panel.Destroy();
    }
    ::UnhookWindowsHookEx(hook);
    g_moves = nullptr;

    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0].x, 123);
    EXPECT_EQ(moves[0].y, -45);
    EXPECT_EQ(Stored(folder / L"MERIDO_B,ini", L"Left"), L"123");
    EXPECT_EQ(Stored(folder / L"MERIDO_B,ini", L"Top"), L"-45");
}

}  // namespace
