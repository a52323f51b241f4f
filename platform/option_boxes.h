#pragma once

#include <array>
#include <cstddef>

namespace platform {

// The panel's option boxes, CheckBox1 to CheckBoxN: the one list of them. A row is
//   X(N, enumerator, settings key, caption, ticked, left, top, width, height)
// N numbers the box (CheckBoxN, its handler CheckBoxNClick, its control id); `ticked` is its
// state at design and when the settings file lacks its key; the place is in 96-DPI pixels of
// the panel's client area. The rows stand in the boxes' tab order, which is also the order of
// their keys in the settings file. The list is expanded into OptionBox and kOptionBoxes below
// and into the panel's table of click handlers; everything else reads kOptionBoxes.
// clang-format off
#define MERIDO_OPTION_BOXES(X)                               \
    X(1, Shift, L"Shift", L"Shift", true, 47, 28, 44, 17)    \
    X(2, Ctrl, L"Ctrl", L"Ctrl", true, 94, 28, 40, 17)       \
    X(3, Ime, L"IME", L"IME", true, 2, 28, 41, 17)           \
    X(4, Off, L"OFF", L"OFF", true, 140, 28, 40, 17)
// clang-format on

// The value of a box is its N.
enum class OptionBox {
#define MERIDO_OPTION_BOX_ENUMERATOR(number, name, ...) name = (number),
    MERIDO_OPTION_BOXES(MERIDO_OPTION_BOX_ENUMERATOR)
#undef MERIDO_OPTION_BOX_ENUMERATOR
};

struct OptionBoxRow {
    OptionBox box;
    const wchar_t* settingsKey;
    const wchar_t* caption;
    bool ticked;
    int left, top, width, height;
};

inline constexpr std::array kOptionBoxes{
#define MERIDO_OPTION_BOX_ROW(number, name, key, caption, ticked, left, top, width, height) \
    OptionBoxRow{OptionBox::name, key, caption, ticked, left, top, width, height},
    MERIDO_OPTION_BOXES(MERIDO_OPTION_BOX_ROW)
#undef MERIDO_OPTION_BOX_ROW
};

// The boxes are numbered 1, 2, 3, ... in the order of the rows.
consteval bool OptionBoxesNumberedInOrder() {
    for (std::size_t i = 0; i < kOptionBoxes.size(); ++i) {
        if (static_cast<std::size_t>(kOptionBoxes[i].box) != i + 1) {
            return false;
        }
    }
    return true;
}
static_assert(OptionBoxesNumberedInOrder(), "number the option boxes 1, 2, 3, ... in row order");

}  // namespace platform
