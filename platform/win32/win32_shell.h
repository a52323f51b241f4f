#pragma once

#include "platform/shell.h"

namespace platform::win32 {

class Win32Shell final : public Shell {
  public:
    bool IsExistingFile(const std::wstring& path) override;
    void OpenFile(WindowHandle owner, const std::wstring& path) override;
};

}  // namespace platform::win32
