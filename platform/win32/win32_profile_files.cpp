#include <windows.h>

#include "platform/win32/win32_profile_files.h"

#include <algorithm>

#include "platform/win32/unique_handles.h"

namespace platform::win32 {
namespace {

// A read yields at most 2047 characters: the buffer holds 2048 with the NUL.
constexpr DWORD kValueUnits = 2048;

// A file that the profile functions create themselves is written in the ANSI code page, where
// a character outside it becomes "?". A file that starts with the UTF-16LE byte-order mark is
// kept in UTF-16, so a missing file is first created as just that mark. An existing file is
// left as it is; a file that cannot be created is left to the write, which then fails itself.
void CreateUnicodeFileIfMissing(const std::wstring& path) {
    const UniqueFileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return;  // there already, or not to be created: the write decides
    }
    const unsigned char mark[] = {0xFF, 0xFE};
    DWORD written = 0;
    ::WriteFile(file.get(), mark, sizeof(mark), &written, nullptr);
}

}  // namespace

std::wstring Win32ProfileFiles::ReadString(const std::wstring& section, const std::wstring& key,
                                           const std::wstring& fallback, const std::wstring& path) {
    std::wstring buffer(kValueUnits, L'\0');
    const DWORD length = ::GetPrivateProfileStringW(section.c_str(), key.c_str(), fallback.c_str(),
                                                    buffer.data(), kValueUnits, path.c_str());
    buffer.resize(std::min<DWORD>(length, kValueUnits - 1));
    return buffer;
}

bool Win32ProfileFiles::WriteString(const std::wstring& section, const std::wstring& key,
                                    const std::wstring& value, const std::wstring& path) {
    CreateUnicodeFileIfMissing(path);
    return ::WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(),
                                        path.c_str()) != FALSE;
}

void Win32ProfileFiles::Flush(const std::wstring& path) {
    ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, path.c_str());
}

}  // namespace platform::win32
