#pragma once

#include <string>
#include <string_view>

namespace settings {

// The settings file of an executable: its path with the extension replaced by ",ini" (a comma),
// or with ",ini" appended when it has none (platform::ExtensionOf).
std::wstring SettingsPathFor(std::wstring_view executablePath);

}  // namespace settings
