#include "app/app_texts.h"

#include <algorithm>

#include "platform/path_syntax.h"

namespace app {

std::wstring ApplicationTitle(std::wstring_view executablePath, LowerCaseRule lowerCase) {
    const std::size_t separator = platform::LastPathSeparator(executablePath);
    std::wstring_view name = separator == std::wstring_view::npos
                                 ? executablePath
                                 : executablePath.substr(separator + 1);
    name = name.substr(0, name.find(L'.'));
    // The first character is kept whole, also when it takes two UTF-16 units.
    const bool pair = name.size() >= 2 && name[0] >= 0xD800 && name[0] <= 0xDBFF &&
                      name[1] >= 0xDC00 && name[1] <= 0xDFFF;
    const std::size_t first = std::min<std::size_t>(name.size(), pair ? 2 : 1);
    return std::wstring(name.substr(0, first)) + lowerCase(name.substr(first));
}

std::wstring WithFullStop(std::wstring text) {
    if (!text.empty() && text.back() > L'.') {
        text += L'.';
    }
    return text;
}

}  // namespace app
