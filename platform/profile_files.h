#pragma once

#include <string>

namespace platform {

// INI-style profile files, one call per key (the system's private profile functions).
class ProfileFiles {
  public:
    virtual ~ProfileFiles() = default;

    // The value stored under the key, at most 2047 characters, or `fallback` when the key, its
    // section or the file is missing or cannot be read.
    virtual std::wstring ReadString(const std::wstring& section, const std::wstring& key,
                                    const std::wstring& fallback, const std::wstring& path) = 0;
    // Stores the value, creating the file, section and key as needed; false on failure.
    virtual bool WriteString(const std::wstring& section, const std::wstring& key,
                             const std::wstring& value, const std::wstring& path) = 0;
    // Asks for whatever is held for the file to be written out; the result does not matter.
    virtual void Flush(const std::wstring& path) = 0;
};

}  // namespace platform
