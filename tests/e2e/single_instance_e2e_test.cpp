#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>

#include "panel_fixture.h"
#include "panel_process.h"
#include "tests/support/wait.h"

namespace {

using test_support::WaitUntil;

// A double-click made twice: the same executable started twice at once, five times over. Each
// time one panel comes up, and the other copy ends by itself with exit code 0.
TEST(SingleInstanceTest, TwoCopiesStartedTogetherLeaveOnePanel) {
    int twoPanels = 0;
    for (int round = 0; round < 5; ++round) {
        SCOPED_TRACE(round);
        // Both objects name one folder, so that they start one and the same copy.
        const std::wstring folder = L"TwoCopiesStartedTogether";
        e2e::PanelProcess first(folder);
        e2e::PanelProcess second(folder);
        ASSERT_EQ(first.ExePath(), second.ExePath());
        first.Start(false);
        second.Start(false);

        ASSERT_TRUE(WaitUntil(
            [&] { return first.ExitCode() || second.ExitCode() || e2e::CountPanels() == 2; },
            20000));
        const bool firstEnded = first.ExitCode().has_value();
        e2e::PanelProcess& ended = firstEnded ? first : second;
        e2e::PanelProcess& running = firstEnded ? second : first;
        if (!ended.ExitCode()) {
            ++twoPanels;
        }
        EXPECT_EQ(ended.ExitCode(), std::optional<DWORD>(0));
        // The copy that runs shows its panel, and it stays the only one.
        HWND panel = nullptr;
        EXPECT_TRUE(WaitUntil(
            [&] {
                panel = ::FindWindowW(L"TMERIDO_A_MainForm", nullptr);
                return panel != nullptr && ::IsWindowVisible(panel);
            },
            20000));
        EXPECT_EQ(e2e::CountPanels(), 1);
        EXPECT_FALSE(running.ExitCode().has_value());

        for (HWND window = ::FindWindowW(L"TMERIDO_A_MainForm", nullptr); window != nullptr;
             window = ::FindWindowExW(nullptr, window, L"TMERIDO_A_MainForm", nullptr)) {
            ::PostMessageW(window, WM_CLOSE, 0, 0);
        }
        EXPECT_TRUE(first.WaitForExit(15000));
        EXPECT_TRUE(second.WaitForExit(15000));
    }
    EXPECT_EQ(twoPanels, 0) << "rounds that left two panels";
}

}  // namespace
