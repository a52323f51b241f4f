#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <vector>

#include "bench/soak/growth.h"
#include "bench/soak/system_lists.h"
#include "platform/win32/unique_handles.h"

namespace soak {
namespace {

TEST(Slope, IsTheMedianOfThePairwiseSlopes) {
    EXPECT_DOUBLE_EQ(Slope({1, 2, 3, 4}, {3, 5, 7, 9}), 2.0);
    EXPECT_DOUBLE_EQ(Slope({1, 2, 3, 4}, {5, 5, 5, 5}), 0.0);
    // Up, down, up, down: slopes -10, 0, 0, 10/3, 10, 10.
    EXPECT_NEAR(Slope({1, 2, 3, 4}, {0, 10, 0, 10}), 5.0 / 3, 1e-9);
    // A steady rise with one sample a megabyte low keeps its slope.
    EXPECT_DOUBLE_EQ(Slope({1, 2, 3, 4, 5, 6, 7}, {10, 20, 30, -990, 50, 60, 70}), 10.0);
    EXPECT_DOUBLE_EQ(Slope({7}, {1}), 0.0);
    EXPECT_DOUBLE_EQ(Slope({2, 2}, {1, 9}), 0.0);
}

TEST(PersistentGrowth, ComparesTheMediansOfTheFirstAndLastThirds) {
    EXPECT_DOUBLE_EQ(Median({3, 1, 2}), 2.0);
    EXPECT_DOUBLE_EQ(Median({4, 1, 3, 2}), 2.5);
    EXPECT_DOUBLE_EQ(Median({}), 0.0);
    EXPECT_DOUBLE_EQ(PersistentGrowth({1, 2, 3, 4, 5, 6, 7, 8, 9}), 6.0);
    EXPECT_DOUBLE_EQ(PersistentGrowth({5, 5, 5, 5, 5, 5, 5, 5, 99}), 0.0);
    EXPECT_DOUBLE_EQ(PersistentGrowth({5, 5, 5, 5, 5, 5, 6, 6, 6}), 1.0);
    EXPECT_DOUBLE_EQ(PersistentGrowth({5, 7}), 2.0);
}

// Samples after cycles 1 to `count`, each figure made by a function of the cycle.
std::vector<Sample> Samples(int count, PanelFigures (*figures)(int cycle)) {
    std::vector<Sample> samples;
    for (int cycle = 1; cycle <= count; ++cycle) {
        samples.push_back(Sample{cycle, figures(cycle)});
    }
    return samples;
}

PanelFigures Flat(int) { return PanelFigures{60, 0, 24 << 20, 4, 1}; }

TEST(JudgeGrowth, TellsALeakFromNoise) {
    struct Case {
        const char* name;
        PanelFigures (*figures)(int cycle);
        bool grows;
    };
    const Case cases[] = {
        {"flat", Flat, false},
        {"one handle a cycle",
         [](int cycle) {
             PanelFigures f = Flat(cycle);
             f.handles += static_cast<DWORD>(cycle);
             return f;
         },
         true},
        {"Wine's dialog keys only",
         [](int cycle) {
             PanelFigures f = Flat(cycle);
             f.handles += static_cast<DWORD>(cycle);
             f.wineDialogKeys = static_cast<DWORD>(cycle);
             return f;
         },
         false},
        {"heap pages coming and going by a megabyte",
         [](int cycle) {
             PanelFigures f = Flat(cycle);
             f.privateBytes += cycle % 2 == 1 ? 1 << 20 : 0;
             return f;
         },
         false},
        {"two megabytes more in the last sample alone",
         [](int cycle) {
             PanelFigures f = Flat(cycle);
             f.privateBytes += cycle == 20 ? 2 << 20 : 0;
             return f;
         },
         false},
        {"100 KiB a cycle",
         [](int cycle) {
             PanelFigures f = Flat(cycle);
             f.privateBytes += static_cast<std::uint64_t>(cycle) * 100 * 1024;
             return f;
         },
         true},
        {"one more window late",
         [](int cycle) {
             PanelFigures f = Flat(cycle);
             f.windows += cycle >= 15 ? 1 : 0;
             return f;
         },
         true},
        {"a handle held for one sample",
         [](int cycle) {
             PanelFigures f = Flat(cycle);
             f.handles += cycle == 10 ? 12 : 0;
             return f;
         },
         false},
    };
    for (const Case& c : cases) {
        const GrowthVerdict verdict = JudgeGrowth(Samples(20, c.figures));
        EXPECT_EQ(verdict.beyondNoise, c.grows) << c.name;
        EXPECT_EQ(verdict.lines.size(), 3u) << c.name;
    }
    EXPECT_FALSE(JudgeGrowth(Samples(1, Flat)).beyondNoise);
}

// The lists that stand in for the process functions under Wine, read for this process.
TEST(SystemLists, SeeTheProcessHandlesAndKeyNames) {
    const DWORD self = ::GetCurrentProcessId();
    const std::size_t before = HandlesOf(self).size();
    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_READ, &key), ERROR_SUCCESS);
    const std::vector<USHORT> handles = HandlesOf(self);
    EXPECT_EQ(handles.size(), before + 1);
    const auto value = static_cast<USHORT>(reinterpret_cast<ULONG_PTR>(key));
    EXPECT_NE(std::find(handles.begin(), handles.end(), value), handles.end());
    EXPECT_TRUE(KeyNameOf(::GetCurrentProcess(), value).ends_with(L"\\Software"));
    ::RegCloseKey(key);
    EXPECT_EQ(HandlesOf(self).size(), before);

    const platform::win32::UniqueKernelHandle event(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    EXPECT_EQ(KeyNameOf(::GetCurrentProcess(),
                        static_cast<USHORT>(reinterpret_cast<ULONG_PTR>(event.get()))),
              L"");
    EXPECT_GT(CommitChargeOf(self), 1u << 20);
}

}  // namespace
}  // namespace soak
