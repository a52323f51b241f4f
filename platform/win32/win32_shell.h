#pragma once

#include <string>

#include "platform/shell.h"

namespace platform::win32 {

// The path as a full path in the form that lifts the 260-character limit: "\\?\" in front, or
// "\\?\UNC\" in place of a share's leading "\\". A path already in that form is returned as it is.
std::wstring LongPathForm(const std::wstring& path);

class Win32Shell final : public Shell {
  public:
    bool IsExistingFile(const std::wstring& path) override;
    void OpenFile(WindowHandle owner, const std::wstring& path) override;
};

}  // namespace platform::win32
