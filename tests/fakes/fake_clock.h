#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "platform/clock.h"

namespace fakes {

// A clock that moves only when it is paused or slept, by that time. It logs the pauses, and
// each sleep as "sleep <ms>" into `log` when a test points it at the log of the calls that the
// sleep must stand between.
class FakeClock : public platform::Clock {
  public:
    std::chrono::milliseconds Now() override { return now; }
    void Pause(std::chrono::milliseconds duration) override {
        pauses.push_back(duration);
        now += duration;
    }
    void Sleep(std::chrono::milliseconds duration) override {
        if (log != nullptr) {
            log->push_back(L"sleep " + std::to_wstring(duration.count()));
        }
        now += duration;
    }

    std::chrono::milliseconds now{100000};
    std::vector<std::chrono::milliseconds> pauses;
    std::vector<std::wstring>* log = nullptr;
};

}  // namespace fakes
