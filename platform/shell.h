#pragma once

#include <string>

#include "platform/window_handle.h"

namespace platform {

// The shell and the file system, as the commands use them.
class Shell {
  public:
    virtual ~Shell() = default;
    // Whether the path names an existing file that is not a folder; a symbolic link counts when
    // its target does. An empty path gives false.
    virtual bool IsExistingFile(const std::wstring& path) = 0;
    // Asks the shell to open the file (verb "open", shown normally); the result is not looked at.
    virtual void OpenFile(WindowHandle owner, const std::wstring& path) = 0;
};

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
