#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/window_handle.h"

namespace platform {

// A process opened for querying; closing it is the destructor's job.
class OpenedProcess {
  public:
    virtual ~OpenedProcess() = default;
    // The full file name of a module loaded in the process, at most 259 characters; empty when
    // it cannot be read.
    virtual std::wstring ModuleFileName(ModuleHandle module) = 0;
};

// Process services (kernel32, psapi).
class ProcessSystem {
  public:
    virtual ~ProcessSystem() = default;
    // Opens the process for query and memory read access; null when it cannot be opened.
    virtual std::unique_ptr<OpenedProcess> OpenForQuery(ProcessId id) = 0;
    // Whether the process runs elevated, with an administrator's full rights; nothing when its
    // rights cannot be read.
    virtual std::optional<bool> IsElevated(ProcessId id) = 0;
    // The id of this program's own process.
    virtual ProcessId CurrentProcessId() = 0;
};

}  // namespace platform
