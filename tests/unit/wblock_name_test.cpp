#include <gtest/gtest.h>

#include <string>

#include "commands/wblock_name.h"

namespace {

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

struct Example {
    std::wstring fullName;
    std::wstring proposal;
    std::wstring folder;
};

class WblockNameTest : public testing::TestWithParam<Example> {};

TEST_P(WblockNameTest, ProposesTheNameAndItsFolder) {
    const Example& example = GetParam();
    const std::wstring proposal = commands::ProposeWblockFileName(example.fullName);
    EXPECT_EQ(proposal, example.proposal) << Narrow(example.fullName);
    EXPECT_EQ(commands::WblockInitialFolder(proposal), example.folder) << Narrow(proposal);
}

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, WblockNameTest,
    testing::Values(
        Example{L"C:\\dwg\\plan.dwg", L"C:\\dwg\\plan_wblock1.dwg", L"C:\\dwg"},
        Example{L"C:\\dwg\\plan_wblock1.dwg", L"C:\\dwg\\plan_wblock2.dwg", L"C:\\dwg"},
        Example{L"C:\\dwg\\plan_wblock9.dxf", L"C:\\dwg\\plan_wblock10.dxf", L"C:\\dwg"},
        Example{L"C:\\dwg\\plan_wblock.dwg", L"C:\\dwg\\plan_wblock1.dwg", L"C:\\dwg"},
        Example{L"C:\\dwg\\plan_wblock2_rev.dwg", L"C:\\dwg\\plan_wblock1.dwg", L"C:\\dwg"},
        Example{L"C:\\dwg\\plan_wblock1.bak.dwg", L"C:\\dwg\\plan_wblock1.dwg", L"C:\\dwg"},
        Example{L"C:\\dwg\\plan_wblock007.dwg", L"C:\\dwg\\plan_wblock8.dwg", L"C:\\dwg"},
        Example{L"C:\\dwg\\plan_wblock-3.dwg", L"C:\\dwg\\plan_wblock-2.dwg", L"C:\\dwg"},
        Example{L"C:\\dwg\\plan_wblockx1F.dwg", L"C:\\dwg\\plan_wblock32.dwg", L"C:\\dwg"},
        Example{L"C:\\dwg\\plan_WBLOCK1.dwg", L"C:\\dwg\\plan_WBLOCK1_wblock1.dwg", L"C:\\dwg"},
        Example{L"C:\\dwg\\a_wblock1_wblock2.dwg", L"C:\\dwg\\a_wblock1.dwg", L"C:\\dwg"},
        Example{L"C:\\old_wblock3\\plan.dwg", L"C:\\old_wblock1.dwg", L"C:\\"},
        Example{L"C:\\plan.dwg", L"C:\\plan_wblock1.dwg", L"C:\\"},
        Example{L"C:\\dwg\\plan", L"C:\\dwg\\plan_wblock1", L"C:\\dwg"},
        Example{L"C:\\dwg.old\\plan", L"C:\\dwg.old\\plan_wblock1", L"C:\\dwg.old"},
        Example{L"", L"_wblock1", L""}));

INSTANTIATE_TEST_SUITE_P(
    Numbers, WblockNameTest,
    testing::Values(
        // The increment wraps on 32 bits, and hexadecimal tails are read as two's complement.
        Example{L"C:\\d\\p_wblock2147483647.dwg", L"C:\\d\\p_wblock-2147483648.dwg", L"C:\\d"},
        Example{L"C:\\d\\p_wblock-2147483648.dwg", L"C:\\d\\p_wblock-2147483647.dwg", L"C:\\d"},
        Example{L"C:\\d\\p_wblock2147483648.dwg", L"C:\\d\\p_wblock1.dwg", L"C:\\d"},
        Example{L"C:\\d\\p_wblock0xFFFFFFFF.dwg", L"C:\\d\\p_wblock0.dwg", L"C:\\d"},
        Example{L"C:\\d\\p_wblock$7FFFFFFF.dwg", L"C:\\d\\p_wblock-2147483648.dwg", L"C:\\d"},
        Example{L"C:\\d\\p_wblock-1.dwg", L"C:\\d\\p_wblock0.dwg", L"C:\\d"},
        Example{L"C:\\d\\p_wblock000.dwg", L"C:\\d\\p_wblock1.dwg", L"C:\\d"},
        Example{L"C:\\d\\p_wblock0010.dwg", L"C:\\d\\p_wblock11.dwg", L"C:\\d"},
        Example{L"C:\\d\\p_wblock+4.dwg", L"C:\\d\\p_wblock5.dwg", L"C:\\d"},
        Example{L"C:\\d\\p_wblock  4.dwg", L"C:\\d\\p_wblock5.dwg", L"C:\\d"},
        Example{L"C:\\d\\p_wblock4 .dwg", L"C:\\d\\p_wblock1.dwg", L"C:\\d"},
        Example{L"C:\\d\\p_wblock_wblock5.dwg", L"C:\\d\\p_wblock1.dwg", L"C:\\d"}));

INSTANTIATE_TEST_SUITE_P(
    Paths, WblockNameTest,
    testing::Values(
        // "_wblock" in a folder name: the rest of the path is the tail and is dropped.
        Example{L"C:\\a_wblock\\plan.dwg", L"C:\\a_wblock1.dwg", L"C:\\"},
        Example{L"C:\\a_wblock5.d\\plan", L"C:\\a_wblock1", L"C:\\"},
        Example{L"C:\\x\\a_wblock2\\b\\plan_wblock7.dwg", L"C:\\x\\a_wblock1.dwg", L"C:\\x"},
        // The extension is never searched, and a "." before a separator starts none.
        Example{L"C:\\d\\plan._wblock5", L"C:\\d\\plan_wblock1._wblock5", L"C:\\d"},
        Example{L"C:\\d.x\\plan_wblock3", L"C:\\d.x\\plan_wblock4", L"C:\\d.x"},
        Example{L".dwg", L"_wblock1.dwg", L""}, Example{L"plan.dwg", L"plan_wblock1.dwg", L""},
        Example{L"C:plan.dwg", L"C:plan_wblock1.dwg", L"C:"},
        Example{L"C:plan.x:y", L"C:plan.x:y_wblock1", L"C:plan.x:"},
        Example{L"\\plan.dwg", L"\\plan_wblock1.dwg", L"\\"},
        Example{L"\\\\srv\\share\\plan.dwg", L"\\\\srv\\share\\plan_wblock1.dwg",
                L"\\\\srv\\share"},
        Example{L"C:\\d\\\\plan.dwg", L"C:\\d\\\\plan_wblock1.dwg", L"C:\\d\\\\"},
        Example{L"C:\\d\\", L"C:\\d\\_wblock1", L"C:\\d"}));

TEST(WblockInitialFolderTest, KeepsRootsAndDrivesWhole) {
    EXPECT_EQ(commands::WblockInitialFolder(L"C:\\"), L"C:\\");
    EXPECT_EQ(commands::WblockInitialFolder(L"C:"), L"C:");
    EXPECT_EQ(commands::WblockInitialFolder(L"\\"), L"\\");
    EXPECT_EQ(commands::WblockInitialFolder(L":"), L":");
    EXPECT_EQ(commands::WblockInitialFolder(L"C:\\d\\:x"), L"C:\\d\\:");
    EXPECT_EQ(commands::WblockInitialFolder(L"C:\\d:\\x"), L"C:\\d:\\");
    EXPECT_EQ(commands::WblockInitialFolder(L"a/b/c"), L"");
}

}  // namespace
