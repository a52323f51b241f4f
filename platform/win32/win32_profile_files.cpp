#include <windows.h>

#include "platform/win32/win32_profile_files.h"

#include <algorithm>

namespace platform::win32 {
namespace {

// A read yields at most 2047 characters: the buffer holds 2048 with the NUL.
constexpr DWORD kValueUnits = 2048;

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
    return ::WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(),
                                        path.c_str()) != FALSE;
}

void Win32ProfileFiles::Flush(const std::wstring& path) {
    ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, path.c_str());
}

}  // namespace platform::win32
