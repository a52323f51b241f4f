#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/profile_files.h"

namespace fakes {

// Profile files in memory, keyed by path, section and key, with a log of every call.
class FakeProfileFiles : public platform::ProfileFiles {
  public:
    using Key = std::pair<std::wstring, std::wstring>;  // section, key

    std::wstring ReadString(const std::wstring& section, const std::wstring& key,
                            const std::wstring& fallback, const std::wstring& path) override {
        log.push_back(L"read " + key);
        const auto file = files.find(path);
        if (file == files.end()) {
            return fallback;
        }
        const auto value = file->second.find({section, key});
        return value == file->second.end() ? fallback : value->second.substr(0, 2047);
    }

    bool WriteString(const std::wstring& section, const std::wstring& key,
                     const std::wstring& value, const std::wstring& path) override {
        log.push_back(L"write " + key);
        if (failWritesFrom == key || failing) {
            failing = true;
            return false;
        }
        files[path][{section, key}] = value;
        order[path].push_back(key);
        return true;
    }

    void Flush(const std::wstring& path) override { log.push_back(L"flush " + path); }

    std::map<std::wstring, std::map<Key, std::wstring>> files;
    std::map<std::wstring, std::vector<std::wstring>> order;  // keys in the order written
    std::vector<std::wstring> log;
    std::wstring failWritesFrom;  // this key and every later write fail
    bool failing = false;
};

}  // namespace fakes
