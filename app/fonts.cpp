#include "app/fonts.h"

#include "app/dpi.h"

namespace app {
namespace {

struct FontEntry {
    int height96;  // the character height in pixels at 96 DPI
    BYTE charset;
};

constexpr wchar_t kFace[] = L"Tahoma";

// In the order of FontRole.
constexpr FontEntry kFonts[] = {
    {11, DEFAULT_CHARSET},  // Panel: buttons and the label
    {12, DEFAULT_CHARSET},  // Option: the option boxes
    {13, DEFAULT_CHARSET},  // Edit: the version field
    {11, DEFAULT_CHARSET},  // PickerWindow
    {13, ANSI_CHARSET},     // PickerList: the drawings' names
};

std::size_t IndexOf(FontRole role) { return static_cast<std::size_t>(role); }

}  // namespace

void FontSet::Create(std::initializer_list<FontRole> roles, UINT dpi) {
    for (const FontRole role : roles) {
        const FontEntry& entry = kFonts[IndexOf(role)];
        fonts_[IndexOf(role)].reset(CreateScaledFont(kFace, entry.height96, dpi, entry.charset));
    }
}

HFONT FontSet::Get(FontRole role) const { return fonts_[IndexOf(role)].get(); }

}  // namespace app
