#include <windows.h>
#include <shellapi.h>

#include "platform/win32/win32_shell.h"

#include "platform/win32/unique_handles.h"

namespace platform::win32 {

std::wstring LongPathForm(const std::wstring& path) {
    if (path.starts_with(L"\\\\?\\")) {
        return path;
    }
    // The long form skips the usual clean-up of the path, so it is made full first: relative
    // to the current folder, "/" as "\\", "." and ".." steps resolved.
    const DWORD needed = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) {
        return path;
    }
    std::wstring full(needed, L'\0');
    const DWORD length = ::GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) {
        return path;
    }
    full.resize(length);
    if (full.starts_with(L"\\\\.\\")) {
        return full;  // a device
    }
    if (full.starts_with(L"\\\\")) {
        return L"\\\\?\\UNC\\" + full.substr(2);
    }
    return L"\\\\?\\" + full;
}

bool Win32Shell::IsExistingFile(const std::wstring& path) {
    if (path.empty()) {
        return false;
    }
    // Opening without access follows a symbolic link to its target; folders need the backup
    // flag to open at all, and are then told apart by their attributes.
    const UniqueFileHandle file(::CreateFileW(
        LongPathForm(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file) {
        return false;
    }
    BY_HANDLE_FILE_INFORMATION information{};
    return ::GetFileInformationByHandle(file.get(), &information) != FALSE &&
           (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

void Win32Shell::OpenFile(WindowHandle owner, const std::wstring& path) {
    ::ShellExecuteW(ToHwnd(owner), L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace platform::win32
