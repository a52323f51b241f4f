#pragma once

#include <windows.h>

#include <string>

#include "app/dark_theme.h"

namespace app {

enum class BoxKind {
    Information,   // text and "OK"
    Error,         // the error icon, text and "OK"
    Confirmation,  // text, texts::kYesButton (the default) and texts::kNoButton
};

// The window class of the program's message and confirmation boxes.
inline constexpr wchar_t kMessageBoxClassName[] = L"TMessageForm";

void RegisterMessageBoxClass(HINSTANCE instance);

// What a box at dpi takes from the system for that DPI: the font of its text and the size of its
// (error) icon.
struct BoxSystemLook {
    LOGFONTW font;
    int iconSize;
};
BoxSystemLook BoxSystemLookAt(UINT dpi);

// Shows a dark modal box centred on the screen and returns IDOK, IDYES or IDNO (IDNO also for
// Esc and the close box of a confirmation). The program's other windows are disabled meanwhile;
// its timers go on. The box is owned by `owner` (none before the panel exists), so that it
// stays above it and adds no taskbar button of its own.
int ShowMessageBox(const theme::DarkTheme& theme, HWND owner, const std::wstring& title,
                   const std::wstring& text, BoxKind kind);

}  // namespace app
