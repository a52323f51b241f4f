#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/dialogs.h"

namespace fakes {

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
