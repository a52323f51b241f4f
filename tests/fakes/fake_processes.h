#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/process_system.h"

namespace fakes {

// Scripted processes: each opens unless canOpen is false and names its module `path`; with
// onlyModule set, every other module has no name. Counts the opens and the closes.
class FakeProcesses : public platform::ProcessSystem {
  public:
    struct Counters {
        int opened = 0;
        int closed = 0;
    };
    class Process : public platform::OpenedProcess {
      public:
        Process(std::wstring path, std::optional<platform::ModuleHandle> onlyModule,
                Counters& counters)
            : path_(std::move(path)), onlyModule_(onlyModule), counters_(counters) {}
        ~Process() override { ++counters_.closed; }
        Process(const Process&) = delete;
        Process& operator=(const Process&) = delete;
        std::wstring ModuleFileName(platform::ModuleHandle module) override {
            return !onlyModule_ || module == *onlyModule_ ? path_ : std::wstring();
        }

      private:
        std::wstring path_;
        std::optional<platform::ModuleHandle> onlyModule_;
        Counters& counters_;
    };

    std::unique_ptr<platform::OpenedProcess> OpenForQuery(platform::ProcessId id) override {
        opens.push_back(id);
        if (!canOpen) {
            return nullptr;
        }
        ++counters.opened;
        return std::make_unique<Process>(path, onlyModule, counters);
    }

    std::optional<bool> IsElevated(platform::ProcessId id) override {
        const auto found = elevated.find(id);
        return found == elevated.end() ? std::nullopt : std::optional<bool>(found->second);
    }
    platform::ProcessId CurrentProcessId() override { return kSelf; }

    static constexpr platform::ProcessId kSelf = 4000;

    bool canOpen = true;
    // The rights of each process that can be queried; every other process cannot be.
    std::map<platform::ProcessId, bool> elevated;
    std::wstring path;
    std::optional<platform::ModuleHandle> onlyModule;
    std::vector<platform::ProcessId> opens;
    Counters counters;
};

}  // namespace fakes
