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

    // The DPI the items are measured and drawn at, with the system's menu font for it.
    void SetDpi(UINT dpi);

    // Opens at a screen point, at the owner's DPI; a chosen item arrives as WM_COMMAND at the
    // owner.
    void Show(HWND owner, POINT screenPoint);

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

    // Puts the items in anew. The system measures an owner-drawn item once and keeps its size,
    // so a new text or DPI needs new items: those are measured on the next showing.
    void Build();
    std::size_t AddItem(HMENU menu, UINT id, HMENU submenu, const std::wstring& text);
    void AddSeparator(HMENU menu);

    HBRUSH background_;
    platform::win32::UniqueMenu menu_;
    std::vector<Item> items_;
    std::wstring registeredPath_ = L"gcad.exe";
    std::size_t registeredPathItem_ = 0;
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
};

}  // namespace app
