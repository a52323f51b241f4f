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

}  // namespace platform
