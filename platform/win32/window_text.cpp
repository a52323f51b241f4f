#include "platform/win32/window_text.h"

namespace platform::win32 {

std::wstring WindowTextOf(HWND window, int bufferUnits) {
    const int units = bufferUnits > 0 ? bufferUnits : ::GetWindowTextLengthW(window) + 1;
    std::wstring text(static_cast<std::size_t>(units), L'\0');
    const int length = ::GetWindowTextW(window, text.data(), units);
    text.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return text.substr(0, text.find(L'\0'));
}

}  // namespace platform::win32
