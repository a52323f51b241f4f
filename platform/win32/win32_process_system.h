#pragma once

#include "platform/process_system.h"

namespace platform::win32 {

class Win32ProcessSystem final : public ProcessSystem {
  public:
    std::unique_ptr<OpenedProcess> OpenForQuery(ProcessId id) override;
    std::optional<bool> IsElevated(ProcessId id) override;
    ProcessId CurrentProcessId() override;
};

}  // namespace platform::win32
