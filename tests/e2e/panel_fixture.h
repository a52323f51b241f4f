#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "panel_process.h"
#include "tests/support/cadsim_client.h"
#include "tests/support/wait.h"
#include "user_input.h"

namespace e2e {

inline constexpr COLORREF kLime = RGB(0, 255, 0);
inline constexpr COLORREF kGrey = RGB(128, 128, 128);

// Control ids of the panel, as users' tools see them.
enum PanelControl : int {
    kRegisterButton = 101,
    kActButton = 102,
    kWblockButton = 103,
    kListButton = 104,
    kShiftBox = 201,
    kCtrlBox = 202,
    kImeBox = 203,
    kOffBox = 204,
    kVersionField = 301,
    kLabel = 401,
    kLamp = 501,
};

// WM_GETTEXT, which reaches into another process's edit field, unlike GetWindowTextW.
inline std::wstring TextOf(HWND window) {
    wchar_t text[1024] = {};
    ::SendMessageW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    return text;
}

// A file's lines, whichever encoding the profile functions chose for it: UTF-16LE after its
// byte-order mark, otherwise one character a byte.
inline std::vector<std::wstring> FileLinesOf(const std::wstring& path) {
    std::ifstream file{std::filesystem::path(path), std::ios::binary};
    const std::string bytes{std::istreambuf_iterator<char>(file), {}};
    std::wstring text;
    if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') {
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
            text += static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) |
                                         (static_cast<unsigned char>(bytes[i + 1]) << 8));
        }
    } else {
        for (char c : bytes) {
            text += static_cast<wchar_t>(static_cast<unsigned char>(c));
        }
    }
    std::vector<std::wstring> lines;
    std::wstring line;
    for (wchar_t c : text) {
        if (c == L'\n') {
            lines.push_back(line);
            line.clear();
        } else if (c != L'\r') {
            line += c;
        }
    }
    if (!line.empty()) {
        lines.push_back(line);
    }
    return lines;
}

// cadsim's window lies clear of the centred panel, so that the panel's pixels stay visible.
inline test_support::CadSim::Options CadBesideThePanel() {
    test_support::CadSim::Options options;
    options.rect = RECT{650, 460, 1000, 740};
    return options;
}

// The thread of a window: its active window and its focus.
inline GUITHREADINFO ThreadOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info);
    return info;
}

// Brings a window of another process to the front and waits until its own thread has taken
// the activation, so that a click on it is a click and not its activation.
inline void ActivateWindow(HWND window) {
    ::SetForegroundWindow(window);
    ASSERT_TRUE(test_support::WaitUntil([&] { return ::GetForegroundWindow() == window; }, 10000));
    ASSERT_TRUE(test_support::WaitUntil(
        [&] {
            const GUITHREADINFO thread = ThreadOf(window);
            return thread.hwndActive == window && ::IsChild(window, thread.hwndFocus);
        },
        10000));
}

// The program's message box once it shows; none when none shows within the limit.
inline HWND WaitForBox(DWORD timeoutMs = 10000) {
    HWND box = nullptr;
    test_support::WaitUntil(
        [&] {
            box = ::FindWindowW(L"TMessageForm", nullptr);
            return box != nullptr && ::IsWindowVisible(box);
        },
        timeoutMs);
    return box != nullptr && ::IsWindowVisible(box) ? box : nullptr;
}

// The text of a box: its message line or lines.
inline std::wstring BoxText(HWND box) { return TextOf(::GetDlgItem(box, 0xFFFF)); }

// Answers a box as a user does from the keyboard, and waits until it has gone: Enter for its
// default button ("OK" or "はい(&Y)"), N for "いいえ(&N)".
inline void AnswerBox(HWND box, int buttonId = IDOK) {
    ActivateWindow(box);
    TapKey(buttonId == IDNO ? static_cast<WORD>('N') : static_cast<WORD>(VK_RETURN));
    ASSERT_TRUE(test_support::WaitUntil([&] { return !::IsWindow(box); }, 10000));
}

// A corner of the 1024x768 test desktop that no window of the tests covers.
inline constexpr POINT kPointerRest{1016, 8};

// A fresh copy of the panel per test, in a folder named after the test.
class PanelFixture : public testing::Test {
  protected:
    void SetUp() override {
        const char* name = testing::UnitTest::GetInstance()->current_test_info()->name();
        std::wstring folder;
        for (const char* c = name; *c != '\0'; ++c) {
            folder += *c == '/' ? L'_' : static_cast<wchar_t>(*c);
        }
        panel = std::make_unique<PanelProcess>(folder);
        // The pointer starts where no window of a test opens, not where the last test left it
        // (over a list item, say, which a window appearing under it would then take), and with
        // every key up.
        MoveTo(kPointerRest);
        LetGoOfKeysLeftDown();
    }

    HWND Lamp() const { return panel->Control(kLamp); }
    COLORREF LampPixel() const { return ScreenPixel(CentreOf(Lamp())); }
    bool Ticked(int id) const {
        return ::SendMessageW(panel->Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }

    HWND FocusOfPanel() const { return ThreadOf(panel->Window()).hwndFocus; }
    void ActivatePanel() { ActivateWindow(panel->Window()); }

    // cadsim's main window in front, as the user brings it there.
    void BringCadToFront() {
        cad->Send(L"foreground");
        ASSERT_TRUE(test_support::WaitUntil(
            [&] { return ::GetForegroundWindow() == cad->MainWindow(); }, 10000));
    }

    // Presses a panel button from the keyboard: Tab until it has the focus, then Enter.
    void PressWithKeyboard(int id) {
        ActivatePanel();
        HWND button = panel->Control(id);
        for (int step = 0; step < 10 && FocusOfPanel() != button; ++step) {
            HWND before = FocusOfPanel();
            TapKey(VK_TAB);
            ASSERT_TRUE(test_support::WaitUntil([&] { return FocusOfPanel() != before; }, 10000));
        }
        ASSERT_EQ(FocusOfPanel(), button);
        TapKey(VK_RETURN);
    }

    // cadsim beside the panel, with its automation server under version 24.
    void StartCadWithServer() {
        test_support::CadSim::Options options = CadBesideThePanel();
        options.automationVersion = L"24";
        cad = std::make_unique<test_support::CadSim>(options);
    }

    // Starts the panel with these settings stored, and waits until it has seen cadsim.
    void StartPanelBesideCad(const std::string& settings = "") {
        if (!settings.empty()) {
            StoreSettings(settings);
        }
        panel->Start();
        ASSERT_TRUE(test_support::WaitUntil([&] { return LampPixel() == kLime; }, 10000));
    }

    // Writes the settings file the copy will read when it starts.
    void StoreSettings(const std::string& lines) const {
        std::ofstream(std::filesystem::path(panel->FileBeside(L"MERIDO_B,ini")), std::ios::binary)
            << "[AutoCAD]\r\n"
            << lines;
    }

    std::unique_ptr<PanelProcess> panel;
    std::unique_ptr<test_support::CadSim> cad;
};

}  // namespace e2e
