#include "bench/soak/steps.h"

#include "tests/support/wait.h"

namespace soak {
namespace {

constexpr int kBoxTextId = 0xFFFF;
constexpr wchar_t kRegistered[] = L"を登録しました．";
constexpr wchar_t kOverwrite[] = L"すでに存在します．上書きしますか？";

std::wstring BoxText(HWND box) {
    wchar_t text[1024] = {};
    ::SendMessageTimeoutW(::GetDlgItem(box, kBoxTextId), WM_GETTEXT, 1024,
                          reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, nullptr);
    return text;
}

// The box that the step expects, answered with the button's click.
void AnswerBox(Desk& desk, const std::wstring& textEnd, int button, const std::string& what) {
    const HWND box = desk.AwaitWindow(kBoxClass, what);
    const std::wstring text = BoxText(box);
    if (!text.ends_with(textEnd)) {
        throw SoakFailure("an unexpected box instead of " + what);
    }
    ClickUntil(
        desk, Desk::CentreOf(::GetDlgItem(box, button)),
        [box] { return !::IsWindow(box) || !::IsWindowVisible(box); }, what + " closed");
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

// Presses Return until the window has gone: its first key may arrive before it takes keys.
void ReturnUntilGone(Desk& desk, HWND window, const std::string& what) {
    desk.Await([window] { return ::GetForegroundWindow() == window; }, what + " in front");
    for (int attempt = 0; attempt < 3; ++attempt) {
        desk.Input().Keys("Return");
        if (test_support::WaitUntil([window] { return !::IsWindowVisible(window); }, 3000)) {
            return;
        }
    }
    desk.AwaitGone(window, what + " closed");
}

}  // namespace

void ClickUntil(Desk& desk, POINT at, const std::function<bool()>& done, const std::string& what) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        desk.Input().Click(at);
        if (test_support::WaitUntil(done, 3000)) {
            return;
        }
    }
    desk.Await(done, what, 1000);
}

void AnswerPicker(Desk& desk, HWND picker, const std::string& keys) {
    desk.Await([picker] { return ::GetForegroundWindow() == picker; }, "the picker in front");
    desk.Input().Click(Desk::CentreOf(::GetWindow(picker, GW_CHILD)));
    desk.Input().Keys(keys);
    desk.AwaitGone(picker, "the picker closed");
}

void RegisterFromTheMenu(Desk& desk) {
    desk.Input().Click(desk.CentreOfControl(kLabel), 3);
    const HWND menu = desk.AwaitWindow(kMenuClass, "the pop-up menu");
    desk.Input().Keys("Down Return");  // the first item: register the running AutoCAD
    desk.AwaitGone(menu, "the menu closed");
    AnswerBox(desk, kRegistered, IDOK, "the registration's box");
}

void SwitchDrawing(Desk& desk, int choice) {
    ClickUntil(
        desk, desk.CentreOfControl(kListButton),
        [&desk] { return desk.VisibleWindow(kPickerClass) != nullptr; }, "the drawing picker");
    AnswerPicker(desk, desk.VisibleWindow(kPickerClass),
                 choice == 0   ? "Escape"
                 : choice == 1 ? "End Return"
                               : "Home Return");
}

void ExportCleanedCopy(Desk& desk) {
    const int written = desk.CountRecord("wrote ");
    const HWND field = ::GetDlgItem(desk.Panel(), kVersionField);
    ClickUntil(
        desk, Desk::CentreOf(field), [field] { return FocusOf(field) == field; },
        "the version field's focus");
    desk.Input().Keys("Tab Tab Tab Return");  // the hidden WBLOCK button
    ReturnUntilGone(desk, desk.AwaitWindow(kDialogClass, "the save dialog"), "the save dialog");
    AnswerBox(desk, kOverwrite, IDYES, "the overwrite question");
    desk.Await([&] { return desk.CountRecord("wrote ") > written; }, "the written copy");
}

}  // namespace soak
