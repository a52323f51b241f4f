#pragma once

#include <windows.h>

#include <functional>

namespace app {

// The panel's keyboard navigation, as a dialog box has it. Tab and Shift+Tab, and outside the
// version field the arrow keys, move the focus through the controls that have WS_TABSTOP, in
// their order among the panel's children; Enter presses a focused push button; Enter and Esc
// do nothing else.
class PanelKeyboard {
  public:
    // press: runs the click of the push button with that control id.
    PanelKeyboard(int editId, std::function<void(int id)> press)
        : editId_(editId), press_(std::move(press)) {}

    // A key-down for the panel or one of its controls; true when it was handled here.
    bool PreTranslate(HWND panel, const MSG& message) const;

  private:
    static void MoveFocus(HWND panel, HWND from, bool forward);

    int editId_;
    std::function<void(int id)> press_;
};

}  // namespace app
