#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/unique_handles.h"

namespace app {

// The panel's pop-up menu, drawn in the dark look. Items keep their texts as ordinary menu
// strings, so the system and accessibility tools read them as usual.
class PanelMenu {
  public:
    // The items a user can choose; choosing the last two does nothing.
    // N2, "起動中の AutoCAD を登録": the Register command, as the hidden Button1.
    static constexpr UINT kRegisterCommand = 0x0201;
    // gcadexe1: the registered AutoCAD's path, alone in the sub-menu "AppFullName".
    static constexpr UINT kRegisteredPathCommand = 0x0202;
    // The program's about text, alone in the sub-menu N1, "バージョン情報".
    static constexpr UINT kVersionCommand = 0x0203;

    explicit PanelMenu(HBRUSH background);

    // The caption of the item that shows the registered path.
    void SetRegisteredPath(const std::wstring& caption);

    // Opens at a screen point; a chosen item arrives as WM_COMMAND at the owner.
    void Show(HWND owner, POINT screenPoint) const;

    // WM_MEASUREITEM and WM_DRAWITEM for the menu's items; false when the item is not ours.
    bool Measure(HWND owner, MEASUREITEMSTRUCT& measure) const;
    bool Draw(const DRAWITEMSTRUCT& draw) const;

    HMENU Handle() const { return menu_.get(); }

  private:
    struct Item {
        std::wstring text;
        bool separator = false;
        bool submenu = false;
    };

    std::size_t AddItem(HMENU menu, UINT id, HMENU submenu, const std::wstring& text);
    void AddSeparator(HMENU menu);

    platform::win32::UniqueMenu menu_;
    std::vector<Item> items_;
    std::size_t registeredPathItem_ = 0;
};

}  // namespace app
