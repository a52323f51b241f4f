// An AutoCAD that stops answering in the middle of the panel's work: the tick's state check and
// LIST meet it. Under Wine the call ends only once cadsim answers again (Wine gives a call up
// only then), so what is proven here is what the user sees after: no late key, no late picker,
// no box, and the next tap or command works. That the wait ends within the budget is Windows'
// part, proven in process and against fakes.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "panel_fixture.h"

namespace {

using test_support::WaitUntil;

int Count(const std::vector<std::string>& lines, const std::string& line) {
    return static_cast<int>(std::count(lines.begin(), lines.end(), line));
}

// cadsim busy, in front, with its automation server under version 24 and one drawing, beside
// the panel.
class HungCadTest : public e2e::PanelFixture {
  protected:
    void SetUp() override {
        PanelFixture::SetUp();
        StartCadWithServer();
        ASSERT_EQ(cad->Send(L"doc add a.dwg|C:\\dwg\\a.dwg|1"), 1);
        cad->Send(L"busy");
        StartPanelBesideCad();
        BringCadToFront();
    }

    int Recorded(const std::string& line) const { return Count(cad->RecordLines(), line); }

    // A tap held long enough for the panel's tick to see it, made again when a starved tick
    // missed it; true once cadsim has seen `line` `count` times in all.
    bool TapUntil(WORD key, const std::string& line, int count) {
        return TapUntil(key, [&] { return Recorded(line) >= count; });
    }
    // The same, until cadsim has held `count` calls in all and the last hold is over.
    bool TapUntil(WORD key, int count) {
        return TapUntil(key, [&] { return cad->Send(L"held-calls") >= count; });
    }
    bool TapUntil(WORD key, const std::function<bool()>& done) {
        for (int attempt = 0; attempt < 4; ++attempt) {
            e2e::PressKey(key);
            ::Sleep(400);
            e2e::ReleaseKey(key);
            if (cad->WaitFor(done, 6000)) {
                return true;
            }
        }
        return false;
    }

    bool PickerVisible() const {
        HWND picker = ::FindWindowW(L"TInputListForm", nullptr);
        return picker != nullptr && ::IsWindowVisible(picker);
    }
};

// cadsim holds the tap's state check for 2 s: the tick gives it up, so no F8 comes when cadsim
// answers again, and no box; the next tap gives its F8.
TEST_F(HungCadTest, AShiftTapWhoseStateCheckMeetsAHangGivesNoKeyAndTheNextTapDoes) {
    ASSERT_EQ(cad->Send(L"hang-next-call 2000"), 1);
    // The state check reaches cadsim, which holds it, then serves it or finds it given up.
    ASSERT_TRUE(TapUntil(VK_SHIFT, 1));
    // A Ctrl tap's F9 comes after anything the Shift tap could still cause.
    ASSERT_TRUE(TapUntil(VK_CONTROL, "key up 0x78", 1));
    EXPECT_EQ(Recorded("key down 0x77"), 0) << "the tap that met the hang gave no key";
    EXPECT_EQ(Recorded("call State.IsQuiescent flags=3 args="), 1) << "only the Ctrl tap's";
    ASSERT_TRUE(TapUntil(VK_SHIFT, "key up 0x77", 1)) << "the next Shift tap gives its key";
    EXPECT_EQ(Recorded("key down 0x77"), 1);
    EXPECT_EQ(::FindWindowW(L"TMessageForm", nullptr), nullptr);
}

// LIST meets cadsim holding its call for 5 s, beyond the command's 3 s: the command ends
// silently, no picker appears once cadsim answers, and LIST works afterwards.
TEST_F(HungCadTest, ListAtAHangEndsSilentlyAndNoPickerAppearsLate) {
    ASSERT_EQ(cad->Send(L"hang-next-call 5000"), 1);
    PressWithKeyboard(e2e::kListButton);
    ASSERT_TRUE(cad->WaitFor([&] { return cad->Send(L"held-calls") >= 1; }, 20000));
    EXPECT_FALSE(WaitUntil([&] { return PickerVisible(); }, 2000));
    EXPECT_EQ(Recorded("call Application.Documents flags=3 args="), 0);
    EXPECT_EQ(::FindWindowW(L"TMessageForm", nullptr), nullptr);

    PressWithKeyboard(e2e::kListButton);
    EXPECT_TRUE(WaitUntil([&] { return PickerVisible(); }, 20000)) << "LIST works again";
}

}  // namespace
