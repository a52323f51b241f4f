#pragma once

#include <functional>

#include "bench/soak/desk.h"

namespace soak {

// One cycle of what a day brings, numbered from 1: cadsim starts, Register, LIST, an export,
// taps while it is busy, then while it refuses calls and while it hangs, and cadsim goes. The
// choices that vary (the picker's answer, the way cadsim goes) turn with the number. Throws
// SoakFailure naming the cycle and the step that did not come to its end.
struct DayPlan {
    // Bit k set: step k (1 Register, 2 LIST, 3 the export, 4 taps, 5 refusing, 6 hanging) is
    // left out, to find the step that makes a figure grow. cadsim always starts and goes.
    unsigned leftOut = 0;
    // When given, called with the name of each step once it has ended.
    std::function<void(const char* step)> afterStep;
};

void RunCycle(Desk& desk, int cycle, const DayPlan& plan);

}  // namespace soak
