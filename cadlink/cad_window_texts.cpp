#include "cadlink/cad_window_texts.h"

namespace cadlink {
namespace {

std::wstring_view UpToNul(std::wstring_view text) { return text.substr(0, text.find(L'\0')); }

}  // namespace

bool IsCadMainWindowTitle(std::wstring_view title) {
    const std::wstring_view text = UpToNul(title);
    return text.starts_with(L"AutoCAD ") || text.starts_with(L"Autodesk AutoCAD ");
}

bool IsCadMainWindowClass(std::wstring_view className) {
    return UpToNul(className).starts_with(L"AfxMDIFrame1");
}

}  // namespace cadlink
