#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "cadlink/cad_prog_id.h"
#include "fakes/command_fixture.h"

namespace {

using platform::WindowHandle;

const std::wstring kAcad = L"C:\\Program Files\\Autodesk\\AutoCAD 2025\\acad.exe";
const std::wstring kNothingRegistered =
    L"AutoCAD が登録されていません、\nAutoCAD が起動中に[登録]ボタンをクリックして下さい．";

class PanelCommandsTest : public fakes::CommandTest {
  protected:
    void SetUp() override {
        AddCadWindow();
        application->Returns(L"FullName", kAcad);
        processes.path = kAcad;
        panel.fields.AppFullName = L"D:\\old\\acad.exe";
        panel.registeredCaption = L"D:\\old\\acad.exe";
    }
};

TEST_F(PanelCommandsTest, AFullPathFromTheServerIsRegisteredShownAndCaptioned) {
    commands.RegisterRunningCad();
    EXPECT_EQ(dialogs.shown, std::vector<std::wstring>{kAcad + L"\nを登録しました．"});
    EXPECT_EQ(panel.fields.AppFullName, kAcad);
    EXPECT_EQ(panel.registeredCaption, kAcad);
    // The HWND route is not used, and AutoCAD comes to the front afterwards.
    EXPECT_EQ(std::count(automation.log.calls.begin(), automation.log.calls.end(), L"App.HWND"), 0);
    EXPECT_EQ(desktop.foregroundRequests, std::vector<WindowHandle>{cad});
    EXPECT_EQ(automation.log.liveObjects, 0);
}

TEST_F(PanelCommandsTest, ABareNameTakesThePathFromAutoCadsProcess) {
    for (const std::wstring& bare : {std::wstring(L"acad.exe"), std::wstring()}) {
        application->Returns(L"FullName", bare);
        processes.path = L"E:\\CAD\\acad.exe";
        dialogs.shown.clear();
        commands.RegisterRunningCad();
        EXPECT_EQ(dialogs.shown, std::vector<std::wstring>{L"E:\\CAD\\acad.exe\nを登録しました．"});
        EXPECT_EQ(panel.fields.AppFullName, L"E:\\CAD\\acad.exe");
        EXPECT_EQ(panel.registeredCaption, L"E:\\CAD\\acad.exe");
    }
}

TEST_F(PanelCommandsTest, TheFocusStepComesAfterTheBoxIsClosed) {
    dialogs.onShow = [&] { EXPECT_TRUE(desktop.foregroundRequests.empty()); };
    commands.RegisterRunningCad();
    EXPECT_EQ(desktop.foregroundRequests.size(), 1u);
}

TEST_F(PanelCommandsTest, ThePathIsKeptBeforeTheBoxAndCaptionedAfterIt) {
    // Both routes: a full path from the server, and the path of AutoCAD's process.
    for (const std::wstring& fullName : {kAcad, std::wstring(L"acad.exe")}) {
        panel.fields.AppFullName = L"D:\\old\\acad.exe";
        panel.registeredCaption = L"D:\\old\\acad.exe";
        application->Returns(L"FullName", fullName);
        std::wstring pathWhileShown;
        std::wstring captionWhileShown;
        dialogs.onShow = [&] {
            pathWhileShown = panel.fields.AppFullName;
            captionWhileShown = panel.registeredCaption;
        };
        commands.RegisterRunningCad();
        EXPECT_EQ(pathWhileShown, kAcad);
        EXPECT_EQ(captionWhileShown, L"D:\\old\\acad.exe");
        EXPECT_EQ(panel.registeredCaption, kAcad);
    }
}

TEST_F(PanelCommandsTest, AnUnreadableProcessPathKeepsTheEarlierRegistration) {
    application->Returns(L"FullName", std::wstring(L"acad.exe"));
    processes.canOpen = false;
    commands.RegisterRunningCad();
    EXPECT_EQ(dialogs.shown, std::vector<std::wstring>{L"\nフォルダ名を取得できませんでした．"});
    EXPECT_EQ(panel.fields.AppFullName, L"D:\\old\\acad.exe");
    EXPECT_EQ(panel.registeredCaption, L"D:\\old\\acad.exe");
    EXPECT_EQ(desktop.foregroundRequests, std::vector<WindowHandle>{cad});
}

TEST_F(PanelCommandsTest, FailingMembersKeepTheEarlierRegistrationSilently) {
    application->Returns(L"FullName", std::wstring(L"acad.exe"));
    application->Fails(L"HWND");
    commands.RegisterRunningCad();
    application->Fails(L"FullName");
    commands.RegisterRunningCad();
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(panel.fields.AppFullName, L"D:\\old\\acad.exe");
    EXPECT_EQ(panel.registeredCaption, L"D:\\old\\acad.exe");
    EXPECT_EQ(desktop.foregroundRequests, (std::vector<WindowHandle>{cad, cad}));
    EXPECT_EQ(automation.log.liveObjects, 0);
}

TEST_F(PanelCommandsTest, AServerThatDoesNotRunOnlyBringsAutoCadToTheFront) {
    cadlink::CadProgId = L"Autocad.Application.25";
    commands.RegisterRunningCad();
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(desktop.foregroundRequests, std::vector<WindowHandle>{cad});
}

TEST_F(PanelCommandsTest, AnUnregisteredIdentifierRaisesAndSkipsTheFocusStep) {
    cadlink::CadProgId = L"Autocad.Application.99";
    EXPECT_THROW(commands.RegisterRunningCad(), platform::AutomationError);
    EXPECT_TRUE(desktop.foregroundRequests.empty());
    EXPECT_EQ(panel.fields.AppFullName, L"D:\\old\\acad.exe");
}

TEST_F(PanelCommandsTest, ActRestoresAMinimisedAutoCadAndFocusesItStartingNothing) {
    desktop.Find(cad)->minimised = true;
    commands.ActivateOrLaunchCad();
    EXPECT_EQ(desktop.log,
              (std::vector<std::wstring>{
                  L"restore", L"foreground " + std::to_wstring(static_cast<std::uintptr_t>(cad))}));
    commands.ActivateOrLaunchCad();
    EXPECT_EQ(std::count(desktop.log.begin(), desktop.log.end(), L"restore"), 1);
    EXPECT_TRUE(shell.opened.empty());
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(PanelCommandsTest, ActWithoutAutoCadStartsTheRegisteredFileOwnedByThePanel) {
    desktop.windows.clear();
    shell.files = {L"D:\\old\\acad.exe"};
    commands.ActivateOrLaunchCad();
    commands.ActivateOrLaunchCad();  // pressed again before AutoCAD shows: started again
    EXPECT_EQ(shell.opened,
              (std::vector<std::wstring>{L"D:\\old\\acad.exe", L"D:\\old\\acad.exe"}));
    EXPECT_EQ(shell.owners.front(), panel.handle);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(PanelCommandsTest, ActWithNothingToStartSaysSoOnTwoLines) {
    desktop.windows.clear();
    for (const std::wstring& registered : {std::wstring(), std::wstring(L"D:\\missing.exe")}) {
        panel.fields.AppFullName = registered;
        dialogs.shown.clear();
        commands.ActivateOrLaunchCad();
        EXPECT_EQ(dialogs.shown, std::vector<std::wstring>{kNothingRegistered});
    }
    EXPECT_TRUE(shell.opened.empty());
}

TEST_F(PanelCommandsTest, StartUpLaunchesOnlyWhenAutoCadsWindowIsMissing) {
    shell.files = {L"D:\\old\\acad.exe"};
    commands.LaunchAtStartUp();
    EXPECT_TRUE(shell.opened.empty());
    desktop.windows.clear();
    commands.LaunchAtStartUp();
    EXPECT_EQ(shell.opened, std::vector<std::wstring>{L"D:\\old\\acad.exe"});
    panel.fields.AppFullName = L"D:\\gone.exe";
    commands.LaunchAtStartUp();
    EXPECT_EQ(shell.opened.size(), 1u);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST(HasFolderPartTest, AFolderPartIsABackslashOrAColon) {
    EXPECT_TRUE(platform::HasFolderPart(L"C:\\acad.exe"));
    EXPECT_TRUE(platform::HasFolderPart(L"C:acad.exe"));
    EXPECT_TRUE(platform::HasFolderPart(L"\\\\server\\share\\acad.exe"));
    EXPECT_FALSE(platform::HasFolderPart(L"acad.exe"));
    EXPECT_FALSE(platform::HasFolderPart(L"bin/acad.exe"));
    EXPECT_FALSE(platform::HasFolderPart(L""));
}

}  // namespace
