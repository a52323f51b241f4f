#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/dpi_scale.h"
#include "app/message_box_layout.h"

namespace {

using app::BoxLayout;
using app::BoxMeasures;
using app::BoxRect;

TEST(MessageBoxLayoutTest, PlacesTheControlsAtTheirScaledDistances) {
    struct Case {
        const char* name;
        BoxMeasures measures;
        int clientWidth, clientHeight;
        BoxRect icon, text;
        std::vector<BoxRect> buttons;
    };
    const Case cases[] = {
        // Text wider than the button row: the row is centred under it.
        {"information", {100, 16, 0, 1, 96}, 132, 90, {}, {16, 16, 100, 16}, {{22, 48, 88, 26}}},
        // A one-line text beside the taller icon sits on the icon's middle.
        {"error",
         {200, 16, 32, 1, 96},
         274,
         106,
         {16, 16, 32, 32},
         {58, 24, 200, 16},
         {{93, 64, 88, 26}}},
        // A short question: the two buttons set the width.
        {"confirmation",
         {40, 32, 0, 2, 96},
         218,
         106,
         {},
         {16, 16, 40, 32},
         {{16, 64, 88, 26}, {114, 64, 88, 26}}},
        // A text taller than the icon: the icon stays at the top.
        {"tall error",
         {300, 60, 32, 1, 96},
         374,
         134,
         {16, 16, 32, 32},
         {58, 16, 300, 60},
         {{143, 92, 88, 26}}},
        // 144 DPI: every distance is one and a half times its 96-DPI size.
        {"144 dpi",
         {60, 24, 0, 2, 144},
         327,
         135,
         {},
         {24, 24, 60, 24},
         {{24, 72, 132, 39}, {171, 72, 132, 39}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const BoxLayout layout = app::LayOutMessageBox(c.measures);
        EXPECT_EQ(layout.clientWidth, c.clientWidth);
        EXPECT_EQ(layout.clientHeight, c.clientHeight);
        EXPECT_EQ(layout.icon, c.icon);
        EXPECT_EQ(layout.text, c.text);
        EXPECT_EQ(layout.buttons, c.buttons);
    }
}

bool Inside(const BoxRect& rect, const BoxLayout& layout) {
    return rect.left >= 0 && rect.top >= 0 && rect.left + rect.width <= layout.clientWidth &&
           rect.top + rect.height <= layout.clientHeight;
}

TEST(MessageBoxLayoutTest, KeepsEveryControlInsideAndTheButtonsBelowAndCentred) {
    for (unsigned dpi : {96u, 120u, 144u, 192u}) {
        const int limit = app::MessageTextWidthLimit(dpi);
        for (int textWidth : {0, 1, 57, limit}) {
            for (int textHeight : {13, 31, 400}) {
                for (int iconSize : {0, 32, 48}) {
                    for (std::size_t buttons : {1u, 2u}) {
                        SCOPED_TRACE(std::to_string(dpi) + " dpi, text " +
                                     std::to_string(textWidth) + "x" + std::to_string(textHeight) +
                                     ", icon " + std::to_string(iconSize) + ", " +
                                     std::to_string(buttons) + " buttons");
                        const BoxLayout layout = app::LayOutMessageBox(
                            BoxMeasures{textWidth, textHeight, iconSize, buttons, dpi});
                        ASSERT_EQ(layout.buttons.size(), buttons);
                        EXPECT_TRUE(Inside(layout.text, layout));
                        EXPECT_EQ(layout.icon.width, iconSize);
                        if (iconSize > 0) {
                            EXPECT_TRUE(Inside(layout.icon, layout));
                            EXPECT_LT(layout.icon.left + layout.icon.width, layout.text.left);
                        }
                        const int contentBottom = std::max(layout.text.top + layout.text.height,
                                                           layout.icon.top + layout.icon.height);
                        const BoxRect& first = layout.buttons.front();
                        const BoxRect& last = layout.buttons.back();
                        EXPECT_GT(first.top, contentBottom);
                        EXPECT_TRUE(Inside(first, layout));
                        EXPECT_TRUE(Inside(last, layout));
                        EXPECT_LE(
                            std::abs(first.left - (layout.clientWidth - last.left - last.width)),
                            1);
                        if (buttons == 2) {
                            EXPECT_GT(last.left, first.left + first.width);
                        }
                    }
                }
            }
        }
    }
}

TEST(DpiScaleTest, RoundsToTheNearestPixelWithHalvesAwayFromZero) {
    EXPECT_EQ(app::Scale(16, 96), 16);
    EXPECT_EQ(app::Scale(11, 144), 17);    // 16.5
    EXPECT_EQ(app::Scale(-11, 144), -17);  // fonts use negative heights
    EXPECT_EQ(app::Scale(25, 120), 31);    // 31.25
    EXPECT_EQ(app::Scale(13, 120), 16);    // 16.25
    EXPECT_EQ(app::Scale(7, 168), 12);     // 12.25
    EXPECT_EQ(app::Scale(9, 168), 16);     // 15.75
}

}  // namespace
