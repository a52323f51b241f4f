#pragma once

#include <memory>

#include "platform/process_system.h"

namespace fakes {

// A system whose processes can never be opened.
class NoProcesses : public platform::ProcessSystem {
  public:
    std::unique_ptr<platform::OpenedProcess> OpenForQuery(platform::ProcessId) override {
        return nullptr;
    }
};

}  // namespace fakes
