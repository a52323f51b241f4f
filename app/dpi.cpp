#include "app/dpi.h"

#include "platform/win32/dll_function.h"
#include "platform/win32/unique_handles.h"

namespace app {

using platform::win32::DllFunction;

UINT WindowDpi(HWND window) {
    // Typed from the system's own declarations; looked up, since older systems lack them.
    static const auto getDpiForWindow =
        DllFunction<decltype(&::GetDpiForWindow)>(L"user32.dll", "GetDpiForWindow");
    if (getDpiForWindow != nullptr && window != nullptr) {
        const UINT dpi = getDpiForWindow(window);
        if (dpi != 0) {
            return dpi;
        }
    }
    const platform::win32::WindowDc screen(nullptr);
    const int dpi = ::GetDeviceCaps(screen.get(), LOGPIXELSX);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

void AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, UINT dpi) {
    static const auto adjustForDpi = DllFunction<decltype(&::AdjustWindowRectExForDpi)>(
        L"user32.dll", "AdjustWindowRectExForDpi");
    if (adjustForDpi == nullptr || !adjustForDpi(&rect, style, FALSE, exStyle, dpi)) {
        ::AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    }
}

FrameInsets FrameAt(DWORD style, DWORD exStyle, UINT dpi) {
    RECT rect{0, 0, 0, 0};
    AdjustWindowRectForDpi(rect, style, exStyle, dpi);
    return FrameInsets{-rect.left, -rect.top, rect.right, rect.bottom};
}

NONCLIENTMETRICSW NonClientMetricsAt(UINT dpi) {
    static const auto forDpi = DllFunction<decltype(&::SystemParametersInfoForDpi)>(
        L"user32.dll", "SystemParametersInfoForDpi");
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (forDpi == nullptr || !forDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi)) {
        ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    }
    return metrics;
}

int SystemMetricAt(int index, UINT dpi) {
    static const auto forDpi =
        DllFunction<decltype(&::GetSystemMetricsForDpi)>(L"user32.dll", "GetSystemMetricsForDpi");
    return forDpi != nullptr ? forDpi(index, dpi) : ::GetSystemMetrics(index);
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
