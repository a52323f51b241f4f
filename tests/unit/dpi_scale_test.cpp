#include <gtest/gtest.h>

#include "app/dpi_scale.h"

namespace {

using app::FrameInsets;
using app::OuterSizeFor;
using app::PixelSize;

// The panel's client area of 187 x 48 at each DPI, with the frame the system gives it there:
// the outer size is the scaled client area (halves rounded up) plus the frame, and only the
// frame of that DPI.
TEST(DpiScaleTest, TheOuterSizeIsTheScaledClientAreaAndTheFrameOfThatDpi) {
    struct Case {
        unsigned dpi;
        FrameInsets frame;
        PixelSize outer;
    };
    const PixelSize panel{187, 48};
    for (const Case& c : {
             Case{96, {3, 26, 3, 3}, {193, 77}},
             Case{120, {4, 31, 4, 4}, {242, 95}},   // 233.75 x 60
             Case{144, {4, 37, 4, 4}, {289, 113}},  // 280.5 x 72: halves go up
             Case{168, {5, 42, 5, 5}, {337, 131}},  // 327.25 x 84
             Case{192, {6, 48, 6, 6}, {386, 150}},  // 374 x 96
             Case{144, {0, 0, 0, 0}, {281, 72}},    // no frame: the client area alone
         }) {
        SCOPED_TRACE(c.dpi);
        EXPECT_EQ(OuterSizeFor(panel, c.dpi, c.frame), c.outer);
    }
}

}  // namespace
