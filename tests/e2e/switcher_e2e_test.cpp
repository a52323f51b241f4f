#include <gtest/gtest.h>
#include <ole2.h>

#include <memory>
#include <string>
#include <vector>

#include "cadlink/cad_prog_id.h"
#include "panel_fixture.h"
#include "platform/win32/com_automation.h"

namespace {

using test_support::CadSim;
using test_support::WaitUntil;

constexpr int kListId = 1001;

// COM for the test's own look at cadsim: which drawing is active.
class OleScope {
  public:
    OleScope() { ::OleInitialize(nullptr); }
    ~OleScope() { ::OleUninitialize(); }
};

std::wstring ListText(HWND list, int index) {
    wchar_t text[256] = {};
    ::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
    return text;
}

// cadsim with drawings opened in the order b.dwg, C.dwg, a.dwg, and C.dwg active.
class SwitcherTest : public e2e::PanelFixture {
  protected:
    void SetUp() override {
        PanelFixture::SetUp();
        StartCadWithServer();
        for (const wchar_t* drawing :
             {L"doc add b.dwg|C:\\dwg\\b.dwg|1", L"doc add C.dwg|C:\\dwg\\C.dwg|1",
              L"doc add a.dwg|C:\\dwg\\a.dwg|1", L"doc active 1"}) {
            ASSERT_EQ(cad->Send(drawing), 1);
        }
    }

    void StartPanel(const std::string& settings = "") { StartPanelBesideCad(settings); }

    // Presses "LIST" and waits until the picker is up with the keyboard focus in its list.
    HWND OpenPicker() {
        PressWithKeyboard(e2e::kListButton);
        HWND picker = nullptr;
        const bool shown = WaitUntil(
            [&] {
                picker = ::FindWindowW(L"TInputListForm", nullptr);
                return picker != nullptr && ::IsWindowVisible(picker) &&
                       ::GetForegroundWindow() == picker &&
                       e2e::ThreadOf(picker).hwndActive == picker &&
                       e2e::ThreadOf(picker).hwndFocus == ::GetDlgItem(picker, kListId);
            },
            20000);
        return shown ? picker : nullptr;
    }

    bool WaitUntilClosed(HWND picker) {
        return WaitUntil([&] { return !::IsWindowVisible(picker); }, 10000);
    }

    std::wstring ActiveDrawing() {
        OleScope ole;
        cadlink::CadProgId = L"Autocad.Application.24";
        platform::win32::ComAutomation automation;
        return automation.Attach(cadlink::CadProgId)
            ->GetObject(L"ActiveDocument")
            ->GetText(L"Name");
    }

    // The command ends by handing the foreground back to AutoCAD. (Whether the panel is
    // topmost again cannot be read back under Wine, which keeps an owner from regaining its
    // topmost place while it owns a window that was topmost; the order of the stacking calls
    // is proven against fakes.)
    bool CommandEnded() const {
        return WaitUntil([&] { return ::GetForegroundWindow() == cad->MainWindow(); }, 10000);
    }
    bool NoLiveObjects() {
        return cad->WaitFor([&] { return cad->LiveObjects() == 0; }, 10000);
    }
};

TEST_F(SwitcherTest, ThePickerListsTheDrawingsSortedWithTheActiveOneSelected) {
    StartPanel();
    HWND picker = OpenPicker();
    ASSERT_NE(picker, nullptr);
    HWND list = ::GetDlgItem(picker, kListId);
    ASSERT_EQ(::SendMessageW(list, LB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(ListText(list, 0), L"a.dwg");
    EXPECT_EQ(ListText(list, 1), L"b.dwg");
    EXPECT_EQ(ListText(list, 2), L"C.dwg");
    EXPECT_EQ(::SendMessageW(list, LB_GETCURSEL, 0, 0), 2);
    // The window as it is made: a captionless, resizable, topmost pop-up owned by the panel.
    // Visibility and sibling clipping are the window system's own bits.
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongPtrW(picker, GWL_STYLE)) &
                  ~(WS_VISIBLE | WS_CLIPSIBLINGS),
              0x80840000u);
    EXPECT_NE(::GetWindowLongPtrW(picker, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_EQ(::GetWindow(picker, GW_OWNER), panel->Window());
    EXPECT_NE(::GetClassLongPtrW(picker, GCL_STYLE) & CS_DROPSHADOW, 0);
    EXPECT_EQ(::GetWindowLongPtrW(panel->Window(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);

    e2e::TapKey(VK_ESCAPE);
    ASSERT_TRUE(WaitUntilClosed(picker));
    EXPECT_TRUE(CommandEnded());
    EXPECT_EQ(ActiveDrawing(), L"C.dwg");
    EXPECT_TRUE(NoLiveObjects());
}

TEST_F(SwitcherTest, AClickOnADrawingActivatesIt) {
    StartPanel();
    HWND picker = OpenPicker();
    ASSERT_NE(picker, nullptr);
    HWND list = ::GetDlgItem(picker, kListId);
    const int itemHeight = static_cast<int>(::SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
    POINT first{10, itemHeight / 2};
    ::ClientToScreen(list, &first);
    e2e::ClickAt(first);
    ASSERT_TRUE(WaitUntilClosed(picker));
    EXPECT_TRUE(WaitUntil([&] { return ActiveDrawing() == L"a.dwg"; }, 10000));
    EXPECT_TRUE(cad->WaitForRecordLine("call Document.Activate flags=1 args=", 10000));
    EXPECT_TRUE(CommandEnded());
    EXPECT_TRUE(NoLiveObjects());
}

struct KeyCase {
    WORD key;
    const wchar_t* activated;
};

class SwitcherKeyTest : public SwitcherTest, public testing::WithParamInterface<KeyCase> {};

TEST_P(SwitcherKeyTest, AKeyPicksOrGivesUp) {
    StartPanel();
    HWND picker = OpenPicker();
    ASSERT_NE(picker, nullptr);
    e2e::TapKey(GetParam().key);
    ASSERT_TRUE(WaitUntilClosed(picker));
    ASSERT_TRUE(CommandEnded());
    // cadsim switches its drawing a moment after the call has returned.
    EXPECT_TRUE(WaitUntil([&] { return ActiveDrawing() == GetParam().activated; }, 10000))
        << "active: " << ActiveDrawing();
    const auto lines = cad->RecordLines();
    const bool activated = std::find(lines.begin(), lines.end(),
                                     "call Document.Activate flags=1 args=") != lines.end();
    EXPECT_EQ(activated, GetParam().key != VK_ESCAPE);
    EXPECT_TRUE(NoLiveObjects());
}

INSTANTIATE_TEST_SUITE_P(Keys, SwitcherKeyTest,
                         testing::Values(KeyCase{VK_UP, L"b.dwg"}, KeyCase{VK_RETURN, L"C.dwg"},
                                         KeyCase{VK_ESCAPE, L"C.dwg"}, KeyCase{'A', L"a.dwg"},
                                         KeyCase{'B', L"b.dwg"}));

TEST_F(SwitcherTest, ClickingAutoCadWhileThePickerIsUpGivesUpAndHandsTheForegroundBack) {
    StartPanel();
    HWND picker = OpenPicker();
    ASSERT_NE(picker, nullptr);
    e2e::ClickCentreOf(cad->MainWindow());
    ASSERT_TRUE(WaitUntilClosed(picker));
    EXPECT_TRUE(CommandEnded());
    EXPECT_EQ(ActiveDrawing(), L"C.dwg");
}

TEST_F(SwitcherTest, AMinimisedAutoCadIsRestoredBeforeThePickerShows) {
    StartPanel();
    cad->Send(L"minimize");
    ASSERT_TRUE(WaitUntil([&] { return ::IsIconic(cad->MainWindow()) != FALSE; }, 10000));
    HWND picker = OpenPicker();
    ASSERT_NE(picker, nullptr);
    EXPECT_FALSE(::IsIconic(cad->MainWindow()));
    e2e::TapKey(VK_ESCAPE);
    ASSERT_TRUE(WaitUntilClosed(picker));
}

TEST_F(SwitcherTest, AMemberFailingAfterThePickerShowedEndsSilently) {
    StartPanel();
    HWND picker = OpenPicker();
    ASSERT_NE(picker, nullptr);
    ASSERT_EQ(cad->Send(L"fail Documents.Item"), 1);
    e2e::TapKey(VK_RETURN);
    ASSERT_TRUE(WaitUntilClosed(picker));
    EXPECT_TRUE(cad->WaitFor([&] { return cad->LiveObjects() == 0; }, 10000));
    cad->Send(L"unfail");
    EXPECT_EQ(ActiveDrawing(), L"C.dwg");
    EXPECT_EQ(::FindWindowW(L"TMessageForm", nullptr), nullptr);
    EXPECT_TRUE(NoLiveObjects());
}

TEST_F(SwitcherTest, AnEmptyOrUnregisteredVersionMakesListDoNothing) {
    StartPanel("ApiVerNum=99\r\n");
    ActivatePanel();
    e2e::ClickCentreOf(panel->Control(e2e::kListButton));
    // A Ctrl tap in the panel is no command: once its key has passed, LIST has been handled.
    EXPECT_FALSE(WaitUntil(
        [] {
            HWND picker = ::FindWindowW(L"TInputListForm", nullptr);
            return (picker != nullptr && ::IsWindowVisible(picker)) ||
                   ::FindWindowW(L"TMessageForm", nullptr) != nullptr;
        },
        1500));
    const auto lines = cad->RecordLines();
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& line) { return line.starts_with("call "); }),
              0);
}

// A busy AutoCAD refuses the calls for the first 1.2 s: they are made again, and the picker
// shows the drawings.
TEST_F(SwitcherTest, ListShowsTheDrawingsWhileAutoCadRefusesCallsAtFirst) {
    StartPanel();
    ASSERT_EQ(cad->Send(L"refuse-calls 1200"), 1);
    HWND picker = OpenPicker();
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(::SendMessageW(::GetDlgItem(picker, kListId), LB_GETCOUNT, 0, 0), 3);
    EXPECT_GT(cad->Send(L"refused-calls"), 0) << "the calls were refused";
    e2e::TapKey(VK_ESCAPE);
    ASSERT_TRUE(WaitUntilClosed(picker));
    EXPECT_TRUE(CommandEnded());
    EXPECT_TRUE(NoLiveObjects());
}

// Refused past the command's budget after a drawing was chosen: the command ends silently, the
// picker is gone, the panel takes input again, and AutoCAD has the foreground. (That the panel
// is topmost again cannot be read back under Wine, see CommandEnded.)
TEST_F(SwitcherTest, ARefusalLongerThanTheBudgetEndsListSilentlyWithNothingLeftDisabled) {
    StartPanel();
    HWND picker = OpenPicker();
    ASSERT_NE(picker, nullptr);
    ASSERT_EQ(cad->Send(L"refuse-calls 6000"), 1);
    e2e::TapKey(VK_RETURN);
    ASSERT_TRUE(WaitUntilClosed(picker));
    EXPECT_TRUE(CommandEnded());
    EXPECT_GT(cad->Send(L"refused-calls"), 0);
    EXPECT_NE(::IsWindowEnabled(panel->Window()), FALSE);
    EXPECT_EQ(::FindWindowW(L"TMessageForm", nullptr), nullptr);
    // Asked once the refusal is over.
    std::wstring active;
    EXPECT_TRUE(WaitUntil(
        [&] {
            try {
                active = ActiveDrawing();
                return true;
            } catch (const platform::AutomationError&) {
                return false;
            }
        },
        15000));
    EXPECT_EQ(active, L"C.dwg");
    EXPECT_TRUE(NoLiveObjects());
}

}  // namespace
