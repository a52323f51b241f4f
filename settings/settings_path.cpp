#include "settings/settings_path.h"

#include "platform/path_syntax.h"

namespace settings {

std::wstring_view ExtensionOf(std::wstring_view path) {
    const std::size_t dot = path.rfind(L'.');
    if (dot == std::wstring_view::npos) {
        return {};
    }
    const std::size_t separator = platform::LastPathSeparator(path);
    if (separator != std::wstring_view::npos && separator > dot) {
        return {};
    }
    return path.substr(dot);
}

std::wstring SettingsPathFor(std::wstring_view executablePath) {
    const std::wstring_view extension = ExtensionOf(executablePath);
    std::wstring path(executablePath.substr(0, executablePath.size() - extension.size()));
    return path + L",ini";
}

}  // namespace settings
