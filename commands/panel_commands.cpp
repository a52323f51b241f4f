#include "commands/panel_commands.h"

#include <exception>
#include <string>

#include "cadlink/cad_automation.h"
#include "cadlink/cad_prog_id.h"
#include "cadlink/cad_window_finder.h"
#include "cadlink/window_process_path.h"
#include "commands/command_texts.h"
#include "commands/wblock_name.h"

namespace commands {

namespace {

// The selection mode of SelectionSet.Select that takes every entity of the drawing.
constexpr std::int32_t kSelectAll = 5;

// Around the modal picker the panel gives up its topmost place to the picker; it gets it back
// on every way out, also after an error, so that it never stays a normal window.
class PickerStacking {
  public:
    PickerStacking(platform::WindowSystem& windows, platform::WindowHandle panel,
                   platform::WindowHandle picker)
        : windows_(windows), panel_(panel), picker_(picker) {
        windows_.SetTopmost(panel_, false);
        windows_.SetTopmost(picker_, true);
        windows_.SetForegroundWindow(picker_);
    }
    ~PickerStacking() {
        windows_.SetTopmost(picker_, false);
        windows_.SetTopmost(panel_, true);
    }
    PickerStacking(const PickerStacking&) = delete;
    PickerStacking& operator=(const PickerStacking&) = delete;

  private:
    platform::WindowSystem& windows_;
    platform::WindowHandle panel_;
    platform::WindowHandle picker_;
};

}  // namespace

PanelCommands::PanelCommands(platform::Panel& panel, const CommandServices& services)
    : panel_(panel), services_(services) {}

cadlink::CadServerReach PanelCommands::ReachCadServer(cadlink::CallBudget& budget) {
    const cadlink::CadServerReach reach = cadlink::ReachCadServer(
        services_.windows, services_.processes, services_.automation, budget);
    if (reach == cadlink::CadServerReach::CadElevated) {
        services_.dialogs.ShowMessage(texts::kCadElevated);
    } else if (reach == cadlink::CadServerReach::PanelElevated) {
        services_.dialogs.ShowMessage(texts::kPanelElevated);
    }
    return reach;
}

void PanelCommands::RegisterRunningCad() {
    // Declared first: every automation object of the command refers to it.
    cadlink::CallBudget budget(services_.automation, services_.clock, services_.trace,
                               L"RegisterRunningCad", cadlink::kCommandCallBudget);
    if (ReachCadServer(budget) == cadlink::CadServerReach::Reachable) {
        // The registration works on a candidate: the registered path changes only when the
        // command reports success, so a failed attempt never loses the earlier registration.
        // The path is kept before the box, so that a session ending while the box is up saves
        // it; the caption follows once the box is closed.
        const auto accept = [this](const std::wstring& candidate) {
            panel_.Fields().AppFullName = candidate;
            services_.dialogs.ShowMessage(candidate + L"\n" + texts::kRegistered);
            panel_.SetRegisteredPathCaption(candidate);
        };
        try {
            const auto application = cadlink::AttachCadApplication(services_.automation, budget);
            const std::wstring fullName = application->GetText(L"FullName");
            if (platform::HasFolderPart(fullName)) {
                accept(fullName);
            } else {
                const auto window =
                    static_cast<platform::WindowHandle>(application->GetHandle(L"HWND"));
                const std::wstring path = cadlink::GetWindowProcessImagePath(
                    services_.windows, services_.processes, window);
                if (!path.empty()) {
                    accept(path);
                } else {
                    services_.dialogs.ShowMessage(path + L"\n" + texts::kNoFolder);
                }
            }
        } catch (const std::exception&) {
            // Attaching, a member or a conversion failed: the command ends silently.
            platform::TraceSwallowed(services_.trace, L"RegisterRunningCad",
                                     std::current_exception());
        }
    }
    cadlink::BringCadMainWindowToFront(services_.windows);
}

void PanelCommands::ActivateOrLaunchCad() {
    const platform::WindowHandle window = cadlink::FindCadMainWindow(services_.windows);
    if (window != platform::WindowHandle::none) {
        if (services_.windows.IsIconic(window)) {
            services_.windows.RestoreMinimised(window);
        }
        services_.windows.SetForegroundWindow(window);
        return;
    }
    if (!LaunchRegisteredCad()) {
        services_.dialogs.ShowMessage(texts::kNothingRegistered);
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

void PanelCommands::ExportCleanedCopy() {
    cadlink::CallBudget budget(services_.automation, services_.clock, services_.trace,
                               L"ExportCleanedCopy", cadlink::kCommandCallBudget);
    switch (ReachCadServer(budget)) {
        case cadlink::CadServerReach::Reachable:
            break;
        case cadlink::CadServerReach::NotRunning:
            LaunchRegisteredCad();
            return;
        default:
            // AutoCAD runs but cannot be reached: starting it again would open a second one.
            return;
    }
    try {
        // Declared in creation order, so that they are released in the reverse: the selection
        // set, the drawing, the Application.
        const auto application = cadlink::AttachCadApplication(services_.automation, budget);
        const auto document = application->GetObject(L"ActiveDocument");
        const std::wstring proposal = ProposeWblockFileName(document->GetText(L"FullName"));
        const std::optional<std::wstring> chosen =
            panel_.RunSaveDialog(WblockInitialFolder(proposal), proposal);
        if (!chosen) {
            return;
        }
        std::wstring file = *chosen;
        if (services_.shell.IsExistingFile(file) &&
            !services_.dialogs.Confirm(texts::kConfirmOverwrite)) {
            return;
        }
        const auto selection = document->GetObject(L"ActiveSelectionSet");
        selection->Call(L"Clear");
        selection->Call(L"Select", {kSelectAll, platform::Omitted{}, platform::Omitted{},
                                    platform::Omitted{}, platform::Omitted{}});
        if (selection->GetInteger(L"Count") > 0) {
            {
                // AutoCAD takes as long as it needs to write the file.
                const cadlink::CallBudget::UnlimitedWait writing(budget);
                document->Call(L"Wblock", {platform::TextByRef{&file},
                                           platform::ObjectByRef{selection.get()}});
            }
            selection->Call(L"Clear");
        }
    } catch (const std::exception&) {
        // A failing server, no open drawing or any other error ends the export silently.
        platform::TraceSwallowed(services_.trace, L"ExportCleanedCopy", std::current_exception());
    }
}

void PanelCommands::SwitchDrawing() {
    cadlink::CallBudget budget(services_.automation, services_.clock, services_.trace,
                               L"SwitchDrawing", cadlink::kCommandCallBudget);
    try {
        cadlink::CadProgId = cadlink::ComposeCadProgId(panel_.VersionText());
        if (ReachCadServer(budget) != cadlink::CadServerReach::Reachable) {
            return;
        }
        const auto application = cadlink::AttachCadApplication(services_.automation, budget);
        // AutoCAD's window as its server reports it, not as the window search finds it.
        const auto window = static_cast<platform::WindowHandle>(application->GetHandle(L"HWND"));
        if (services_.windows.IsIconic(window)) {
            services_.windows.RestoreMinimised(window);
            services_.clock.Sleep(std::chrono::milliseconds(500));
        }
        services_.windows.SetForegroundWindow(window);

        const std::wstring current = application->GetObject(L"ActiveDocument")->GetText(L"Name");
        const auto documents = application->GetObject(L"Documents");
        platform::ListPicker& picker = services_.picker;
        picker.Clear();
        // One reading of the count serves both passes over the collection.
        const std::int32_t count = documents->GetInteger(L"Count");
        for (std::int32_t index = 0; index < count; ++index) {
            picker.Append(documents->GetObject(L"Item", {index})->GetText(L"Name"));
        }
        // The list keeps its entries sorted; the active drawing is found ignoring case.
        picker.Select(picker.FindExact(current));

        {
            const PickerStacking stacking(services_.windows, panel_.NativeHandle(),
                                          picker.NativeHandle());
            const int result = picker.ShowModal();
            const int selected = picker.Selected();
            if (result == platform::ListPicker::kOk && selected >= 0) {
                const std::wstring chosen = picker.TextAt(selected);
                for (std::int32_t index = 0; index < count; ++index) {
                    const auto document = documents->GetObject(L"Item", {index});
                    if (document->GetText(L"Name") == chosen) {
                        document->Call(L"Activate");
                        break;
                    }
                }
            }
        }
        services_.windows.SetForegroundWindow(window);
    } catch (const std::exception&) {
        // Any failure, the server's or the availability check's, ends the command silently.
        platform::TraceSwallowed(services_.trace, L"SwitchDrawing", std::current_exception());
    }
}

}  // namespace commands
