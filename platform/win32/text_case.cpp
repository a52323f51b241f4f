#include <windows.h>

#include "platform/win32/text_case.h"

namespace platform::win32 {

std::wstring LowerCase(std::wstring_view text) {
    if (text.empty()) {
        return {};
    }
    // Without LCMAP_LINGUISTIC_CASING the mapping is the system's file-name casing, which no
    // language changes (a Turkish "I" stays "i").
    const int length = static_cast<int>(text.size());
    std::wstring lower(text.size(), L'\0');
    const int written = ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_LOWERCASE, text.data(), length,
                                        lower.data(), length, nullptr, nullptr, 0);
    if (written != length) {
        return std::wstring(text);
    }
    return lower;
}

}  // namespace platform::win32
