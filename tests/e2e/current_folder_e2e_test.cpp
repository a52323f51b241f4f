#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>

#include "panel_fixture.h"
#include "save_dialog.h"
#include "tests/support/test_bin_dir.h"
#include "tests/support/wait.h"

namespace {

namespace fs = std::filesystem;
using test_support::SendToCadSim;
using test_support::WaitUntil;

// The started AutoCAD's control window, once it answers.
bool LaunchedCadAnswers() {
    return WaitUntil([] { return SendToCadSim(test_support::kDefaultCadSimControl, L"ping") == 1; },
                     20000);
}

using CurrentFolderTest = e2e::PanelFixture;

// An export into C:\dwg, then ACT with AutoCAD gone: the AutoCAD that the panel starts starts in
// the panel's own current folder, not in the folder of the export.
TEST_F(CurrentFolderTest, TheAutoCadStartedAfterAnExportDoesNotStartInTheExportsFolder) {
    fs::remove_all(L"C:\\dwg");
    fs::create_directories(L"C:\\dwg");
    StartCadWithServer();
    ASSERT_EQ(cad->Send(L"doc add plan.dwg|C:\\dwg\\plan.dwg|3"), 1);
    std::string cadsimPath;
    for (wchar_t c : test_support::TestBinDir() + L"\\cadsim.exe") {
        cadsimPath += static_cast<char>(c);
    }
    StartPanelBesideCad("OFF=0\r\nAppFullName=" + cadsimPath + "\r\n");

    PressWithKeyboard(e2e::kWblockButton);
    HWND dialog = e2e::WaitForSaveDialogOf(e2e::ProcessOf(panel->Window()));
    ASSERT_NE(dialog, nullptr);
    e2e::ActivateWindow(dialog);
    e2e::TapKey(VK_RETURN);
    ASSERT_TRUE(cad->WaitForRecordLine("wrote C:\\dwg\\plan_wblock1.dwg entities=3", 10000));
    cad->Quit();

    ASSERT_TRUE(WaitUntil([&] { return LampPixel() == e2e::kGrey; }, 10000));

    PressWithKeyboard(e2e::kActButton);
    ASSERT_TRUE(LaunchedCadAnswers());
    EXPECT_EQ(SendToCadSim(test_support::kDefaultCadSimControl, L"in-folder C:\\dwg"), 2);
    EXPECT_EQ(SendToCadSim(test_support::kDefaultCadSimControl, L"in-folder " + panel->Folder()),
              1);
    SendToCadSim(test_support::kDefaultCadSimControl, L"quit");
    EXPECT_TRUE(WaitUntil(
        [] { return SendToCadSim(test_support::kDefaultCadSimControl, L"ping") == 0; }, 10000));
}

}  // namespace
