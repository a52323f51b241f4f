#pragma once

#include <windows.h>

#include <array>
#include <initializer_list>

#include "platform/win32/unique_handles.h"

namespace app {

// What a font of the program's own windows is for; the boxes and the menu use the system's.
enum class FontRole { Panel, Option, Edit, PickerWindow, PickerList };

// The fonts of one window at its DPI, made from the program's one font table. A window holds
// its set declared before its handle, so that the fonts outlive the window that uses them.
class FontSet {
  public:
    // Makes the fonts of these roles for the DPI; the fonts made before are released.
    void Create(std::initializer_list<FontRole> roles, UINT dpi);
    // The font of the role; null when none was made.
    HFONT Get(FontRole role) const;

  private:
    std::array<platform::win32::UniqueFont, 5> fonts_;
};

}  // namespace app
