#pragma once

#include <cstddef>
#include <vector>

namespace app {

// A control's place in the box's client area, in pixels.
struct BoxRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const BoxRect&, const BoxRect&) = default;
};

// What the box's layout depends on, in pixels at the box's DPI.
struct BoxMeasures {
    int textWidth = 0;  // the text's extent, wrapped at MessageTextWidthLimit
    int textHeight = 0;
    int iconSize = 0;  // 0: no icon
    std::size_t buttonCount = 1;
    unsigned dpi = 96;
};

struct BoxLayout {
    int clientWidth = 0;
    int clientHeight = 0;
    BoxRect icon;  // empty without an icon
    BoxRect text;
    std::vector<BoxRect> buttons;  // left to right
};

// The width at which the box's text wraps.
int MessageTextWidthLimit(unsigned dpi);

// The icon at the top left, the text beside it centred on the icon's height, and one row of
// equal buttons centred below both; the client area fits the wider of the text and the row.
BoxLayout LayOutMessageBox(const BoxMeasures& measures);

}  // namespace app
