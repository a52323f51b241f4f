#include "cadsim/automation_commands.h"

#include <optional>
#include <string>
#include <vector>

#include "cadsim/automation/members.h"
#include "cadsim/simulator.h"

namespace cadsim {
namespace {

LRESULT Reply(bool success) { return success ? 1 : 0; }

// A decimal number without sign; none for anything else or a value beyond int.
std::optional<int> ParseCount(std::wstring_view text) {
    if (text.empty() || text.size() > 9 || text.find_first_not_of(L"0123456789") != text.npos) {
        return std::nullopt;
    }
    return std::stoi(std::wstring(text));
}

std::vector<std::wstring_view> Split(std::wstring_view text, wchar_t separator) {
    std::vector<std::wstring_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == text.npos ? text.npos : end - start));
        if (end == text.npos) {
            return parts;
        }
        start = end + 1;
    }
}

// "<name>|<full path>|<entity count>"
bool AddDrawing(CadModel& model, std::wstring_view argument) {
    const std::vector<std::wstring_view> parts = Split(argument, L'|');
    const std::optional<int> entities = parts.size() == 3 ? ParseCount(parts[2]) : std::nullopt;
    if (!entities) {
        return false;
    }
    model.AddDrawing(Drawing{std::wstring(parts[0]), std::wstring(parts[1]), *entities});
    return true;
}

std::optional<HwndType> ParseHwndType(std::wstring_view text) {
    if (text == L"I4") {
        return HwndType::i4;
    }
    if (text == L"UI4") {
        return HwndType::ui4;
    }
    if (text == L"I8") {
        return HwndType::i8;
    }
    return std::nullopt;
}

bool AddMember(std::set<std::wstring>& members, std::wstring_view text) {
    const std::wstring member = automation::CanonicalMemberName(text);
    if (member.empty()) {
        return false;
    }
    members.insert(member);
    return true;
}

LRESULT RunAutomation(Simulator& simulator, std::wstring_view argument) {
    if (argument == L"off") {
        simulator.AutomationOff();
        return 1;
    }
    if (argument == L"on") {
        return Reply(simulator.AutomationOn({}));
    }
    if (argument.starts_with(L"on ") && argument.size() > 3) {
        return Reply(simulator.AutomationOn(std::wstring(argument.substr(3))));
    }
    return 0;
}

LRESULT RunDoc(CadModel& model, std::wstring_view argument) {
    if (argument.starts_with(L"add ")) {
        return Reply(AddDrawing(model, argument.substr(4)));
    }
    if (argument.starts_with(L"active ")) {
        const std::optional<int> index = ParseCount(argument.substr(7));
        return Reply(index && model.ActivateAt(static_cast<std::size_t>(*index)));
    }
    return 0;
}

}  // namespace

LRESULT RunAutomationPlain(Simulator& simulator, std::wstring_view verb) {
    CadModel& model = simulator.Model();
    if (verb == L"busy" || verb == L"idle") {
        model.busy = verb == L"busy";
        return 1;
    }
    if (verb == L"unfail") {
        model.failing.clear();
        model.wrongType.clear();
        return 1;
    }
    if (verb == L"live-objects") {
        return simulator.LiveAutomationObjects();
    }
    if (verb == L"refused-calls") {
        return simulator.RefusedCalls();
    }
    if (verb == L"held-calls") {
        return simulator.HeldCalls();
    }
    return 0;
}

LRESULT RunAutomationWithArgument(Simulator& simulator, std::wstring_view verb,
                                  std::wstring_view argument) {
    CadModel& model = simulator.Model();
    if (verb == L"automation") {
        return RunAutomation(simulator, argument);
    }
    if (verb == L"full-name") {
        model.applicationPath = std::wstring(argument);
        return 1;
    }
    if (verb == L"hwnd-type") {
        const std::optional<HwndType> type = ParseHwndType(argument);
        if (type) {
            model.hwndType = *type;
        }
        return Reply(type.has_value());
    }
    if (verb == L"docs" && argument == L"clear") {
        model.ClearDrawings();
        return 1;
    }
    if (verb == L"doc") {
        return RunDoc(model, argument);
    }
    if (verb == L"refuse-calls" || verb == L"hang" || verb == L"hang-next-call") {
        const std::optional<int> milliseconds = ParseCount(argument);
        if (milliseconds && verb == L"hang") {
            simulator.Hang(static_cast<DWORD>(*milliseconds));
        } else if (milliseconds && verb == L"hang-next-call") {
            simulator.HangAtNextCall(static_cast<DWORD>(*milliseconds));
        } else if (milliseconds) {
            simulator.RefuseCallsFor(static_cast<DWORD>(*milliseconds));
        }
        return Reply(milliseconds.has_value());
    }
    if (verb == L"fail") {
        return Reply(AddMember(model.failing, argument));
    }
    if (verb == L"wrong-type") {
        return Reply(AddMember(model.wrongType, argument));
    }
    return 0;
}

}  // namespace cadsim
