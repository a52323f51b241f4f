#pragma once

#include <cstdint>

namespace app {

// Layout is written in 96-DPI units and scaled to the DPI of the monitor a window is on, rounded
// to the nearest pixel, halves away from zero (as MulDiv rounds).
constexpr int Scale(int value96, unsigned dpi) {
    const std::int64_t product = static_cast<std::int64_t>(value96) * dpi;
    return static_cast<int>(product >= 0 ? (product + 48) / 96 : -((48 - product) / 96));
}

// A window's frame: how far its outer rectangle reaches beyond its client area on each side.
struct FrameInsets {
    int left;
    int top;
    int right;
    int bottom;
};

struct PixelSize {
    int width;
    int height;
    friend bool operator==(const PixelSize&, const PixelSize&) = default;
};

// The outer size of a window whose client area is `client96` (in 96-DPI units) scaled to dpi,
// with the frame that the system computes for the window at that DPI.
constexpr PixelSize OuterSizeFor(PixelSize client96, unsigned dpi, FrameInsets frame) {
    return PixelSize{Scale(client96.width, dpi) + frame.left + frame.right,
                     Scale(client96.height, dpi) + frame.top + frame.bottom};
}

}  // namespace app
