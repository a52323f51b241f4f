#pragma once

#include <chrono>
#include <vector>

#include "platform/clock.h"

namespace fakes {

// A clock that moves only when it is paused, by the pause; it logs the pauses.
class FakeClock : public platform::Clock {
  public:
    std::chrono::milliseconds Now() override { return now; }
    void Pause(std::chrono::milliseconds duration) override {
        pauses.push_back(duration);
        now += duration;
    }

    std::chrono::milliseconds now{100000};
    std::vector<std::chrono::milliseconds> pauses;
};

}  // namespace fakes
