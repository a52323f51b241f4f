#include "settings/panel_settings.h"

#include "settings/settings_file.h"

namespace settings {
namespace {

using platform::kOptionBoxes;
using platform::OptionBoxRow;

const std::wstring kSection = L"AutoCAD";

}  // namespace

std::wstring LoadPanelSettings(platform::Panel& panel, platform::ProfileFiles& files,
                               const std::wstring& path, const Placement& placement) {
    SettingsFile file(files, path);
    // Integer division rounds toward zero, as the centring rule wants.
    const int left =
        file.ReadInteger(kSection, L"Left", (placement.screenWidth - placement.panelWidth) / 2);
    const int top =
        file.ReadInteger(kSection, L"Top", (placement.screenHeight - placement.panelHeight) / 2);
    panel.SetPosition(left, top);

    platform::PanelFields& fields = panel.Fields();
    fields.AppFullName = file.ReadString(kSection, L"AppFullName", L"");
    panel.SetRegisteredPathCaption(fields.AppFullName);

    for (const OptionBoxRow& option : kOptionBoxes) {
        panel.SetChecked(option.box, file.ReadBool(kSection, option.settingsKey, option.ticked));
    }

    std::wstring apiVerNum = file.ReadString(kSection, L"ApiVerNum", L"24");
    panel.SetVersionText(apiVerNum);
    return apiVerNum;
}

void SavePanelSettings(platform::Panel& panel, platform::ProfileFiles& files,
                       const std::wstring& path) {
    SettingsFile file(files, path);
    file.WriteInteger(kSection, L"Left", panel.Left());
    file.WriteInteger(kSection, L"Top", panel.Top());
    file.WriteString(kSection, L"AppFullName", panel.Fields().AppFullName);
    for (const OptionBoxRow& option : kOptionBoxes) {
        file.WriteBool(kSection, option.settingsKey, panel.IsChecked(option.box));
    }
    file.WriteString(kSection, L"ApiVerNum", panel.VersionText());
}

}  // namespace settings
