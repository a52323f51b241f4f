#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "cadlink/cad_prog_id.h"
#include "fakes/command_fixture.h"

namespace {

using fakes::FakeNode;
using fakes::FakeValue;

// AutoCAD with "C:\dwg\plan_wblock1.dwg" active, holding entities.
class CleanedCopyExportTest : public fakes::CommandTest {
  protected:
    void SetUp() override {
        processes.canOpen = false;
        selection->Returns(L"Clear", std::int32_t{0});
        selection->Returns(L"Select", std::int32_t{0});
        selection->On(L"Count", [this](const auto&) { return FakeValue{entities}; });
        document->Returns(L"FullName", std::wstring(L"C:\\dwg\\plan_wblock1.dwg"));
        document->Returns(L"ActiveSelectionSet", selection);
        document->On(L"Wblock", [this](const std::vector<platform::Argument>& arguments) {
            written.push_back(*std::get<platform::TextByRef>(arguments.at(0)).text);
            return FakeValue{std::int32_t{0}};
        });
        application->Returns(L"ActiveDocument", document);
        panel.saveAs = L"C:\\dwg\\plan_wblock2.dwg";
    }

    std::vector<std::wstring> SelectionCalls() const {
        std::vector<std::wstring> calls;
        for (const std::wstring& call : automation.log.calls) {
            if (call.starts_with(L"Set.") || call.starts_with(L"Doc.Wblock")) {
                calls.push_back(call);
            }
        }
        return calls;
    }

    std::shared_ptr<FakeNode> document = std::make_shared<FakeNode>(L"Doc");
    std::shared_ptr<FakeNode> selection = std::make_shared<FakeNode>(L"Set");
    std::int32_t entities = 12;
    std::vector<std::wstring> written;
};

TEST_F(CleanedCopyExportTest, ProposesTheNextNumberSelectsEverythingAndWritesTheChosenFile) {
    commands.ExportCleanedCopy();
    EXPECT_EQ(panel.dialogs, std::vector<std::wstring>{L"C:\\dwg|C:\\dwg\\plan_wblock2.dwg"});
    EXPECT_EQ(SelectionCalls(),
              (std::vector<std::wstring>{L"Set.Clear", L"Set.Select(5,-,-,-,-)", L"Set.Count",
                                         L"Doc.Wblock(&\"C:\\dwg\\plan_wblock2.dwg\",&object)",
                                         L"Set.Clear"}));
    EXPECT_EQ(written, std::vector<std::wstring>{L"C:\\dwg\\plan_wblock2.dwg"});
    EXPECT_TRUE(dialogs.questions.empty());
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(automation.log.liveObjects, 0);
}

// The selection set, then the drawing, then the Application: also when Wblock fails.
TEST_F(CleanedCopyExportTest, TheObjectsAreReleasedSelectionSetFirstApplicationLast) {
    for (const bool wblockFails : {false, true}) {
        SCOPED_TRACE(wblockFails);
        if (wblockFails) {
            document->Fails(L"Wblock");
        }
        automation.log.released.clear();
        commands.ExportCleanedCopy();
        EXPECT_EQ(automation.log.released, (std::vector<std::wstring>{L"Set", L"Doc", L"App"}));
    }
}

TEST_F(CleanedCopyExportTest, TheNameTheUserChoseIsUsedAsLeftInTheDialog) {
    panel.saveAs = L"D:\\elsewhere\\mine.dxf";
    commands.ExportCleanedCopy();
    EXPECT_EQ(written, std::vector<std::wstring>{L"D:\\elsewhere\\mine.dxf"});
}

TEST_F(CleanedCopyExportTest, AnExistingFileIsWrittenOnlyAfterYes) {
    shell.files = {L"C:\\dwg\\plan_wblock2.dwg"};
    dialogs.answerYes = false;
    commands.ExportCleanedCopy();
    EXPECT_EQ(dialogs.questions, std::vector<std::wstring>{L"すでに存在します．上書きしますか？"});
    EXPECT_TRUE(written.empty());
    // After "いいえ" the user's selection is left as it was: the set is not even fetched.
    EXPECT_TRUE(SelectionCalls().empty());
    EXPECT_EQ(std::count(automation.log.calls.begin(), automation.log.calls.end(),
                         L"Doc.ActiveSelectionSet"),
              0);
    EXPECT_EQ(panel.dialogs.size(), 1u);  // no second dialog
    dialogs.answerYes = true;
    commands.ExportCleanedCopy();
    EXPECT_EQ(written.size(), 1u);
}

TEST_F(CleanedCopyExportTest, ACancelledDialogOrAnEmptyDrawingWritesNothing) {
    panel.saveAs.reset();
    commands.ExportCleanedCopy();
    EXPECT_TRUE(SelectionCalls().empty());
    panel.saveAs = L"C:\\dwg\\x.dwg";
    entities = 0;
    commands.ExportCleanedCopy();
    EXPECT_EQ(SelectionCalls(),
              (std::vector<std::wstring>{L"Set.Clear", L"Set.Select(5,-,-,-,-)", L"Set.Count"}));
    EXPECT_TRUE(written.empty());
    EXPECT_EQ(automation.log.liveObjects, 0);
}

TEST_F(CleanedCopyExportTest, NoOpenDrawingEndsBeforeTheDialog) {
    application->Fails(L"ActiveDocument");
    EXPECT_NO_THROW(commands.ExportCleanedCopy());
    EXPECT_TRUE(panel.dialogs.empty());
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(CleanedCopyExportTest, AFailingWblockSkipsTheSecondClearSilently) {
    document->Fails(L"Wblock");
    EXPECT_NO_THROW(commands.ExportCleanedCopy());
    EXPECT_EQ(SelectionCalls().back(), L"Doc.Wblock(&\"C:\\dwg\\plan_wblock2.dwg\",&object)");
    EXPECT_EQ(automation.log.liveObjects, 0);
}

TEST_F(CleanedCopyExportTest, AServerThatDoesNotRunStartsTheRegisteredAutoCadInstead) {
    cadlink::CadProgId = L"Autocad.Application.25";
    panel.fields.AppFullName = L"C:\\CAD\\acad.exe";
    shell.files = {L"C:\\CAD\\acad.exe"};
    commands.ExportCleanedCopy();
    EXPECT_EQ(shell.opened, std::vector<std::wstring>{L"C:\\CAD\\acad.exe"});
    EXPECT_TRUE(panel.dialogs.empty());
    panel.fields.AppFullName.clear();
    commands.ExportCleanedCopy();
    EXPECT_EQ(shell.opened.size(), 1u);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(CleanedCopyExportTest, AnUnregisteredIdentifierRaisesToTheCaller) {
    cadlink::CadProgId = L"Autocad.Application.99";
    EXPECT_THROW(commands.ExportCleanedCopy(), platform::AutomationError);
    EXPECT_TRUE(panel.dialogs.empty());
}

}  // namespace
