#include "app/panel_menu.h"

#include <algorithm>

#include "app/app_texts.h"
#include "app/dark_theme.h"
#include "app/dpi.h"
#include "app/version.h"

namespace app {
namespace {

constexpr ULONG_PTR kItemTag = 0x4D420000;  // marks our items' data: tag | index

platform::win32::UniqueFont MenuFont(UINT dpi) {
    const NONCLIENTMETRICSW metrics = NonClientMetricsAt(dpi);
    return platform::win32::UniqueFont(::CreateFontIndirectW(&metrics.lfMenuFont));
}

}  // namespace

PanelMenu::PanelMenu(HBRUSH background) : background_(background), menu_(::CreatePopupMenu()) {
    Build();
}

void PanelMenu::Build() {
    // Removing an item that opens a sub-menu destroys the sub-menu with it.
    while (::GetMenuItemCount(menu_.get()) > 0) {
        ::DeleteMenu(menu_.get(), 0, MF_BYPOSITION);
    }
    items_.clear();
    HMENU pathMenu = ::CreatePopupMenu();
    HMENU versionMenu = ::CreatePopupMenu();

    AddItem(menu_.get(), kRegisterCommand, nullptr, texts::kRegisterMenuItem);
    AddSeparator(menu_.get());
    AddItem(menu_.get(), 0, pathMenu, L"AppFullName");
    registeredPathItem_ = AddItem(pathMenu, kRegisteredPathCommand, nullptr, registeredPath_);
    AddSeparator(menu_.get());
    AddItem(menu_.get(), 0, versionMenu, texts::kVersionMenuItem);
    AddItem(versionMenu, kVersionCommand, nullptr, MERIDO_ABOUT_TEXT);

    for (HMENU menu : {menu_.get(), pathMenu, versionMenu}) {
        MENUINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = MIM_BACKGROUND;
        info.hbrBack = background_;
        ::SetMenuInfo(menu, &info);
    }
}

std::size_t PanelMenu::AddItem(HMENU menu, UINT id, HMENU submenu, const std::wstring& text) {
    items_.push_back(Item{text, false, submenu != nullptr});
    std::wstring caption = text;
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_DATA | MIIM_ID | (submenu ? MIIM_SUBMENU : 0);
    info.fType = MFT_OWNERDRAW;
    info.wID = id;
    info.hSubMenu = submenu;
    info.dwItemData = kItemTag | (items_.size() - 1);
    info.dwTypeData = caption.data();
    ::InsertMenuItemW(menu, ::GetMenuItemCount(menu), TRUE, &info);
    return items_.size() - 1;
}

void PanelMenu::AddSeparator(HMENU menu) {
    items_.push_back(Item{L"", true, false});
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_DATA;
    info.fType = MFT_SEPARATOR | MFT_OWNERDRAW;
    info.dwItemData = kItemTag | (items_.size() - 1);
    ::InsertMenuItemW(menu, ::GetMenuItemCount(menu), TRUE, &info);
}

void PanelMenu::SetRegisteredPath(const std::wstring& caption) {
    registeredPath_ = caption;
    Build();
}

void PanelMenu::SetDpi(UINT dpi) {
    if (dpi != dpi_) {
        dpi_ = dpi;
        Build();
    }
}

void PanelMenu::Show(HWND owner, POINT screenPoint) {
    SetDpi(WindowDpi(owner));
    ::TrackPopupMenuEx(menu_.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, screenPoint.x,
                       screenPoint.y, owner, nullptr);
}

bool PanelMenu::Measure(HWND owner, MEASUREITEMSTRUCT& measure) const {
    if (measure.CtlType != ODT_MENU || (measure.itemData & 0xFFFF0000) != kItemTag) {
        return false;
    }
    const Item& item = items_.at(measure.itemData & 0xFFFF);
    const UINT dpi = dpi_;
    if (item.separator) {
        measure.itemWidth = static_cast<UINT>(Scale(20, dpi));
        measure.itemHeight = static_cast<UINT>(Scale(7, dpi));
        return true;
    }
    const platform::win32::UniqueFont font = MenuFont(dpi);
    platform::win32::WindowDc dc(owner);
    platform::win32::SelectedObject selected(dc.get(), font.get());
    RECT extent{};
    std::wstring text = item.text.empty() ? L" " : item.text;
    ::DrawTextW(dc.get(), text.data(), static_cast<int>(text.size()), &extent,
                DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
    measure.itemWidth = static_cast<UINT>(extent.right - extent.left + Scale(40, dpi));
    measure.itemHeight = static_cast<UINT>(
        std::max<LONG>(extent.bottom - extent.top + Scale(8, dpi), Scale(22, dpi)));
    return true;
}

bool PanelMenu::Draw(const DRAWITEMSTRUCT& draw) const {
    if (draw.CtlType != ODT_MENU || (draw.itemData & 0xFFFF0000) != kItemTag) {
        return false;
    }
    const Item& item = items_.at(draw.itemData & 0xFFFF);
    const bool selected = (draw.itemState & ODS_SELECTED) != 0;
    HDC dc = draw.hDC;
    RECT rect = draw.rcItem;

    platform::win32::UniqueBrush background(::CreateSolidBrush(
        selected && !item.separator ? theme::kMenuHighlight : theme::kMenuBackground));
    ::FillRect(dc, &rect, background.get());
    if (item.separator) {
        RECT line{rect.left + 4, (rect.top + rect.bottom) / 2, rect.right - 4, 0};
        line.bottom = line.top + 1;
        platform::win32::UniqueBrush lineBrush(::CreateSolidBrush(theme::kBorder));
        ::FillRect(dc, &line, lineBrush.get());
        return true;
    }

    const platform::win32::UniqueFont font = MenuFont(dpi_);
    platform::win32::SelectedObject selectedFont(dc, font.get());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, theme::kText);
    const int height = rect.bottom - rect.top;
    RECT textRect = rect;
    textRect.left += height;
    textRect.right -= height;
    std::wstring text = item.text;
    ::DrawTextW(dc, text.data(), static_cast<int>(text.size()), &textRect,
                DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    if (item.submenu) {
        // The sub-menu arrow, drawn here so that it shows light on the dark background; the
        // clip keeps the system from painting its dark arrow over it.
        const int size = height / 4;
        const int x = rect.right - height / 2 - size / 2;
        const int y = (rect.top + rect.bottom) / 2;
        const POINT arrow[] = {{x, y - size}, {x + size, y}, {x, y + size}};
        platform::win32::UniqueBrush arrowBrush(::CreateSolidBrush(theme::kText));
        platform::win32::UniquePen arrowPen(::CreatePen(PS_SOLID, 1, theme::kText));
        platform::win32::SelectedObject brush(dc, arrowBrush.get());
        platform::win32::SelectedObject pen(dc, arrowPen.get());
        ::Polygon(dc, arrow, 3);
        ::ExcludeClipRect(dc, rect.right - height, rect.top, rect.right, rect.bottom);
    }
    return true;
}

}  // namespace app
