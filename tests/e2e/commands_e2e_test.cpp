#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "panel_fixture.h"
#include "tests/support/responsiveness_probe.h"
#include "tests/support/test_bin_dir.h"

namespace {

using test_support::CadSim;
using test_support::WaitUntil;

constexpr wchar_t kCadClass[] = L"AfxMDIFrame140u";

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

std::wstring CadsimPath() { return test_support::TestBinDir() + L"\\cadsim.exe"; }

// A cadsim that the panel started itself (through the shell), closed at the end of the test.
class LaunchedCad {
  public:
    ~LaunchedCad() {
        if (HWND window = ::FindWindowW(kCadClass, nullptr)) {
            DWORD id = 0;
            ::GetWindowThreadProcessId(window, &id);
            platform::win32::UniqueKernelHandle process(::OpenProcess(SYNCHRONIZE, FALSE, id));
            ::PostMessageW(window, WM_CLOSE, 0, 0);
            if (process) {
                ::WaitForSingleObject(process.get(), 10000);
            }
        }
    }
    bool WaitForWindow() const {
        return WaitUntil([] { return ::FindWindowW(kCadClass, nullptr) != nullptr; }, 20000);
    }
};

int CountCadWindows() {
    int count = 0;
    for (HWND window = ::FindWindowW(kCadClass, nullptr); window != nullptr;
         window = ::FindWindowExW(nullptr, window, kCadClass, nullptr)) {
        ++count;
    }
    return count;
}

class CommandsTest : public e2e::PanelFixture {
  protected:
    void StartCad(bool automation = true) {
        CadSim::Options options = e2e::CadBesideThePanel();
        if (automation) {
            options.automationVersion = L"24";
        }
        cad = std::make_unique<CadSim>(options);
    }

    // Right after start-up the focus is on the hidden register button: Enter presses it.
    void RegisterWithEnter() {
        ActivatePanel();
        ASSERT_EQ(FocusOfPanel(), panel->Control(e2e::kRegisterButton));
        e2e::TapKey(VK_RETURN);
    }

    bool SettingsHold(const std::string& line) const {
        const auto lines = e2e::FileLinesOf(panel->FileBeside(L"MERIDO_B,ini"));
        return std::find(lines.begin(), lines.end(), std::wstring(line.begin(), line.end())) !=
               lines.end();
    }
};

TEST_F(CommandsTest, RegisterTakesTheFullPathTellsTheUserAndKeepsItForTheNextRun) {
    StartCad();
    cad->Send(L"full-name C:\\CAD\\AutoCAD 2025\\acad.exe");
    panel->Start();
    RegisterWithEnter();
    HWND box = e2e::WaitForBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(e2e::BoxText(box), L"C:\\CAD\\AutoCAD 2025\\acad.exe\nを登録しました．");
    EXPECT_EQ(e2e::TextOf(box), L"Merido_b");
    e2e::AnswerBox(box);
    // After the box, AutoCAD comes to the front.
    EXPECT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == cad->MainWindow(); }, 10000));
    EXPECT_TRUE(cad->WaitFor([&] { return cad->LiveObjects() == 0; }, 10000));

    ASSERT_TRUE(panel->CloseAndWait());
    EXPECT_TRUE(SettingsHold("AppFullName=C:\\CAD\\AutoCAD 2025\\acad.exe"));
}

// Space on the hidden register button, focused right after start-up, presses it as Enter does.
TEST_F(CommandsTest, SpaceOnTheFocusedHiddenRegisterButtonRegisters) {
    StartCad();
    cad->Send(L"full-name C:\\CAD\\acad.exe");
    panel->Start();
    ActivatePanel();
    ASSERT_EQ(FocusOfPanel(), panel->Control(e2e::kRegisterButton));
    e2e::TapKey(VK_SPACE);
    HWND box = e2e::WaitForBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(e2e::BoxText(box), L"C:\\CAD\\acad.exe\nを登録しました．");
    e2e::AnswerBox(box);
}

// A path with a character outside the ANSI code page: the settings file keeps it exactly, so
// the next run finds the file and starts it.
TEST_F(CommandsTest, ARegisteredPathWithAnyCharacterSurvivesTheNextStart) {
    const std::wstring folder = panel->FileBeside(L"\u0141ukasz");
    const std::wstring registered = folder + L"\\cadsim.exe";
    std::filesystem::create_directories(std::filesystem::path(folder));
    ASSERT_TRUE(::CopyFileW(CadsimPath().c_str(), registered.c_str(), FALSE));
    StartCad();
    cad->Send(L"full-name " + registered);
    panel->Start();
    RegisterWithEnter();
    HWND box = e2e::WaitForBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(e2e::BoxText(box), registered + L"\nを登録しました．");
    e2e::AnswerBox(box);
    ASSERT_TRUE(panel->CloseAndWait());

    std::ifstream file{std::filesystem::path(panel->FileBeside(L"MERIDO_B,ini")), std::ios::binary};
    std::string mark(2, '\0');
    file.read(mark.data(), 2);
    EXPECT_EQ(mark, "\xFF\xFE");
    const auto lines = e2e::FileLinesOf(panel->FileBeside(L"MERIDO_B,ini"));
    EXPECT_NE(std::find(lines.begin(), lines.end(), L"AppFullName=" + registered), lines.end());

    // Without AutoCAD, the next start launches the registered file: found under its exact path.
    cad->Quit();
    const LaunchedCad launched;
    panel->Start();
    ASSERT_TRUE(launched.WaitForWindow());
    DWORD id = 0;
    ::GetWindowThreadProcessId(::FindWindowW(kCadClass, nullptr), &id);
    platform::win32::UniqueKernelHandle process(
        ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
    std::wstring image(1024, L'\0');
    DWORD size = static_cast<DWORD>(image.size());
    ASSERT_TRUE(::QueryFullProcessImageNameW(process.get(), 0, image.data(), &size));
    image.resize(size);
    EXPECT_EQ(::lstrcmpiW(image.c_str(), registered.c_str()), 0);
}

TEST_F(CommandsTest, ABareFileNameRegistersTheExecutableBehindAutoCadsWindow) {
    StartCad();
    cad->Send(L"full-name acad.exe");
    panel->Start();
    RegisterWithEnter();
    HWND box = e2e::WaitForBox();
    ASSERT_NE(box, nullptr);
    const std::wstring text = e2e::BoxText(box);
    const std::wstring expected = CadsimPath() + L"\nを登録しました．";
    EXPECT_EQ(::lstrcmpiW(text.c_str(), expected.c_str()), 0) << Narrow(text);
    e2e::AnswerBox(box);
    EXPECT_TRUE(cad->WaitFor([&] { return cad->LiveObjects() == 0; }, 10000));
}

TEST_F(CommandsTest, AFailedRegistrationKeepsTheRegisteredPath) {
    StartCad();
    cad->Send(L"full-name acad.exe");
    cad->Send(L"fail Application.HWND");
    StoreSettings("AppFullName=D:\\Old\\acad.exe\r\n");
    panel->Start();
    RegisterWithEnter();
    EXPECT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == cad->MainWindow(); }, 10000));
    EXPECT_EQ(::FindWindowW(L"TMessageForm", nullptr), nullptr);
    ASSERT_TRUE(panel->CloseAndWait());
    EXPECT_TRUE(SettingsHold("AppFullName=D:\\Old\\acad.exe"));
}

TEST_F(CommandsTest, ThePopupItemRegistersLikeTheButton) {
    StartCad();
    cad->Send(L"full-name C:\\CAD\\acad.exe");
    panel->Start();
    ActivatePanel();
    e2e::RightClickAt(e2e::CentreOf(panel->Control(e2e::kLabel)));
    ASSERT_TRUE(WaitUntil(
        [] {
            HWND menu = ::FindWindowW(L"#32768", nullptr);
            return menu != nullptr && ::IsWindowVisible(menu);
        },
        10000));
    e2e::TapKey(VK_DOWN);
    e2e::TapKey(VK_RETURN);
    HWND box = e2e::WaitForBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(e2e::BoxText(box), L"C:\\CAD\\acad.exe\nを登録しました．");
    e2e::AnswerBox(box);
}

TEST_F(CommandsTest, WithoutTheServerRegisterShowsNothingAndBringsAutoCadToTheFront) {
    StartCad(false);
    panel->Start();
    RegisterWithEnter();
    EXPECT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == cad->MainWindow(); }, 10000));
    EXPECT_EQ(::FindWindowW(L"TMessageForm", nullptr), nullptr);
}

TEST_F(CommandsTest, ActRestoresAMinimisedAutoCadAndStartsNothing) {
    StartCad();
    StoreSettings("AppFullName=" + Narrow(CadsimPath()) + "\r\n");
    panel->Start();
    cad->Send(L"minimize");
    ASSERT_TRUE(WaitUntil([&] { return ::IsIconic(cad->MainWindow()) != FALSE; }, 10000));
    PressWithKeyboard(e2e::kActButton);
    EXPECT_TRUE(WaitUntil([&] { return ::IsIconic(cad->MainWindow()) == FALSE; }, 10000));
    EXPECT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == cad->MainWindow(); }, 10000));
    EXPECT_EQ(CountCadWindows(), 1);
}

TEST_F(CommandsTest, ActWithoutAutoCadStartsTheRegisteredExecutable) {
    StartCad();
    StoreSettings("AppFullName=" + Narrow(CadsimPath()) + "\r\nOFF=0\r\n");
    panel->Start();
    ASSERT_TRUE(WaitUntil([&] { return LampPixel() == e2e::kLime; }, 10000));
    cad->Quit();
    ASSERT_TRUE(WaitUntil([&] { return LampPixel() == e2e::kGrey; }, 10000));

    LaunchedCad launched;
    PressWithKeyboard(e2e::kActButton);
    EXPECT_TRUE(launched.WaitForWindow());
    EXPECT_TRUE(WaitUntil([&] { return LampPixel() == e2e::kLime; }, 20000));
    EXPECT_EQ(::FindWindowW(L"TMessageForm", nullptr), nullptr);
}

TEST_F(CommandsTest, ActWithNothingRegisteredSaysSo) {
    panel->Start();
    PressWithKeyboard(e2e::kActButton);
    HWND box = e2e::WaitForBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(
        e2e::BoxText(box),
        L"AutoCAD が登録されていません、\nAutoCAD が起動中に[登録]ボタンをクリックして下さい．");
    e2e::AnswerBox(box);
    EXPECT_EQ(CountCadWindows(), 0);
}

TEST_F(CommandsTest, StartUpStartsTheRegisteredExecutableWhenAutoCadIsNotRunning) {
    StoreSettings("AppFullName=" + Narrow(CadsimPath()) + "\r\n");
    LaunchedCad launched;
    panel->Start();
    EXPECT_TRUE(launched.WaitForWindow());
    EXPECT_TRUE(WaitUntil([&] { return LampPixel() == e2e::kLime; }, 20000));
}

TEST_F(CommandsTest, RegisterShowsItsBoxWhileAutoCadRefusesCallsAtFirst) {
    StartCad();
    cad->Send(L"full-name C:\\CAD\\acad.exe");
    panel->Start();
    ASSERT_EQ(cad->Send(L"refuse-calls 1200"), 1);
    RegisterWithEnter();
    HWND box = e2e::WaitForBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(e2e::BoxText(box), L"C:\\CAD\\acad.exe\nを登録しました．");
    EXPECT_GT(cad->Send(L"refused-calls"), 0);
    e2e::AnswerBox(box);
}

// A minimised AutoCAD that stops handling messages: "ACT" restores it without waiting for it,
// so the panel answers all along, and AutoCAD comes back once it handles messages again.
TEST_F(CommandsTest, ActOnAMinimisedHungAutoCadKeepsThePanelAnswering) {
    StartCad();
    panel->Start();
    cad->Send(L"minimize");
    ASSERT_TRUE(WaitUntil([&] { return ::IsIconic(cad->MainWindow()) != FALSE; }, 10000));
    ActivatePanel();
    HWND act = panel->Control(e2e::kActButton);
    {
        const test_support::ResponsivenessProbe probe(panel->Window(), 500);
        ASSERT_EQ(cad->Send(L"hang 4000"), 1);
        e2e::ClickCentreOf(act);
        ::Sleep(4500);  // the hang and a little more, watched from outside
        EXPECT_EQ(probe.Misses(), 0) << "longest wait " << probe.LongestWaitMs() << " ms";
        EXPECT_GT(probe.Answers(), 0);
    }
    EXPECT_TRUE(WaitUntil([&] { return ::IsIconic(cad->MainWindow()) == FALSE; }, 10000));
}

}  // namespace
