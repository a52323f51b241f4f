#include "settings/panel_settings.h"

#include <array>

#include "settings/settings_file.h"

namespace settings {
namespace {

using platform::OptionBox;

const std::wstring kSection = L"AutoCAD";

struct OptionKey {
    OptionBox box;
    const wchar_t* key;
};

constexpr std::array<OptionKey, 4> kOptionKeys{{{OptionBox::Shift, L"Shift"},
                                                {OptionBox::Ctrl, L"Ctrl"},
                                                {OptionBox::Ime, L"IME"},
                                                {OptionBox::Off, L"OFF"}}};

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

    for (const OptionKey& option : kOptionKeys) {
        panel.SetChecked(option.box, file.ReadBool(kSection, option.key, true));
    }

    const std::wstring apiVerNum = file.ReadString(kSection, L"ApiVerNum", L"24");
    panel.SetVersionText(apiVerNum);
    return apiVerNum;
}

void SavePanelSettings(platform::Panel& panel, platform::ProfileFiles& files,
                       const std::wstring& path) {
    SettingsFile file(files, path);
    file.WriteInteger(kSection, L"Left", panel.Left());
    file.WriteInteger(kSection, L"Top", panel.Top());
    file.WriteString(kSection, L"AppFullName", panel.Fields().AppFullName);
    for (const OptionKey& option : kOptionKeys) {
        file.WriteBool(kSection, option.key, panel.IsChecked(option.box));
    }
    file.WriteString(kSection, L"ApiVerNum", panel.VersionText());
}

}  // namespace settings
