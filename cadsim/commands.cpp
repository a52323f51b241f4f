#include "cadsim/commands.h"

#include <string>

#include "cadsim/automation_commands.h"
#include "cadsim/options.h"
#include "cadsim/simulator.h"

namespace cadsim {
namespace {

LRESULT Reply(bool success) { return success ? 1 : 0; }

// Whether cadsim's current folder is `folder`, letter case and a final "\\" aside: 1 when it
// is, 2 when it is another one.
LRESULT IsInFolder(std::wstring_view folder) {
    const auto trimmed = [](std::wstring_view path) {
        return path.size() > 3 && path.back() == L'\\' ? path.substr(0, path.size() - 1) : path;
    };
    std::wstring current(MAX_PATH * 4, L'\0');
    const DWORD length = ::GetCurrentDirectoryW(static_cast<DWORD>(current.size()), current.data());
    current.resize(length < current.size() ? length : 0);
    const std::wstring_view a = trimmed(current);
    const std::wstring_view b = trimmed(folder);
    return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                  static_cast<int>(b.size()), TRUE) == CSTR_EQUAL
               ? 1
               : 2;
}

// Commands without an argument.
LRESULT RunPlain(Simulator& simulator, std::wstring_view verb) {
    if (verb == L"ping") {
        return 1;
    }
    if (verb == L"hwnd") {
        return reinterpret_cast<LRESULT>(simulator.MainWindowHandle());
    }
    if (verb == L"minimize") {
        return Reply(simulator.Minimize());
    }
    if (verb == L"restore") {
        return Reply(simulator.Restore());
    }
    if (verb == L"show") {
        return Reply(simulator.Show());
    }
    if (verb == L"hide") {
        return Reply(simulator.Hide());
    }
    if (verb == L"foreground") {
        return Reply(simulator.Foreground());
    }
    if (verb == L"close-window") {
        return Reply(simulator.CloseMainWindow());
    }
    if (verb == L"show-window") {
        simulator.ShowMainWindow();
        return 1;
    }
    if (verb == L"clear-record") {
        simulator.ClearRecord();
        return 1;
    }
    if (verb == L"quit") {
        simulator.Quit();
        return 1;
    }
    return RunAutomationPlain(simulator, verb);
}

// Commands with an argument: everything after the first blank, blanks included.
LRESULT RunWithArgument(Simulator& simulator, std::wstring_view verb, std::wstring_view argument) {
    if (verb == L"title") {
        simulator.SetTitle(std::wstring(argument));
        return 1;
    }
    if (verb == L"class" && !argument.empty()) {
        simulator.SetClassName(std::wstring(argument));
        return 1;
    }
    if (verb == L"in-folder") {
        return IsInFolder(argument);
    }
    if (verb == L"move") {
        simulator.Move(ParseWindowRect(argument));
        return 1;
    }
    return RunAutomationWithArgument(simulator, verb, argument);
}

}  // namespace

LRESULT RunCommand(Simulator& simulator, std::wstring_view command) {
    const std::size_t blank = command.find(L' ');
    if (blank == std::wstring_view::npos) {
        return RunPlain(simulator, command);
    }
    return RunWithArgument(simulator, command.substr(0, blank), command.substr(blank + 1));
}

}  // namespace cadsim
