#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "panel_fixture.h"
#include "save_dialog.h"
#include "tests/support/test_bin_dir.h"

namespace {

namespace fs = std::filesystem;
using e2e::SaveDialogOf;
using test_support::CadSim;
using test_support::WaitUntil;

constexpr int kNameCombo = 0x47C;  // cmb13: the name field of the save dialog
constexpr int kNameEdit = 0x480;   // edt1, where the dialog has the plain edit instead

std::wstring NameFieldText(HWND dialog) {
    HWND field = ::GetDlgItem(dialog, kNameCombo);
    if (field == nullptr) {
        field = ::GetDlgItem(dialog, kNameEdit);
    }
    return e2e::TextOf(field);
}

// The settings line that registers cadsim.exe beside the tests as AutoCAD's executable.
std::string CadsimRegistered() {
    std::string path;
    for (wchar_t c : test_support::TestBinDir() + L"\\cadsim.exe") {
        path += static_cast<char>(c);
    }
    return "AppFullName=" + path + "\r\n";
}

int CountLines(const std::vector<std::string>& lines, const std::string& prefix) {
    return static_cast<int>(std::count_if(
        lines.begin(), lines.end(), [&](const std::string& l) { return l.starts_with(prefix); }));
}

// cadsim with the active drawing C:\dwg\plan_wblock1.dwg holding entities.
class ExportTest : public e2e::PanelFixture {
  protected:
    void SetUp() override {
        PanelFixture::SetUp();
        fs::remove_all(L"C:\\dwg");
        fs::create_directories(L"C:\\dwg");
        StartCadWithServer();
        ASSERT_EQ(cad->Send(L"doc add plan_wblock1.dwg|C:\\dwg\\plan_wblock1.dwg|7"), 1);
    }

    void StartPanel(const std::string& settings = "") { StartPanelBesideCad(settings); }

    // Tab from "ACT" reaches the hidden "WBLOCK" button; Enter presses it. The focus stays
    // there afterwards, so a second export needs Enter alone.
    void PressWblockFromTheKeyboard() {
        ActivatePanel();
        if (FocusOfPanel() != panel->Control(e2e::kWblockButton)) {
            ASSERT_EQ(FocusOfPanel(), panel->Control(e2e::kRegisterButton));
            e2e::TapKey(VK_TAB);
            ASSERT_TRUE(WaitUntil([&] { return FocusOfPanel() == panel->Control(e2e::kActButton); },
                                  10000));
            e2e::TapKey(VK_TAB);
            ASSERT_TRUE(WaitUntil(
                [&] { return FocusOfPanel() == panel->Control(e2e::kWblockButton); }, 10000));
        }
        e2e::TapKey(VK_RETURN);
    }

    DWORD PanelProcessId() const {
        DWORD processId = 0;
        ::GetWindowThreadProcessId(panel->Window(), &processId);
        return processId;
    }
    // Whether a save dialog is up now; used once the command is known to have ended.
    bool SaveDialogIsUp() const { return SaveDialogOf(PanelProcessId()) != nullptr; }

    HWND WaitForSaveDialog() {
        HWND dialog = nullptr;
        WaitUntil(
            [&] {
                dialog = SaveDialogOf(PanelProcessId());
                return dialog != nullptr;
            },
            15000);
        return dialog;
    }

    void AcceptSaveDialog(HWND dialog) {
        e2e::ActivateWindow(dialog);
        e2e::TapKey(VK_RETURN);
        ASSERT_TRUE(WaitUntil([&] { return !::IsWindowVisible(dialog); }, 10000));
    }

    bool NoLiveObjects() {
        return cad->WaitFor([&] { return cad->LiveObjects() == 0; }, 10000);
    }

    // WBLOCK with the proposal accepted, until cadsim has recorded `done`; by default the
    // proposal is "plan_wblock2.dwg" and cadsim writes it.
    void ExportUnderTheProposedName(
        const std::wstring& proposal = L"plan_wblock2.dwg",
        const std::string& done = "wrote C:\\dwg\\plan_wblock2.dwg entities=7") {
        PressWblockFromTheKeyboard();
        HWND dialog = WaitForSaveDialog();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(NameFieldText(dialog), proposal);
        AcceptSaveDialog(dialog);
        ASSERT_TRUE(cad->WaitForRecordLine(done, 10000));
    }
};

TEST_F(ExportTest, TheDialogProposesTheNextNumberAndAcceptingItWritesTheFile) {
    StartPanel();
    ASSERT_NO_FATAL_FAILURE(ExportUnderTheProposedName());
    EXPECT_TRUE(fs::exists(L"C:\\dwg\\plan_wblock2.dwg"));
    // Every object released: the command has ended and its calls are all in the record.
    ASSERT_TRUE(NoLiveObjects());
    const auto lines = cad->RecordLines();
    std::vector<std::string> selection;
    for (const std::string& line : lines) {
        if (line.starts_with("call SelectionSet.") || line.starts_with("call Document.Wblock")) {
            selection.push_back(line);
        }
    }
    EXPECT_EQ(selection,
              (std::vector<std::string>{
                  "call SelectionSet.Clear flags=1 args=",
                  "call SelectionSet.Select flags=1 args=I4:5,ERROR:0x80020004,ERROR:0x80020004,"
                  "ERROR:0x80020004,ERROR:0x80020004",
                  "call SelectionSet.Count flags=3 args=",
                  "call Document.Wblock flags=1 args=BSTR|BYREF:C:\\dwg\\plan_wblock2.dwg,"
                  "VARIANT|BYREF:DISPATCH",
                  "call SelectionSet.Clear flags=1 args="}));
    EXPECT_TRUE(NoLiveObjects());
    EXPECT_EQ(::FindWindowW(L"TMessageForm", nullptr), nullptr);
}

TEST_F(ExportTest, AnExistingFileIsWrittenOnlyAfterYes) {
    std::ofstream(fs::path(L"C:\\dwg\\plan_wblock2.dwg")) << "old";
    StartPanel();
    for (int answer : {IDNO, IDYES}) {
        PressWblockFromTheKeyboard();
        HWND dialog = WaitForSaveDialog();
        ASSERT_NE(dialog, nullptr);
        AcceptSaveDialog(dialog);
        HWND box = e2e::WaitForBox();
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(e2e::TextOf(box), L"確認");
        EXPECT_EQ(e2e::BoxText(box), L"すでに存在します．上書きしますか？");
        EXPECT_EQ(e2e::TextOf(::GetDlgItem(box, IDYES)), L"はい(&Y)");
        EXPECT_EQ(e2e::TextOf(::GetDlgItem(box, IDNO)), L"いいえ(&N)");
        e2e::AnswerBox(box, answer);
        if (answer == IDNO) {
            // No second dialog, nothing written.
            EXPECT_TRUE(NoLiveObjects());
            EXPECT_EQ(CountLines(cad->RecordLines(), "call Document.Wblock"), 0);
            EXPECT_FALSE(SaveDialogIsUp()) << "a second dialog";
        }
    }
    EXPECT_TRUE(cad->WaitForRecordLine("wrote C:\\dwg\\plan_wblock2.dwg entities=7", 10000));
}

TEST_F(ExportTest, ADrawingWithoutEntitiesWritesNothing) {
    cad->Send(L"docs clear");
    cad->Send(L"doc add empty.dwg|C:\\dwg\\empty.dwg|0");
    StartPanel();
    ASSERT_NO_FATAL_FAILURE(
        ExportUnderTheProposedName(L"empty_wblock1.dwg", "call SelectionSet.Count flags=3 args="));
    EXPECT_TRUE(NoLiveObjects());
    EXPECT_EQ(CountLines(cad->RecordLines(), "call Document.Wblock"), 0);
    EXPECT_EQ(::FindWindowW(L"TMessageForm", nullptr), nullptr);
}

TEST_F(ExportTest, WithoutAnOpenDrawingNothingHappens) {
    cad->Send(L"docs clear");
    StartPanel();
    PressWblockFromTheKeyboard();
    ASSERT_TRUE(cad->WaitForRecordLine("call Application.ActiveDocument flags=3 args=", 10000));
    EXPECT_TRUE(NoLiveObjects());
    EXPECT_FALSE(SaveDialogIsUp());
    EXPECT_EQ(::FindWindowW(L"TMessageForm", nullptr), nullptr);
}

// Neither AutoCAD's server nor its window: the registered AutoCAD is started instead.
TEST_F(ExportTest, WithoutAutoCadTheRegisteredAutoCadIsStarted) {
    cad->Send(L"automation off");
    StartPanel("OFF=0\r\n" + CadsimRegistered());
    ASSERT_EQ(cad->Send(L"close-window"), 1);
    ASSERT_TRUE(
        WaitUntil([] { return ::FindWindowW(L"AfxMDIFrame140u", nullptr) == nullptr; }, 10000));
    PressWblockFromTheKeyboard();
    HWND started = nullptr;
    EXPECT_TRUE(WaitUntil(
        [&] {
            started = ::FindWindowW(L"AfxMDIFrame140u", nullptr);
            return started != nullptr;
        },
        20000));
    EXPECT_FALSE(SaveDialogIsUp());
    // The started copy is closed again, so that no test after this one sees it.
    if (started != nullptr) {
        ::PostMessageW(started, WM_CLOSE, 0, 0);
    }
    EXPECT_TRUE(
        WaitUntil([] { return ::FindWindowW(L"AfxMDIFrame140u", nullptr) == nullptr; }, 10000));
}

TEST_F(ExportTest, AnUnregisteredVersionShowsTheAvailabilityError) {
    StartPanel("ApiVerNum=99\r\n");
    PressWblockFromTheKeyboard();
    HWND box = e2e::WaitForBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(e2e::TextOf(box), L"Merido_b");
    EXPECT_FALSE(e2e::BoxText(box).empty());
    e2e::AnswerBox(box);
    EXPECT_FALSE(SaveDialogIsUp());
}

TEST_F(ExportTest, TheExportWritesItsFileWhileAutoCadRefusesCallsAtFirst) {
    StartPanel();
    ASSERT_EQ(cad->Send(L"refuse-calls 1200"), 1);
    ASSERT_NO_FATAL_FAILURE(ExportUnderTheProposedName());
    EXPECT_GT(cad->Send(L"refused-calls"), 0);
    EXPECT_TRUE(NoLiveObjects());
}

// AutoCAD's window is there, its server is not (another release, or other rights): starting the
// registered AutoCAD would open a second one beside it.
TEST_F(ExportTest, AnAutoCadWhoseServerCannotBeReachedIsNotStartedAgain) {
    cad->Send(L"automation off");
    StartPanel(CadsimRegistered());
    PressWblockFromTheKeyboard();
    ::Sleep(4000);  // what is proven is that nothing appears within this time
    EXPECT_EQ(::FindWindowExW(nullptr, cad->MainWindow(), L"AfxMDIFrame140u", nullptr), nullptr);
    EXPECT_EQ(::FindWindowExW(nullptr, nullptr, L"AfxMDIFrame140u", nullptr), cad->MainWindow());
    EXPECT_FALSE(SaveDialogIsUp());
    EXPECT_EQ(::FindWindowW(L"TMessageForm", nullptr), nullptr) << "same rights: no box";
}

}  // namespace
