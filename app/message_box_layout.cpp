#include "app/message_box_layout.h"

#include <algorithm>

#include "app/dpi_scale.h"

namespace app {

int MessageTextWidthLimit(unsigned dpi) { return Scale(480, dpi); }

BoxLayout LayOutMessageBox(const BoxMeasures& measures) {
    const int margin = Scale(16, measures.dpi);
    const int gap = Scale(10, measures.dpi);
    const int buttonWidth = Scale(88, measures.dpi);
    const int buttonHeight = Scale(26, measures.dpi);
    const bool withIcon = measures.iconSize > 0;

    BoxLayout layout;
    const int textLeft = margin + (withIcon ? measures.iconSize + gap : 0);
    const int contentHeight = std::max(measures.textHeight, measures.iconSize);
    if (withIcon) {
        layout.icon = BoxRect{margin, margin, measures.iconSize, measures.iconSize};
    }
    layout.text = BoxRect{textLeft, margin + (contentHeight - measures.textHeight) / 2,
                          measures.textWidth, measures.textHeight};

    const int count = static_cast<int>(measures.buttonCount);
    const int rowWidth = count * buttonWidth + std::max(count - 1, 0) * gap;
    layout.clientWidth = std::max(textLeft + measures.textWidth + margin, rowWidth + 2 * margin);
    const int rowTop = margin + contentHeight + margin;
    layout.clientHeight = rowTop + buttonHeight + margin;
    int left = (layout.clientWidth - rowWidth) / 2;
    for (int i = 0; i < count; ++i) {
        layout.buttons.push_back(BoxRect{left, rowTop, buttonWidth, buttonHeight});
        left += buttonWidth + gap;
    }
    return layout;
}

}  // namespace app
