#include <windows.h>
#include <dwmapi.h>

#include "app/dark_theme.h"

#include "platform/win32/dll_function.h"

namespace app::theme {
namespace {

// DWMWA_USE_IMMERSIVE_DARK_MODE: 20 from Windows 10 20H1 on, 19 on 1809 to 1909.
constexpr DWORD kImmersiveDarkMode = 20;
constexpr DWORD kImmersiveDarkModeBefore20H1 = 19;

using DwmSetWindowAttributeFn = decltype(&::DwmSetWindowAttribute);

}  // namespace

void ApplyDarkFrame(HWND window) {
    // dwmapi is looked up at run time: a system without it (or without the attribute) simply
    // keeps its own caption colours.
    static const auto setAttribute = platform::win32::DllFunction<DwmSetWindowAttributeFn>(
        L"dwmapi.dll", "DwmSetWindowAttribute");
    if (setAttribute == nullptr) {
        return;
    }
    const BOOL dark = TRUE;
    if (FAILED(setAttribute(window, kImmersiveDarkMode, &dark, sizeof(dark)))) {
        setAttribute(window, kImmersiveDarkModeBefore20H1, &dark, sizeof(dark));
    }
}

DarkTheme::DarkTheme()
    : window_(::CreateSolidBrush(kWindowBackground)),
      control_(::CreateSolidBrush(kControlBackground)),
      edit_(::CreateSolidBrush(kEditBackground)),
      menu_(::CreateSolidBrush(kMenuBackground)) {}

}  // namespace app::theme
