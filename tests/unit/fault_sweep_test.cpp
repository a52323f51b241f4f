// Every automation path against a server that fails at one call, for each call in turn: the
// n-th call fails for n = 1, 2, ... until the path completes without reaching the failure.

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "fakes/command_fixture.h"
#include "monitor/cad_monitor.h"

namespace {

using fakes::FakeNode;
using fakes::FakeValue;
using platform::WindowHandle;

const std::wstring kAcad = L"C:\\CAD\\acad.exe";

// AutoCAD in front, its server under version 24 with two drawings, the IME of its window open;
// the panel as at start-up. A fresh one for every run.
struct World : fakes::CommandWorld {
    World() {
        processes.path = kAcad;
        AddCadWindow();
        desktop.foreground = cad;
        ime.imeOf[cad] = WindowHandle{0x9990};
        ime.openStatus[WindowHandle{0x9990}] = 1;

        selection->Returns(L"Clear", std::int32_t{0});
        selection->Returns(L"Select", std::int32_t{0});
        selection->Returns(L"Count", std::int32_t{3});
        for (const wchar_t* name : {L"b.dwg", L"a.dwg"}) {
            auto drawing = std::make_shared<FakeNode>(std::wstring(L"Doc:") + name);
            drawing->Returns(L"Name", std::wstring(name));
            drawing->Returns(L"FullName", L"C:\\dwg\\" + std::wstring(name));
            drawing->Returns(L"ActiveSelectionSet", selection);
            drawing->Returns(L"Wblock", std::int32_t{0});
            drawing->Returns(L"Activate", std::int32_t{0});
            drawings.push_back(drawing);
        }
        documents->Returns(L"Count", std::int32_t{2});
        documents->On(L"Item", [this](const std::vector<platform::Argument>& arguments) {
            return FakeValue{
                drawings.at(static_cast<std::size_t>(std::get<std::int32_t>(arguments.at(0))))};
        });
        state->On(L"IsQuiescent", [this](const auto&) { return FakeValue{quiescent}; });
        // A bare name: the registration goes on through the window's process.
        application->Returns(L"FullName", std::wstring(L"acad.exe"));
        application->Returns(L"ActiveDocument", drawings[0]);
        application->Returns(L"Documents", documents);
        application->Returns(L"GetAcadState", state);

        panel.saveAs = L"C:\\dwg\\b_wblock1.dwg";
        picker.onShow = [](fakes::FakePicker& shown) {
            shown.Select(0);
            return platform::ListPicker::kOk;
        };
    }

    fakes::FakeIme ime;
    std::shared_ptr<FakeNode> documents = std::make_shared<FakeNode>(L"Docs");
    std::shared_ptr<FakeNode> selection = std::make_shared<FakeNode>(L"Set");
    std::shared_ptr<FakeNode> state = std::make_shared<FakeNode>(L"State");
    std::vector<std::shared_ptr<FakeNode>> drawings;
    bool quiescent = true;
    monitor::CadMonitor monitor{panel, {desktop, keyboard, ime, automation, clock, trace}};
};

struct SweepPath {
    const char* name;
    // The guarded section that swallows the path's failures, as the trace names it.
    const wchar_t* section;
    std::function<void(World&)> run;
    // The boxes the path shows when it runs to its end; a failed run shows none.
    std::vector<std::wstring> boxesWhenComplete;
};

const std::vector<SweepPath>& Paths() {
    static const std::vector<SweepPath> paths = {
        {"Register",
         L"RegisterRunningCad",
         [](World& w) { w.commands.RegisterRunningCad(); },
         {kAcad + L"\n" + L"を登録しました．"}},
        {"ACT", L"", [](World& w) { w.commands.ActivateOrLaunchCad(); }, {}},
        {"LIST", L"SwitchDrawing", [](World& w) { w.commands.SwitchDrawing(); }, {}},
        {"WBLOCK", L"ExportCleanedCopy", [](World& w) { w.commands.ExportCleanedCopy(); }, {}},
        {"tap",
         L"SendKeyIfCadBusy",
         [](World& w) {
             w.quiescent = false;
             w.panel.checked[platform::OptionBox::Ime] = false;
             w.keyboard.down = {0x10};
             w.monitor.Timer1Timer();
             w.keyboard.down.clear();
             w.monitor.Timer1Timer();
         },
         {}},
        {"IME", L"RunImeGuard", [](World& w) { w.monitor.Timer1Timer(); }, {}},
    };
    return paths;
}

// The picker's stacking, as the window system was last asked for it: the panel topmost, the
// picker not.
bool StackingRestored(const World& w) {
    std::map<std::wstring, std::wstring> last;
    for (const std::wstring& change : w.desktop.log) {
        const std::size_t space = change.rfind(L' ');
        if (change.starts_with(L"topmost") || change.starts_with(L"not topmost")) {
            last[change.substr(space + 1)] = change.substr(0, space);
        }
    }
    const auto panel = std::to_wstring(static_cast<std::uintptr_t>(w.panel.handle));
    const auto picker = std::to_wstring(static_cast<std::uintptr_t>(w.picker.handle));
    return (!last.count(panel) || last.at(panel) == L"topmost") &&
           (!last.count(picker) || last.at(picker) == L"not topmost");
}

// The member of a logged call: "Object.Member(arguments)", where the object's name may hold a
// dot, or "IsActive Id" and "Attach Id".
std::wstring MemberOf(const std::wstring& call) {
    const std::size_t space = call.find(L' ');
    if (space != std::wstring::npos) {
        return call.substr(space + 1);
    }
    const std::wstring head = call.substr(0, call.find(L'('));
    return head.substr(head.rfind(L'.') + 1);
}

TEST(FaultSweepTest, EveryFailingCallEndsItsPathCleanlyWithOnlyThePrescribedBoxesAndOneTraceLine) {
    std::size_t pairs = 0;
    std::string perPath;
    for (const SweepPath& path : Paths()) {
        const std::size_t before = pairs;
        for (std::size_t n = 1;; ++n) {
            SCOPED_TRACE(std::string(path.name) + ", failing call " + std::to_string(n));
            World world;
            world.automation.log.failAtCall = n;
            bool escaped = false;
            try {
                path.run(world);
            } catch (const platform::AutomationError&) {
                escaped = true;
            }
            // A tick hands what escapes it to the panel's error report itself.
            for (const std::exception_ptr& reported : world.panel.errors) {
                try {
                    std::rethrow_exception(reported);
                } catch (const platform::AutomationError&) {
                    escaped = true;
                }
            }
            const auto& calls = world.automation.log.calls;
            const bool reached = calls.size() >= n;
            EXPECT_EQ(world.automation.log.liveObjects, 0);
            EXPECT_TRUE(StackingRestored(world));
            EXPECT_TRUE(world.dialogs.questions.empty());
            if (!reached) {
                // Ran to its end: what it shows when it succeeds, and no error.
                EXPECT_FALSE(escaped);
                EXPECT_TRUE(world.trace.lines.empty());
                EXPECT_EQ(world.dialogs.shown, path.boxesWhenComplete);
                perPath += " " + std::string(path.name) + "=" + std::to_string(pairs - before);
                break;
            }
            ++pairs;
            // Only a failing availability check reaches the application-wide handler, and
            // never from LIST; every other failure ends its path silently.
            const bool availabilityCheck = calls[n - 1].starts_with(L"IsActive");
            EXPECT_EQ(escaped, availabilityCheck && std::string(path.name) != "LIST");
            EXPECT_TRUE(world.dialogs.shown.empty());
            EXPECT_TRUE(world.panel.timerRunning);
            // What the path swallows leaves one line in the trace: the section, the call's
            // member, its code and its text; what is shown leaves none.
            const std::vector<std::wstring> swallowed = {
                L"MERIDO_B " + std::wstring(path.section) + L": " + MemberOf(calls[n - 1]) +
                L" 0x80004005: " + calls[n - 1] + L": failed"};
            EXPECT_EQ(world.trace.lines, escaped ? std::vector<std::wstring>{} : swallowed);
        }
    }
    std::printf("fault sweep: %zu (path, failing call) pairs:%s\n", pairs, perPath.c_str());
    EXPECT_GT(pairs, 30u);
}

}  // namespace
