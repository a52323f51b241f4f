#pragma once

#include <string>

namespace platform {

// The program's message and confirmation boxes.
class Dialogs {
  public:
    virtual ~Dialogs() = default;
    // A plain box with the text and "OK"; returns when it is closed.
    virtual void ShowMessage(const std::wstring& text) = 0;
    // A question with the buttons yes (the default) and no; true for yes.
    virtual bool Confirm(const std::wstring& text) = 0;
};

}  // namespace platform
