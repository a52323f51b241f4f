#pragma once

#include <windows.h>
#include <commctrl.h>

#include "app/dark_theme.h"

namespace app::theme {

// Paints a push button or a check box in the dark look from its NM_CUSTOMDRAW notification.
// The controls stay ordinary buttons (their state, texts and messages are the system's); only
// their drawing is the program's.
LRESULT CustomDrawButton(const NMCUSTOMDRAW& draw);

// WM_CTLCOLOR* for static texts, check boxes (where custom drawing is not offered) and edits.
HBRUSH ControlColours(const DarkTheme& theme, UINT message, HDC dc);

// The messages by which a window's buttons, texts and edit fields ask for their dark look
// (NM_CUSTOMDRAW and WM_CTLCOLOR*); true, with the answer, when the message was one of them.
bool HandleDarkControlMessage(const DarkTheme& theme, UINT message, WPARAM wParam, LPARAM lParam,
                              LRESULT& answer);

// Draws the edit field's one-pixel frame in the dark border colour.
void FrameEditInDarkBorder(HWND edit);

}  // namespace app::theme
