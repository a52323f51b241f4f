#include "app/dpi.h"

namespace app {
namespace {

template <typename Function>
Function User32Function(const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), name)));
}

}  // namespace

UINT WindowDpi(HWND window) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
    if (getDpiForWindow != nullptr && window != nullptr) {
        const UINT dpi = getDpiForWindow(window);
        if (dpi != 0) {
            return dpi;
        }
    }
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
    ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

void AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, UINT dpi) {
    using AdjustForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = User32Function<AdjustForDpiFn>("AdjustWindowRectExForDpi");
    if (adjustForDpi == nullptr || !adjustForDpi(&rect, style, FALSE, exStyle, dpi)) {
        ::AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    }
}

HFONT CreateScaledFont(const wchar_t* face, int height96, UINT dpi, BYTE charset) {
    LOGFONTW font{};
    font.lfHeight = -Scale(height96, dpi);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = charset;
    font.lfQuality = DEFAULT_QUALITY;
    ::lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
    return ::CreateFontIndirectW(&font);
}

}  // namespace app
