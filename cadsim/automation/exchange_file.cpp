#include <windows.h>

#include "cadsim/automation/exchange_file.h"

#include <system_error>

#include "cadsim/text.h"
#include "platform/win32/unique_handles.h"

namespace cadsim::automation {
namespace {

// One group: its code line and its value line.
void Group(std::string& text, int code, const std::string& value) {
    text += std::to_string(code) + "\n" + value + "\n";
}

std::string ExchangeText(const std::wstring& drawingName, int entities) {
    std::string text;
    Group(text, 999, "cadsim wblock of " + ToUtf8(drawingName));
    Group(text, 0, "SECTION");
    Group(text, 2, "ENTITIES");
    for (int entity = 1; entity <= entities; ++entity) {
        Group(text, 0, "POINT");
        Group(text, 5, HexValue(static_cast<std::uintptr_t>(entity)).substr(2));
        Group(text, 8, "0");
        Group(text, 10, std::to_string(entity) + ".0");
        Group(text, 20, "0.0");
        Group(text, 30, "0.0");
    }
    Group(text, 0, "ENDSEC");
    Group(text, 0, "EOF");
    return text;
}

[[noreturn]] void ThrowLastError(const char* what) {
    throw std::system_error(static_cast<int>(::GetLastError()), std::system_category(), what);
}

}  // namespace

void WriteExchangeFile(const std::wstring& path, const std::wstring& drawingName, int entities) {
    const std::string text = ExchangeText(drawingName, entities);
    const platform::win32::UniqueFileHandle file(::CreateFileW(
        path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        ThrowLastError("cannot create the file");
    }
    DWORD written = 0;
    if (!::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
        written != text.size()) {
        ThrowLastError("cannot write the file");
    }
}

}  // namespace cadsim::automation
