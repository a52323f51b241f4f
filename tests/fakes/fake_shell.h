#pragma once

#include <functional>
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

// The boxes the user was shown, and the answers a test gives to questions.
class FakeDialogs : public platform::Dialogs {
  public:
    void ShowMessage(const std::wstring& text) override {
        shown.push_back(text);
        if (onShow) {
            onShow();
        }
    }
    bool Confirm(const std::wstring& text) override {
        questions.push_back(text);
        return answerYes;
    }

    std::vector<std::wstring> shown;
    std::vector<std::wstring> questions;
    bool answerYes = true;
    std::function<void()> onShow;
};

}  // namespace fakes
