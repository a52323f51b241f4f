#pragma once

#include <windows.h>

#include <string>

#include "app/dark_theme.h"
#include "platform/dialogs.h"

namespace app {

// The commands' message and confirmation boxes: the program's dark boxes under its title.
class PanelDialogs final : public platform::Dialogs {
  public:
    PanelDialogs(const theme::DarkTheme& theme, std::wstring title)
        : theme_(theme), title_(std::move(title)) {}

    // The panel, once it exists: it owns the boxes from then on.
    void SetOwner(HWND owner) { owner_ = owner; }

    void ShowMessage(const std::wstring& text) override;
    bool Confirm(const std::wstring& text) override;
    void ShowError(const std::wstring& text) const;

  private:
    const theme::DarkTheme& theme_;
    std::wstring title_;
    HWND owner_ = nullptr;
};

}  // namespace app
