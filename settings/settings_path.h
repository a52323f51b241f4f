#pragma once

#include <string>
#include <string_view>

namespace settings {

// The settings file of an executable: its path with the extension replaced by ",ini" (a comma),
// or with ",ini" appended when it has none. The extension starts at the last "." after the last
// "\" and ":"; "/" separates nothing here.
std::wstring SettingsPathFor(std::wstring_view executablePath);

// The extension of a path as above, "." included; empty when there is none.
std::wstring_view ExtensionOf(std::wstring_view path);

}  // namespace settings
