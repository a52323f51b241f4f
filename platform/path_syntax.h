#pragma once

#include <cstddef>
#include <string_view>

namespace platform {

// Paths as the program reads them: "\" and ":" (a drive) separate a path's parts; "/" is part of
// a name.
inline constexpr std::wstring_view kPathSeparators = L"\\:";

// The position of the last separator; npos when there is none.
inline std::size_t LastPathSeparator(std::wstring_view path) {
    return path.find_last_of(kPathSeparators);
}

// Whether a path has a folder part: it holds a separator.
inline bool HasFolderPart(std::wstring_view path) {
    return path.find_first_of(kPathSeparators) != std::wstring_view::npos;
}

// The extension of a path, "." included: from the last "." after the last separator; empty
// when there is none.
inline std::wstring_view ExtensionOf(std::wstring_view path) {
    const std::size_t dot = path.rfind(L'.');
    if (dot == std::wstring_view::npos) {
        return {};
    }
    const std::size_t separator = LastPathSeparator(path);
    if (separator != std::wstring_view::npos && separator > dot) {
        return {};
    }
    return path.substr(dot);
}

}  // namespace platform
