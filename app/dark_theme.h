#pragma once

#include <windows.h>

#include "platform/win32/unique_handles.h"

namespace app::theme {

// The program's dark look. Windows offers no dark theme for classic controls, so the program
// paints its own: these colours are used by every window it shows.
inline constexpr COLORREF kWindowBackground = RGB(32, 32, 32);
inline constexpr COLORREF kControlBackground = RGB(43, 43, 43);
inline constexpr COLORREF kEditBackground = RGB(25, 25, 25);
inline constexpr COLORREF kButtonFace = RGB(55, 55, 55);
inline constexpr COLORREF kButtonHot = RGB(70, 70, 70);
inline constexpr COLORREF kButtonPressed = RGB(90, 90, 90);
inline constexpr COLORREF kBorder = RGB(100, 100, 100);
inline constexpr COLORREF kFocusBorder = RGB(0, 120, 215);
inline constexpr COLORREF kText = RGB(240, 240, 240);
inline constexpr COLORREF kDisabledText = RGB(128, 128, 128);
inline constexpr COLORREF kAccent = RGB(0, 120, 215);
inline constexpr COLORREF kMenuBackground = RGB(43, 43, 43);
inline constexpr COLORREF kMenuHighlight = RGB(65, 65, 65);

// Asks the desktop window manager for a dark caption bar where the system offers one (Windows
// 10 1809 and later); elsewhere, Wine included, nothing happens and the frame keeps the
// system's look.
void ApplyDarkFrame(HWND window);

// The brushes that the program's windows paint with; one object, made at start-up and handed to
// each window, owns them.
class DarkTheme {
  public:
    DarkTheme();
    HBRUSH WindowBrush() const { return window_.get(); }
    HBRUSH ControlBrush() const { return control_.get(); }
    HBRUSH EditBrush() const { return edit_.get(); }
    HBRUSH MenuBrush() const { return menu_.get(); }

  private:
    platform::win32::UniqueBrush window_;
    platform::win32::UniqueBrush control_;
    platform::win32::UniqueBrush edit_;
    platform::win32::UniqueBrush menu_;
};

}  // namespace app::theme
