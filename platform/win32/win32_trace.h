#pragma once

#include "platform/trace.h"

namespace platform::win32 {

// The trace as the debugger's output (OutputDebugStringW), one line each. With no debugger or
// debug-output viewer listening the system drops the line at once.
class Win32Trace final : public Trace {
  public:
    void Write(const std::wstring& line) noexcept override;
};

}  // namespace platform::win32
