#pragma once

#include <windows.h>

#include <algorithm>
#include <array>
#include <iterator>

#include "app/app_texts.h"
#include "app/fonts.h"
#include "platform/option_boxes.h"

namespace app::layout {

// Control ids: tests and accessibility tools find the controls by them.
enum ControlId : int {
    kButton1 = 101,     // texts::kRegisterButton, below the visible area
    kButton2 = 102,     // "ACT"
    kButton3 = 103,     // "WBLOCK", right of the visible area
    kButton4 = 104,     // "LIST"
    kCheckBoxes = 200,  // CheckBoxN is 200 + N (CheckBoxId)
    kEdit1 = 301,
    kLabel1 = 401,
    kShape1 = 501,
};

constexpr int CheckBoxId(platform::OptionBox box) { return kCheckBoxes + static_cast<int>(box); }

struct ControlEntry {
    int id;
    const wchar_t* className;
    const wchar_t* text;
    DWORD style;
    int left, top, width, height;  // 96-DPI pixels in the client area
    FontRole font;
};

// The client area at 96 DPI; two buttons lie outside it on purpose, reachable by keyboard only.
inline constexpr int kClientWidth = 187;
inline constexpr int kClientHeight = 48;

inline constexpr DWORD kPushButton = BS_PUSHBUTTON | WS_TABSTOP;
inline constexpr DWORD kCheckBox = BS_AUTOCHECKBOX | WS_TABSTOP;

constexpr ControlEntry OptionBoxControl(const platform::OptionBoxRow& row) {
    return ControlEntry{.id = CheckBoxId(row.box),
                        .className = L"BUTTON",
                        .text = row.caption,
                        .style = kCheckBox,
                        .left = row.left,
                        .top = row.top,
                        .width = row.width,
                        .height = row.height,
                        .font = FontRole::Option};
}

// The controls before the option boxes in tab order, and those after them: the rest of the tab
// order, then the two that never take the focus.
inline constexpr ControlEntry kControlsBeforeBoxes[] = {
    {kButton1, L"BUTTON", texts::kRegisterButton, kPushButton, 83, 58, 39, 25, FontRole::Panel},
    {kButton2, L"BUTTON", L"ACT", kPushButton, 12, 1, 37, 25, FontRole::Panel},
    {kButton3, L"BUTTON", L"WBLOCK", kPushButton, 189, 8, 52, 25, FontRole::Panel},
};
inline constexpr ControlEntry kControlsAfterBoxes[] = {
    {kButton4, L"BUTTON", L"LIST", kPushButton, 50, 1, 41, 25, FontRole::Panel},
    {kEdit1, L"EDIT", L"25", ES_NUMBER | ES_CENTER | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 150,
     1, 33, 24, FontRole::Edit},
    {kShape1, L"TShape", L"", 0, 2, 1, 9, 25, FontRole::Panel},
    {kLabel1, L"STATIC", L"API Ver.=", SS_LEFT | SS_NOPREFIX, 98, 6, 48, 13, FontRole::Panel},
};

// Every control: in tab order (the controls with WS_TABSTOP), then the two that never take the
// focus. The option boxes come from their list (platform/option_boxes.h).
inline constexpr auto kControls = [] {
    std::array<ControlEntry, std::size(kControlsBeforeBoxes) + platform::kOptionBoxes.size() +
                                 std::size(kControlsAfterBoxes)>
        controls{};
    auto next = std::copy(std::begin(kControlsBeforeBoxes), std::end(kControlsBeforeBoxes),
                          controls.begin());
    next = std::transform(platform::kOptionBoxes.begin(), platform::kOptionBoxes.end(), next,
                          OptionBoxControl);
    std::copy(std::begin(kControlsAfterBoxes), std::end(kControlsAfterBoxes), next);
    return controls;
}();

}  // namespace app::layout
