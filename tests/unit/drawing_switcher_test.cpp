#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "cadlink/cad_prog_id.h"
#include "fakes/command_fixture.h"

namespace {

using fakes::FakeNode;
using fakes::FakeValue;
using platform::WindowHandle;

// AutoCAD with drawings opened in the order b.dwg, C.dwg, a.dwg, and C.dwg active.
class DrawingSwitcherTest : public fakes::CommandTest {
  protected:
    void SetUp() override {
        processes.canOpen = false;
        AddCadWindow();
        for (const wchar_t* name : {L"b.dwg", L"C.dwg", L"a.dwg"}) {
            AddDrawing(name);
        }
        documents->On(L"Count", [this](const auto&) {
            return FakeValue{static_cast<std::int32_t>(drawings.size())};
        });
        documents->On(L"Item", [this](const std::vector<platform::Argument>& arguments) {
            const auto index = static_cast<std::size_t>(std::get<std::int32_t>(arguments.at(0)));
            if (index >= drawings.size()) {
                throw platform::AutomationError(L"Item: no such drawing", L"Item", 0x80020009u);
            }
            return FakeValue{drawings[index]};
        });
        application->Returns(L"Documents", documents);
        application->On(L"ActiveDocument", [this](const auto&) { return FakeValue{active}; });
        active = drawings[1];
    }

    void AddDrawing(const std::wstring& name) {
        auto drawing = std::make_shared<FakeNode>(L"Doc:" + name);
        drawing->Returns(L"Name", name);
        drawing->On(L"Activate", [this, drawing](const auto&) {
            active = drawing;
            return FakeValue{std::int32_t{0}};
        });
        drawings.push_back(drawing);
    }

    // Picks the entry with this text, as a click on it would.
    void PickOnShow(const std::wstring& text) {
        picker.onShow = [text](fakes::FakePicker& shown) {
            shown.Select(shown.FindExact(text));
            return platform::ListPicker::kOk;
        };
    }

    std::vector<std::wstring> Activations() const {
        std::vector<std::wstring> found;
        for (const std::wstring& call : automation.log.calls) {
            if (call.ends_with(L".Activate")) {
                found.push_back(call);
            }
        }
        return found;
    }

    std::wstring Topmost(WindowHandle window, bool topmost) const {
        return (topmost ? L"topmost " : L"not topmost ") +
               std::to_wstring(static_cast<std::uintptr_t>(window));
    }
    std::wstring Foreground(WindowHandle window) const {
        return L"foreground " + std::to_wstring(static_cast<std::uintptr_t>(window));
    }

    std::shared_ptr<FakeNode> documents = std::make_shared<FakeNode>(L"Docs");
    std::vector<std::shared_ptr<FakeNode>> drawings;
    std::shared_ptr<FakeNode> active;
};

TEST_F(DrawingSwitcherTest, ListsTheDrawingsSortedWithTheActiveOnePreselected) {
    commands.SwitchDrawing();
    EXPECT_EQ(picker.items, (std::vector<std::wstring>{L"a.dwg", L"b.dwg", L"C.dwg"}));
    EXPECT_EQ(picker.selectedWhenShown, 2);
    EXPECT_TRUE(Activations().empty());  // the fake picker gives up by default
    EXPECT_EQ(automation.log.liveObjects, 0);
}

TEST_F(DrawingSwitcherTest, ThePickedDrawingIsActivatedAndTheWindowsAreStackedAroundThePicker) {
    PickOnShow(L"a.dwg");
    commands.SwitchDrawing();
    EXPECT_EQ(Activations(), std::vector<std::wstring>{L"Doc:a.dwg.Activate"});
    EXPECT_EQ(desktop.log,
              (std::vector<std::wstring>{Foreground(cad), Topmost(panel.handle, false),
                                         Topmost(picker.handle, true), Foreground(picker.handle),
                                         Topmost(picker.handle, false), Topmost(panel.handle, true),
                                         Foreground(cad)}));
    EXPECT_EQ(automation.log.liveObjects, 0);
}

TEST_F(DrawingSwitcherTest, CountIsReadOnceAndAMinimisedAutoCadIsRestoredWithAPause) {
    desktop.Find(cad)->minimised = true;
    commands.SwitchDrawing();
    EXPECT_EQ(std::count(automation.log.calls.begin(), automation.log.calls.end(), L"Docs.Count"),
              1);
    // Restored, then the pause, and only then the foreground.
    ASSERT_GE(desktop.log.size(), 3u);
    EXPECT_EQ(std::vector<std::wstring>(desktop.log.begin(), desktop.log.begin() + 3),
              (std::vector<std::wstring>{L"restore", L"sleep 500", Foreground(cad)}));
    desktop.log.clear();
    commands.SwitchDrawing();
    EXPECT_EQ(std::count(desktop.log.begin(), desktop.log.end(), L"sleep 500"), 0)
        << "not minimised: no pause";
}

TEST_F(DrawingSwitcherTest, PreselectionIgnoresCaseButTheMatchDoesNot) {
    drawings[1]->Returns(L"Name", std::wstring(L"c.dwg"));
    AddDrawing(L"C.dwg");
    active = drawings[3];  // "C.dwg", listed after "c.dwg"
    picker.onShow = [](fakes::FakePicker&) { return platform::ListPicker::kOk; };
    commands.SwitchDrawing();
    EXPECT_EQ(picker.items, (std::vector<std::wstring>{L"a.dwg", L"b.dwg", L"c.dwg", L"C.dwg"}));
    EXPECT_EQ(picker.selectedWhenShown, 2);  // the earlier entry that differs only in case
    EXPECT_EQ(Activations().size(), 1u);
    EXPECT_EQ(active, drawings[1]);  // "c.dwg" exactly, not the active "C.dwg"
}

TEST_F(DrawingSwitcherTest, TwoDrawingsOfTheSameNameActivateTheFirstInTheCollection) {
    AddDrawing(L"a.dwg");
    PickOnShow(L"a.dwg");
    commands.SwitchDrawing();
    ASSERT_EQ(Activations().size(), 1u);
    EXPECT_EQ(std::count(picker.items.begin(), picker.items.end(), L"a.dwg"), 2);
    // Only the first a.dwg in collection order (position 2) was asked for its name last.
    const auto& calls = automation.log.calls;
    const auto activate = std::find(calls.begin(), calls.end(), L"Doc:a.dwg.Activate");
    ASSERT_NE(activate, calls.end());
    EXPECT_EQ(*(activate - 2), L"Docs.Item(2)");
}

TEST_F(DrawingSwitcherTest, CancelOrNoSelectionActivatesNothingButRestoresTheStacking) {
    for (int pick : {platform::ListPicker::kCancel, platform::ListPicker::kOk}) {
        desktop.log.clear();
        picker.onShow = [pick](fakes::FakePicker& shown) {
            shown.Select(-1);
            return pick;
        };
        commands.SwitchDrawing();
        EXPECT_TRUE(Activations().empty());
        EXPECT_EQ(desktop.log.back(), Foreground(cad));
        EXPECT_EQ(*(desktop.log.end() - 2), Topmost(panel.handle, true));
    }
}

TEST_F(DrawingSwitcherTest,
       ADrawingClosedWhileThePickerIsUpFailsSilentlyAndThePanelIsTopmostAgain) {
    picker.onShow = [this](fakes::FakePicker& shown) {
        shown.Select(shown.FindExact(L"a.dwg"));
        // b.dwg and a.dwg closed: the search for a.dwg reaches a position that is gone.
        drawings.erase(drawings.begin() + 2);
        drawings.erase(drawings.begin());
        return platform::ListPicker::kOk;
    };
    EXPECT_NO_THROW(commands.SwitchDrawing());
    EXPECT_TRUE(Activations().empty());
    // The stacking is restored; AutoCAD is not brought back to the front after the error.
    EXPECT_EQ(desktop.log.back(), Topmost(panel.handle, true));
    EXPECT_EQ(*(desktop.log.end() - 2), Topmost(picker.handle, false));
    EXPECT_EQ(automation.log.liveObjects, 0);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(DrawingSwitcherTest, ADrawingOpenedWhileThePickerIsUpIsNotLookedAt) {
    picker.onShow = [this](fakes::FakePicker& shown) {
        AddDrawing(L"z.dwg");
        shown.Append(L"z.dwg");
        shown.Select(shown.FindExact(L"z.dwg"));
        return platform::ListPicker::kOk;
    };
    commands.SwitchDrawing();
    EXPECT_TRUE(Activations().empty());
    EXPECT_EQ(std::count(automation.log.calls.begin(), automation.log.calls.end(), L"Docs.Item(3)"),
              0);
}

TEST_F(DrawingSwitcherTest, AnEmptyOrUnregisteredVersionOrAStoppedServerDoesNothingSilently) {
    for (const wchar_t* version : {L"", L"99", L"25"}) {
        panel.version = version;
        EXPECT_NO_THROW(commands.SwitchDrawing());
        EXPECT_EQ(cadlink::CadProgId, std::wstring(L"Autocad.Application.") + version);
    }
    EXPECT_EQ(picker.showings, 0);
    EXPECT_TRUE(desktop.log.empty());
    EXPECT_TRUE(shell.opened.empty());
}

TEST_F(DrawingSwitcherTest, NoOpenDrawingEndsAfterBringingAutoCadToTheFront) {
    application->Fails(L"ActiveDocument");
    commands.SwitchDrawing();
    EXPECT_EQ(picker.showings, 0);
    EXPECT_EQ(desktop.log, std::vector<std::wstring>{Foreground(cad)});
    EXPECT_EQ(automation.log.liveObjects, 0);
}

}  // namespace
