#include "platform/win32/module_path.h"

#include <limits>

namespace platform::win32 {

std::wstring ModuleFileName(HMODULE module, std::size_t initialUnits) {
    // A path cut to fit is returned with the buffer's full size as its length, so only a length
    // below the buffer's size proves that the whole path was copied.
    constexpr std::size_t kMaxUnits = std::numeric_limits<DWORD>::max() / 2;
    std::wstring path(initialUnits > 0 ? initialUnits : 1, L'\0');
    for (;;) {
        const DWORD units = static_cast<DWORD>(path.size());
        const DWORD length = ::GetModuleFileNameW(module, path.data(), units);
        if (length < units) {
            path.resize(length);
            return path;
        }
        if (path.size() >= kMaxUnits) {
            return {};
        }
        path.resize(path.size() * 2);
    }
}

}  // namespace platform::win32
