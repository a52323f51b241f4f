#include <gtest/gtest.h>
#include <windows.h>
#include <commdlg.h>
#include <dlgs.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/current_folder.h"
#include "platform/win32/save_file_dialog.h"

namespace {

namespace fs = std::filesystem;

constexpr ULONGLONG kTimeoutMs = 30000;
constexpr DWORD kPollMs = 20;

std::wstring TextOf(HWND window) {
    const auto length = static_cast<std::size_t>(::SendMessageW(window, WM_GETTEXTLENGTH, 0, 0));
    std::wstring text(length + 1, L'\0');
    ::SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(length);
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

// The visible dialog-class windows of this process.
std::vector<HWND> VisibleDialogs() {
    std::vector<HWND> dialogs;
    ::EnumWindows(
        [](HWND window, LPARAM found) -> BOOL {
            DWORD process = 0;
            ::GetWindowThreadProcessId(window, &process);
            if (process == ::GetCurrentProcessId() && ::IsWindowVisible(window) &&
                ClassOf(window) == L"#32770") {
                reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&dialogs));
    return dialogs;
}

// The edit that holds the file name: inside the combo box cmb13 (Wine, newer Windows), or the
// plain edit edt1.
HWND NameEdit(HWND dialog) {
    HWND combo = ::GetDlgItem(dialog, cmb13);
    if (combo == nullptr) {
        return ::GetDlgItem(dialog, edt1);
    }
    HWND edit = nullptr;
    ::EnumChildWindows(
        combo,
        [](HWND child, LPARAM found) -> BOOL {
            if (ClassOf(child) != L"Edit") {
                return TRUE;
            }
            *reinterpret_cast<HWND*>(found) = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&edit));
    return edit;
}

std::wstring FolderOf(HWND dialog) {
    std::wstring path(32768, L'\0');
    const LRESULT length = ::SendMessageW(dialog, CDM_GETFOLDERPATH, path.size(),
                                          reinterpret_cast<LPARAM>(path.data()));
    path.resize(length > 0 ? static_cast<std::size_t>(length) - 1 : 0);
    return path;
}

// What the dialog showed before the driver acted on it.
struct DialogView {
    std::wstring name;
    std::wstring folder;
    std::vector<std::wstring> types;
    LRESULT selectedType = CB_ERR;
    bool readOnlyBoxVisible = true;
    bool resizable = false;
};

DialogView ViewOf(HWND dialog) {
    DialogView view;
    view.name = TextOf(NameEdit(dialog));
    view.folder = FolderOf(dialog);
    HWND types = ::GetDlgItem(dialog, cmb1);
    const LRESULT count = ::SendMessageW(types, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = ::SendMessageW(types, CB_GETLBTEXTLEN, i, 0);
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        ::SendMessageW(types, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(length));
        view.types.push_back(text);
    }
    view.selectedType = ::SendMessageW(types, CB_GETCURSEL, 0, 0);
    HWND readOnly = ::GetDlgItem(dialog, chx1);
    view.readOnlyBoxVisible = readOnly != nullptr && ::IsWindowVisible(readOnly);
    view.resizable = (::GetWindowLongPtrW(dialog, GWL_STYLE) & WS_THICKFRAME) != 0;
    return view;
}

void Press(HWND dialog, int id) {
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

// Drives the save dialog from a thread of its own while the test's thread shows it: waits for
// the dialog to be ready, records what it shows, then acts on it. Any second dialog (an
// overwrite prompt) is recorded and dismissed, and a dialog still open after the time limit is
// cancelled, so that the test's thread always gets its answer back.
class DialogDriver {
  public:
    explicit DialogDriver(std::function<void(HWND)> act)
        : thread_([this, act = std::move(act)] { Run(act); }) {}
    ~DialogDriver() { Finish(); }

    void Finish() {
        stop_ = true;
        if (thread_.joinable()) {
            thread_.join();
        }
    }

    std::optional<DialogView> view;
    bool sawSecondDialog = false;
    bool leftOpen = false;

  private:
    void Run(const std::function<void(HWND)>& act) {
        const ULONGLONG deadline = ::GetTickCount64() + kTimeoutMs;
        HWND dialog = nullptr;
        while (!stop_ && dialog == nullptr && ::GetTickCount64() < deadline) {
            for (HWND candidate : VisibleDialogs()) {
                if (NameEdit(candidate) != nullptr && !FolderOf(candidate).empty()) {
                    dialog = candidate;
                }
            }
            ::Sleep(kPollMs);
        }
        if (dialog == nullptr) {
            return;
        }
        view = ViewOf(dialog);
        act(dialog);
        while (!stop_) {
            for (HWND other : VisibleDialogs()) {
                if (other != dialog) {
                    sawSecondDialog = true;
                    Press(other, IDNO);
                    Press(dialog, IDCANCEL);
                }
            }
            if (::GetTickCount64() >= deadline + kTimeoutMs && ::IsWindow(dialog)) {
                leftOpen = true;
                Press(dialog, IDCANCEL);
            }
            ::Sleep(kPollMs);
        }
    }

    std::atomic<bool> stop_{false};
    std::thread thread_;
};

class SaveFileDialogTest : public testing::Test {
  protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, temp);
        const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
        std::wstring name(test->name(), test->name() + std::strlen(test->name()));
        for (wchar_t& c : name) {
            c = c == L'/' ? L'_' : c;
        }
        folder = (fs::path(temp) / L"merido-save" / name).wstring();
        fs::remove_all(folder);
        fs::create_directories(folder);
    }

    // Shows the dialog with `initialName` in its name field while `act` drives it.
    std::optional<std::wstring> Show(const std::wstring& initialName,
                                     std::function<void(HWND)> act) {
        DialogDriver driver(std::move(act));
        const std::optional<std::wstring> chosen =
            platform::win32::ShowSaveFileDialog(nullptr, folder, initialName);
        driver.Finish();
        EXPECT_TRUE(driver.view.has_value()) << "the dialog never showed";
        EXPECT_FALSE(driver.sawSecondDialog) << "a second dialog came up";
        EXPECT_FALSE(driver.leftOpen) << "the dialog did not close";
        view = driver.view;
        return chosen;
    }

    std::wstring folder;
    std::optional<DialogView> view;
};

TEST_F(SaveFileDialogTest, ShowsTheNameInTheInitialFolderAndReturnsItWhenAccepted) {
    // The export seeds the whole proposal; a bare name behaves alike.
    for (const std::wstring& initialName :
         {folder + L"\\plan_wblock1.dwg", std::wstring(L"plan_wblock1.dwg")}) {
        const std::optional<std::wstring> chosen =
            Show(initialName, [](HWND d) { Press(d, IDOK); });
        ASSERT_TRUE(view.has_value());
        EXPECT_EQ(view->name, L"plan_wblock1.dwg");
        EXPECT_EQ(view->folder, folder);
        EXPECT_EQ(chosen, folder + L"\\plan_wblock1.dwg");
    }
}

TEST_F(SaveFileDialogTest, OffersDwgThenDxfWithoutAReadOnlyBoxAndIsResizable) {
    Show(L"plan.dwg", [](HWND d) { Press(d, IDCANCEL); });
    ASSERT_TRUE(view.has_value());
    EXPECT_EQ(view->types, (std::vector<std::wstring>{L"*.dwg", L"*.dxf"}));
    EXPECT_EQ(view->selectedType, 0);
    EXPECT_FALSE(view->readOnlyBoxVisible);
    EXPECT_TRUE(view->resizable);
}

TEST_F(SaveFileDialogTest, CancellingGivesNothing) {
    EXPECT_EQ(Show(L"plan_wblock1.dwg", [](HWND d) { Press(d, IDCANCEL); }), std::nullopt);
}

TEST_F(SaveFileDialogTest, ReturnsTheNameTheUserTyped) {
    struct Typed {
        std::wstring typed;
        std::wstring returned;
    };
    // A name without an extension takes the default "dwg".
    for (const Typed& c : {Typed{L"other.dxf", L"other.dxf"}, Typed{L"other", L"other.dwg"}}) {
        const std::optional<std::wstring> chosen = Show(L"plan_wblock1.dwg", [&](HWND d) {
            ::SendMessageW(NameEdit(d), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(c.typed.c_str()));
            Press(d, IDOK);
        });
        EXPECT_EQ(chosen, folder + L"\\" + c.returned);
    }
}

TEST_F(SaveFileDialogTest, AnExistingFileIsReturnedWithoutAnOverwritePrompt) {
    const std::wstring existing = folder + L"\\plan_wblock1.dwg";
    std::ofstream(fs::path(existing)) << "old";
    EXPECT_EQ(Show(existing, [](HWND d) { Press(d, IDOK); }), existing);
}

TEST_F(SaveFileDialogTest, APathOfMaxPathCharactersComesBackWhole) {
    // MAX_PATH characters and the terminator do not fit a MAX_PATH buffer. (Wine's dialog
    // itself fails on paths a few characters longer, so the test stops here.)
    const std::wstring name = std::wstring(MAX_PATH - folder.size() - 5, L'n') + L".dwg";
    const std::optional<std::wstring> chosen = Show(name, [](HWND d) { Press(d, IDOK); });
    ASSERT_TRUE(view.has_value());
    EXPECT_EQ(view->name, name);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(chosen->size(), std::size_t{MAX_PATH});
    EXPECT_EQ(chosen, folder + L"\\" + name);
}

// Saving into another folder leaves the process's current folder where it was, so that the
// chosen folder is not held open and what the panel starts later does not start there.
TEST_F(SaveFileDialogTest, TheCurrentFolderStaysWhereItWas) {
    const fs::path start = fs::path(folder) / L"start";
    const fs::path other = fs::path(folder) / L"other";
    fs::create_directories(start);
    fs::create_directories(other);
    const std::wstring before = platform::win32::CurrentFolder();
    ASSERT_TRUE(::SetCurrentDirectoryW(start.c_str()));
    const std::wstring name = (other / L"plan_wblock1.dwg").wstring();
    const std::optional<std::wstring> chosen = Show(name, [](HWND d) { Press(d, IDOK); });
    const std::wstring after = platform::win32::CurrentFolder();
    ::SetCurrentDirectoryW(before.c_str());
    EXPECT_EQ(chosen, name);
    EXPECT_EQ(after, start.wstring());
    // The folder is free again: it can be renamed.
    EXPECT_TRUE(::MoveFileW(other.c_str(), (fs::path(folder) / L"renamed").c_str()));
}

}  // namespace
