#include "settings/settings_file.h"

#include "platform/error.h"
#include "settings/settings_texts.h"
#include "settings/text_to_int.h"

namespace settings {

SettingsFile::SettingsFile(platform::ProfileFiles& files, std::wstring path)
    : files_(files), path_(std::move(path)) {}

SettingsFile::~SettingsFile() { files_.Flush(path_); }

std::wstring SettingsFile::ReadString(const std::wstring& section, const std::wstring& key,
                                      const std::wstring& fallback) {
    return files_.ReadString(section, key, fallback, path_);
}

std::int32_t SettingsFile::ReadInteger(const std::wstring& section, const std::wstring& key,
                                       std::int32_t fallback) {
    return TextToIntOrDefault(ReadString(section, key, L""), fallback);
}

bool SettingsFile::ReadBool(const std::wstring& section, const std::wstring& key, bool fallback) {
    return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

void SettingsFile::WriteString(const std::wstring& section, const std::wstring& key,
                               const std::wstring& value) {
    if (!files_.WriteString(section, key, value, path_)) {
        throw platform::Error(path_ + texts::kCannotWrite);
    }
}

void SettingsFile::WriteInteger(const std::wstring& section, const std::wstring& key,
                                std::int32_t value) {
    WriteString(section, key, std::to_wstring(value));
}

void SettingsFile::WriteBool(const std::wstring& section, const std::wstring& key, bool value) {
    WriteString(section, key, value ? L"1" : L"0");
}

}  // namespace settings
