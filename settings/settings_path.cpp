#include "settings/settings_path.h"

#include "platform/path_syntax.h"

namespace settings {

std::wstring SettingsPathFor(std::wstring_view executablePath) {
    const std::wstring_view extension = platform::ExtensionOf(executablePath);
    std::wstring path(executablePath.substr(0, executablePath.size() - extension.size()));
    return path + L",ini";
}

}  // namespace settings
