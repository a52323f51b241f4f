#pragma once

#include "platform/profile_files.h"

namespace platform::win32 {

class Win32ProfileFiles final : public ProfileFiles {
  public:
    std::wstring ReadString(const std::wstring& section, const std::wstring& key,
                            const std::wstring& fallback, const std::wstring& path) override;
    bool WriteString(const std::wstring& section, const std::wstring& key,
                     const std::wstring& value, const std::wstring& path) override;
    void Flush(const std::wstring& path) override;
};

}  // namespace platform::win32
