#pragma once

#include <set>
#include <string>
#include <vector>

#include "platform/shell.h"

namespace fakes {

// Files that exist, and what the shell was asked to open.
class FakeShell : public platform::Shell {
  public:
    bool IsExistingFile(const std::wstring& path) override { return files.count(path) != 0; }
    void OpenFile(platform::WindowHandle owner, const std::wstring& path) override {
        opened.push_back(path);
        owners.push_back(owner);
    }

    std::set<std::wstring> files;
    std::vector<std::wstring> opened;
    std::vector<platform::WindowHandle> owners;
};

}  // namespace fakes
