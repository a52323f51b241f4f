#pragma once

#include <cstdint>

namespace app {

// Layout is written in 96-DPI units and scaled to the DPI of the monitor a window is on, rounded
// to the nearest pixel, halves away from zero (as MulDiv rounds).
constexpr int Scale(int value96, unsigned dpi) {
    const std::int64_t product = static_cast<std::int64_t>(value96) * dpi;
    return static_cast<int>(product >= 0 ? (product + 48) / 96 : -((48 - product) / 96));
}

}  // namespace app
