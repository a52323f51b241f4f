#include "commands/panel_commands.h"

#include <exception>
#include <string>

#include "cadlink/cad_automation.h"
#include "cadlink/cad_window_finder.h"
#include "cadlink/window_process_path.h"

namespace commands {

namespace {

const std::wstring kRegistered = L"を登録しました．";
const std::wstring kNoFolder = L"フォルダ名を取得できませんでした．";
const std::wstring kNothingRegistered =
    L"AutoCAD が登録されていません、\nAutoCAD が起動中に[登録]ボタンをクリックして下さい．";

}  // namespace

bool HasFolderPart(const std::wstring& path) {
    return path.find_first_of(L"\\:") != std::wstring::npos;
}

PanelCommands::PanelCommands(platform::Panel& panel, const CommandServices& services)
    : panel_(panel), services_(services) {}

void PanelCommands::RegisterRunningCad() {
    if (cadlink::IsCadAutomationActive(services_.automation)) {
        // The registration works on a candidate: the registered path changes only when the
        // command reports success, so a failed attempt never loses the earlier registration.
        const auto accept = [this](const std::wstring& candidate) {
            services_.dialogs.ShowMessage(candidate + L"\n" + kRegistered);
            panel_.Fields().AppFullName = candidate;
            panel_.SetRegisteredPathCaption(candidate);
        };
        try {
            const auto application = cadlink::AttachCadApplication(services_.automation);
            const std::wstring fullName = application->GetText(L"FullName");
            if (HasFolderPart(fullName)) {
                accept(fullName);
            } else {
                const auto window =
                    static_cast<platform::WindowHandle>(application->GetHandle(L"HWND"));
                const std::wstring path = cadlink::GetWindowProcessImagePath(
                    services_.windows, services_.processes, window);
                if (!path.empty()) {
                    accept(path);
                } else {
                    services_.dialogs.ShowMessage(path + L"\n" + kNoFolder);
                }
            }
        } catch (const std::exception&) {
            // Attaching, a member or a conversion failed: the command ends silently.
        }
    }
    services_.windows.SetForegroundWindow(cadlink::FindCadMainWindow(services_.windows));
}

void PanelCommands::ActivateOrLaunchCad() {
    const platform::WindowHandle window = cadlink::FindCadMainWindow(services_.windows);
    if (window != platform::WindowHandle::none) {
        if (services_.windows.IsIconic(window)) {
            services_.windows.OpenIcon(window);
        }
        services_.windows.SetForegroundWindow(window);
        return;
    }
    if (!LaunchRegisteredCad()) {
        services_.dialogs.ShowMessage(kNothingRegistered);
    }
}

bool PanelCommands::LaunchRegisteredCad() {
    const std::wstring& path = panel_.Fields().AppFullName;
    if (!services_.shell.IsExistingFile(path)) {
        return false;
    }
    services_.shell.OpenFile(panel_.NativeHandle(), path);
    return true;
}

void PanelCommands::LaunchAtStartUp() {
    if (cadlink::FindCadMainWindow(services_.windows) == platform::WindowHandle::none) {
        LaunchRegisteredCad();
    }
}

}  // namespace commands
