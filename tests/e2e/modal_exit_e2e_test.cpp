#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "panel_fixture.h"
#include "save_dialog.h"
#include "tests/support/wait.h"

namespace {

namespace fs = std::filesystem;
using test_support::WaitUntil;

// AutoCAD goes away while one of the panel's modal windows is open, with "OFF" ticked: the
// program ends as it does otherwise, with exit code 0, the settings written, within 2 s.
class ModalExitTest : public e2e::PanelFixture {
  protected:
    void SetUp() override {
        PanelFixture::SetUp();
        fs::create_directories(L"C:\\dwg");
        StartCadWithServer();
        ASSERT_EQ(cad->Send(L"doc add plan.dwg|C:\\dwg\\plan.dwg|3"), 1);
        // Shift stored as off: the written file must hold the run's values, not the defaults.
        StartPanelBesideCad("Shift=0\r\n");
    }

    DWORD PanelProcessId() const { return e2e::ProcessOf(panel->Window()); }

    // Closes AutoCAD's window and measures how long the program takes to end.
    void CloseAutoCadAndExpectTheProgramToEnd() {
        const ULONGLONG closed = ::GetTickCount64();
        ASSERT_EQ(cad->Send(L"close-window"), 1);
        ASSERT_TRUE(panel->WaitForExit(10000)) << "the program did not end";
        const ULONGLONG elapsed = ::GetTickCount64() - closed;
        EXPECT_LE(elapsed, 2000u);
        EXPECT_EQ(panel->ExitCode(), 0u);
        const std::vector<std::wstring> lines =
            e2e::FileLinesOf(panel->FileBeside(L"MERIDO_B,ini"));
        EXPECT_NE(std::find(lines.begin(), lines.end(), L"Shift=0"), lines.end());
        EXPECT_NE(std::find(lines.begin(), lines.end(), L"ApiVerNum=24"), lines.end());
    }
};

TEST_F(ModalExitTest, WhileTheSaveDialogIsOpen) {
    PressWithKeyboard(e2e::kWblockButton);
    ASSERT_NE(e2e::WaitForSaveDialogOf(PanelProcessId()), nullptr);
    CloseAutoCadAndExpectTheProgramToEnd();
}

TEST_F(ModalExitTest, WhileThePickerIsOpen) {
    PressWithKeyboard(e2e::kListButton);
    ASSERT_TRUE(WaitUntil(
        [] {
            HWND picker = ::FindWindowW(L"TInputListForm", nullptr);
            return picker != nullptr && ::IsWindowVisible(picker);
        },
        20000));
    CloseAutoCadAndExpectTheProgramToEnd();
}

TEST_F(ModalExitTest, WhileABoxIsOpen) {
    PressWithKeyboard(e2e::kRegisterButton);
    ASSERT_NE(e2e::WaitForBox(), nullptr);
    CloseAutoCadAndExpectTheProgramToEnd();
}

}  // namespace
