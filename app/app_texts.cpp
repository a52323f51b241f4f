#include "app/app_texts.h"

#include "platform/path_syntax.h"

namespace app {

std::wstring ApplicationTitle(std::wstring_view executablePath) {
    const std::size_t separator = platform::LastPathSeparator(executablePath);
    std::wstring_view name = separator == std::wstring_view::npos
                                 ? executablePath
                                 : executablePath.substr(separator + 1);
    name = name.substr(0, name.find(L'.'));
    std::wstring title(name);
    for (std::size_t i = 1; i < title.size(); ++i) {
        if (title[i] >= L'A' && title[i] <= L'Z') {
            title[i] = static_cast<wchar_t>(title[i] - L'A' + L'a');
        }
    }
    return title;
}

std::wstring WithFullStop(std::wstring text) {
    if (!text.empty() && text.back() > L'.') {
        text += L'.';
    }
    return text;
}

}  // namespace app
