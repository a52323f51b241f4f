// AutoCAD's window on screen while its server cannot be reached: the commands neither start a
// second AutoCAD nor stay silent when different rights are the cause.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "cadlink/cad_prog_id.h"
#include "commands/command_texts.h"
#include "fakes/command_fixture.h"

namespace {

using fakes::FakeProcesses;

constexpr platform::ProcessId kCadProcess = 900;
const std::wstring kAcad = L"C:\\CAD\\acad.exe";

enum class Outcome { Launch, Nothing, CadElevatedBox, PanelElevatedBox };

struct Row {
    bool window = false;
    bool reachable = false;
    std::optional<bool> cadElevated;    // nothing: AutoCAD's process cannot be queried
    std::optional<bool> panelElevated;  // nothing: the panel's own cannot be queried
    Outcome exportDoes = Outcome::Nothing;
};

// Window × reachable × elevation. A reachable server is the export's normal path, which writes
// nothing here because the drawing has no entities: it launches nothing and shows no box.
const Row kRows[] = {
    {false, false, false, false, Outcome::Launch},
    {false, false, true, false, Outcome::Launch},
    {true, false, false, false, Outcome::Nothing},
    {true, false, true, true, Outcome::Nothing},
    {true, false, true, false, Outcome::CadElevatedBox},
    {true, false, false, true, Outcome::PanelElevatedBox},
    {true, false, std::nullopt, false, Outcome::Nothing},
    {true, false, true, std::nullopt, Outcome::Nothing},
    {true, true, true, false, Outcome::Nothing},
    {false, true, std::nullopt, std::nullopt, Outcome::Nothing},
};

std::vector<std::wstring> BoxesOf(Outcome outcome) {
    switch (outcome) {
        case Outcome::CadElevatedBox:
            return {commands::texts::kCadElevated};
        case Outcome::PanelElevatedBox:
            return {commands::texts::kPanelElevated};
        default:
            return {};
    }
}

struct World : fakes::CommandWorld {
    explicit World(const Row& row) {
        shell.files.insert(kAcad);
        panel.Fields().AppFullName = kAcad;
        if (row.window) {
            AddCadWindow();
            desktop.Find(cad)->processId = kCadProcess;
        }
        if (!row.reachable) {
            automation.Register(L"Autocad.Application.24", nullptr);
        }
        if (row.cadElevated) {
            processes.elevated[kCadProcess] = *row.cadElevated;
        }
        if (row.panelElevated) {
            processes.elevated[FakeProcesses::kSelf] = *row.panelElevated;
        }
        auto drawing = std::make_shared<fakes::FakeNode>(L"Doc");
        auto selection = std::make_shared<fakes::FakeNode>(L"Set");
        selection->Returns(L"Clear", std::int32_t{0});
        selection->Returns(L"Select", std::int32_t{0});
        selection->Returns(L"Count", std::int32_t{0});
        drawing->Returns(L"FullName", std::wstring(L"C:\\dwg\\a.dwg"));
        drawing->Returns(L"ActiveSelectionSet", selection);
        application->Returns(L"ActiveDocument", drawing);
        panel.saveAs = L"C:\\dwg\\a_wblock1.dwg";
    }
};

std::string Describe(const Row& row) {
    const auto rights = [](std::optional<bool> elevated) {
        return !elevated ? "?" : *elevated ? "admin" : "user";
    };
    return std::string("window=") + (row.window ? "yes" : "no") +
           " reachable=" + (row.reachable ? "yes" : "no") + " cad=" + rights(row.cadElevated) +
           " panel=" + rights(row.panelElevated);
}

TEST(UnreachableCadTest, TheExportLaunchesOnlyWhenNoAutoCadRunsAndExplainsDifferentRights) {
    for (const Row& row : kRows) {
        World world(row);
        world.commands.ExportCleanedCopy();
        const bool launched = !world.shell.opened.empty();
        EXPECT_EQ(launched, row.exportDoes == Outcome::Launch) << Describe(row);
        EXPECT_EQ(world.dialogs.shown, BoxesOf(row.exportDoes)) << Describe(row);
        EXPECT_EQ(world.automation.log.liveObjects, 0) << Describe(row);
    }
}

TEST(UnreachableCadTest, RegisterAndTheSwitcherExplainDifferentRightsAndLaunchNothing) {
    for (const Row& row : kRows) {
        if (row.reachable) {
            continue;  // their normal paths, tested with each command
        }
        const std::vector<std::wstring> boxes = row.exportDoes == Outcome::Launch
                                                    ? std::vector<std::wstring>{}
                                                    : BoxesOf(row.exportDoes);
        World registering(row);
        registering.commands.RegisterRunningCad();
        EXPECT_EQ(registering.dialogs.shown, boxes) << Describe(row);
        EXPECT_EQ(registering.panel.Fields().AppFullName, kAcad) << Describe(row);

        World switching(row);
        switching.commands.SwitchDrawing();
        EXPECT_EQ(switching.dialogs.shown, boxes) << Describe(row);
        EXPECT_EQ(switching.picker.showings, 0) << Describe(row);
        EXPECT_TRUE(registering.shell.opened.empty() && switching.shell.opened.empty());
    }
}

}  // namespace
