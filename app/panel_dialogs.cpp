#include "app/panel_dialogs.h"

#include "app/app_texts.h"
#include "app/message_box.h"

namespace app {

void PanelDialogs::ShowMessage(const std::wstring& text) {
    ShowMessageBox(theme_, owner_, title_, text, BoxKind::Information);
}

bool PanelDialogs::Confirm(const std::wstring& text) {
    return ShowMessageBox(theme_, owner_, texts::kConfirmationTitle, text, BoxKind::Confirmation) ==
           IDYES;
}

void PanelDialogs::ShowError(const std::wstring& text) const {
    ShowMessageBox(theme_, owner_, title_, WithFullStop(text), BoxKind::Error);
}

}  // namespace app
