#pragma once

#include <cstdint>
#include <string>

#include "platform/profile_files.h"

namespace settings {

// The settings file beside the executable. Every read and write goes to the file at once; the
// object keeps no copy. Opening touches nothing on disk; releasing it asks for a flush.
class SettingsFile {
  public:
    SettingsFile(platform::ProfileFiles& files, std::wstring path);
    ~SettingsFile();
    SettingsFile(const SettingsFile&) = delete;
    SettingsFile& operator=(const SettingsFile&) = delete;

    std::wstring ReadString(const std::wstring& section, const std::wstring& key,
                            const std::wstring& fallback);
    std::int32_t ReadInteger(const std::wstring& section, const std::wstring& key,
                             std::int32_t fallback);
    bool ReadBool(const std::wstring& section, const std::wstring& key, bool fallback);

    // Each throws platform::Error, the path and texts::kCannotWrite, when the value cannot be
    // stored.
    void WriteString(const std::wstring& section, const std::wstring& key,
                     const std::wstring& value);
    void WriteInteger(const std::wstring& section, const std::wstring& key, std::int32_t value);
    void WriteBool(const std::wstring& section, const std::wstring& key, bool value);

  private:
    platform::ProfileFiles& files_;
    std::wstring path_;
};

}  // namespace settings
