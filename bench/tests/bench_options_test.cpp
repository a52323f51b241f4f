#include "bench/bench_options.h"

#include <gtest/gtest.h>

#include <cmath>

namespace bench {
namespace {

TEST(ParseNumber, AcceptsPlainDigitsWithinBounds) {
    struct Case {
        const wchar_t* text;
        std::optional<std::uint32_t> expected;
    };
    const Case cases[] = {
        {L"0", 0u},
        {L"42", 42u},
        {L"1000", 1000u},
        {L"1001", std::nullopt},
        {L"", std::nullopt},
        {L"-1", std::nullopt},
        {L"+5", std::nullopt},
        {L" 5", std::nullopt},
        {L"5 ", std::nullopt},
        {L"1e3", std::nullopt},
        // More digits than any 32-bit number has: refused, not wrapped around.
        {L"99999999999", std::nullopt},
        {L"4294967296", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseNumber(c.text, 0, 1000), c.expected)
            << "text: " << testing::PrintToString(std::wstring(c.text));
    }
    EXPECT_EQ(ParseNumber(L"0", 1, 10), std::nullopt);
}

TEST(ParseNumberList, SplitsOnCommasAndRefusesEmptyItems) {
    EXPECT_EQ(ParseNumberList(L"10,100,1000", 0, 10000),
              (std::vector<std::uint32_t>{10, 100, 1000}));
    EXPECT_EQ(ParseNumberList(L"7", 0, 10000), (std::vector<std::uint32_t>{7}));
    for (const wchar_t* bad : {L"", L",", L"10,", L",10", L"10,,100", L"10;100", L"10,20000"}) {
        EXPECT_EQ(ParseNumberList(bad, 0, 10000), std::nullopt)
            << testing::PrintToString(std::wstring(bad));
    }
}

TEST(ParseWindowsHostOptions, ReadsCountAndCadInAnyOrder) {
    const auto both = ParseWindowsHostOptions({L"--cad", L"--count", L"250"});
    ASSERT_TRUE(both);
    EXPECT_EQ(both->count, 250u);
    EXPECT_TRUE(both->cad);

    const auto none = ParseWindowsHostOptions({});
    ASSERT_TRUE(none);
    EXPECT_EQ(none->count, 0u);
    EXPECT_FALSE(none->cad);
    EXPECT_FALSE(none->cadInFront);

    const auto front = ParseWindowsHostOptions({L"--count", L"5", L"--cad-front"});
    ASSERT_TRUE(front);
    EXPECT_TRUE(front->cad);
    EXPECT_TRUE(front->cadInFront);
    EXPECT_FALSE(front->keys);

    // Typing into the look-alike needs it in front.
    const auto keys = ParseWindowsHostOptions({L"--keys", L"--count", L"5"});
    ASSERT_TRUE(keys);
    EXPECT_TRUE(keys->cadInFront && keys->keys);

    EXPECT_FALSE(ParseWindowsHostOptions({L"--count"}));
    EXPECT_FALSE(ParseWindowsHostOptions({L"--count", L"many"}));
    EXPECT_FALSE(ParseWindowsHostOptions({L"--count", L"10001"}));
    EXPECT_FALSE(ParseWindowsHostOptions({L"--windows", L"10"}));
}

TEST(ParseReferenceOptions, SecondsArePositive) {
    EXPECT_EQ(ParseReferenceOptions({})->seconds, 0u);
    EXPECT_EQ(ParseReferenceOptions({L"--seconds", L"30"})->seconds, 30u);
    EXPECT_FALSE(ParseReferenceOptions({L"--seconds", L"0"}));
    EXPECT_FALSE(ParseReferenceOptions({L"--seconds"}));
    EXPECT_FALSE(ParseReferenceOptions({L"30"}));
}

TEST(ParseDriverOptions, DefaultsWhenOnlyThePanelIsGiven) {
    const DriverParse parsed = ParseDriverOptions({L"--panel", L"C:\\p\\MERIDO_B.exe"});
    ASSERT_TRUE(parsed.options) << testing::PrintToString(parsed.error);
    const DriverOptions& options = *parsed.options;
    EXPECT_EQ(options.panel, L"C:\\p\\MERIDO_B.exe");
    EXPECT_TRUE(options.reference.empty());
    EXPECT_TRUE(options.windows.empty());
    EXPECT_EQ(options.counts, (std::vector<std::uint32_t>{10, 100, 1000}));
    EXPECT_EQ(options.seconds, 20u);
    EXPECT_EQ(options.warmupSeconds, 2u);
    EXPECT_EQ(options.runs, 5u);
    EXPECT_TRUE(options.cad);
    EXPECT_FALSE(options.sync);
}

TEST(ParseDriverOptions, ReadsEveryOption) {
    const DriverParse parsed =
        ParseDriverOptions({L"--sync", L"--reference", L"r.exe", L"--panel", L"p.exe", L"--windows",
                            L"w.exe", L"--counts", L"5,50", L"--seconds", L"30", L"--warmup", L"0",
                            L"--runs", L"4", L"--no-cad"});
    ASSERT_TRUE(parsed.options) << testing::PrintToString(parsed.error);
    const DriverOptions& options = *parsed.options;
    EXPECT_EQ(options.panel, L"p.exe");
    EXPECT_EQ(options.reference, L"r.exe");
    EXPECT_EQ(options.windows, L"w.exe");
    EXPECT_EQ(options.counts, (std::vector<std::uint32_t>{5, 50}));
    EXPECT_EQ(options.seconds, 30u);
    EXPECT_EQ(options.warmupSeconds, 0u);
    EXPECT_EQ(options.runs, 4u);
    EXPECT_FALSE(options.cad);
    EXPECT_TRUE(options.sync);
}

TEST(ParseDriverOptions, KeysPutTheLookAlikeInFront) {
    const DriverParse parsed = ParseDriverOptions({L"--no-cad", L"--keys", L"--panel", L"p.exe"});
    ASSERT_TRUE(parsed.options) << testing::PrintToString(parsed.error);
    EXPECT_TRUE(parsed.options->cad && parsed.options->cadInFront && parsed.options->keys);
    EXPECT_FALSE(ParseDriverOptions({L"--panel", L"p.exe", L"--cad-front"}).options->keys);
}

TEST(ParseDriverOptions, RefusesBadCommandLinesWithAReason) {
    struct Case {
        std::vector<std::wstring> args;
        const wchar_t* reasonContains;
    };
    const Case cases[] = {
        {{}, L"--panel is required"},
        {{L"--seconds", L"5"}, L"--panel is required"},
        {{L"--panel"}, L"--panel needs a value"},
        {{L"--panel", L""}, L"bad value for --panel"},
        {{L"--panel", L"p.exe", L"--seconds", L"0"}, L"bad value for --seconds"},
        {{L"--panel", L"p.exe", L"--runs", L"0"}, L"bad value for --runs"},
        {{L"--panel", L"p.exe", L"--counts", L"10,x"}, L"bad value for --counts"},
        {{L"--panel", L"p.exe", L"--speed", L"3"}, L"unknown argument --speed"},
        {{L"--panel", L"p.exe", L"extra"}, L"unknown argument extra"},
    };
    for (const Case& c : cases) {
        const DriverParse parsed = ParseDriverOptions(c.args);
        EXPECT_FALSE(parsed.options);
        EXPECT_NE(parsed.error.find(c.reasonContains), std::wstring::npos)
            << testing::PrintToString(parsed.error);
    }
}

TEST(Compare, RatioOfTotalsAndRangeOfPairedRuns) {
    const Comparison result = Compare({110, 90, 100}, {100, 100, 100});
    EXPECT_DOUBLE_EQ(result.panelTotalMs, 300);
    EXPECT_DOUBLE_EQ(result.referenceTotalMs, 300);
    ASSERT_TRUE(result.ratio && result.ratioMin && result.ratioMedian && result.ratioMax);
    EXPECT_DOUBLE_EQ(*result.ratio, 1.0);
    EXPECT_DOUBLE_EQ(*result.ratioMin, 0.9);
    EXPECT_DOUBLE_EQ(*result.ratioMedian, 1.0);
    EXPECT_DOUBLE_EQ(*result.ratioMax, 1.1);
    EXPECT_DOUBLE_EQ(result.panelSpread, 0.2);
    EXPECT_DOUBLE_EQ(result.referenceSpread, 0.0);
}

TEST(Compare, MedianIgnoresOneDisturbedRun) {
    // Run 2 of the reference was slowed down by the machine: the totals move, the median not.
    const Comparison odd = Compare({100, 100, 100}, {100, 150, 95});
    EXPECT_NEAR(*odd.ratio, 300.0 / 345.0, 1e-12);
    EXPECT_NEAR(*odd.ratioMedian, 1.0, 1e-12);
    EXPECT_NEAR(*odd.ratioMin, 100.0 / 150.0, 1e-12);
    EXPECT_NEAR(*odd.ratioMax, 100.0 / 95.0, 1e-12);

    // An even number of runs: the mean of the middle two.
    const Comparison even = Compare({90, 100, 120, 200}, {100, 100, 100, 100});
    EXPECT_DOUBLE_EQ(*even.ratioMedian, 1.1);
}

TEST(Compare, NoRatioWhereTheReferenceCostNothing) {
    const Comparison idle = Compare({5, 5}, {0, 0});
    EXPECT_FALSE(idle.ratio);
    EXPECT_FALSE(idle.ratioMin);
    EXPECT_FALSE(idle.ratioMedian);
    EXPECT_FALSE(idle.ratioMax);

    // One empty reference run spoils the range but not the ratio of the totals.
    const Comparison partial = Compare({10, 12}, {10, 0});
    ASSERT_TRUE(partial.ratio);
    EXPECT_DOUBLE_EQ(*partial.ratio, 2.2);
    EXPECT_FALSE(partial.ratioMin);

    const Comparison single = Compare({30}, {20});
    EXPECT_DOUBLE_EQ(*single.ratioMin, 1.5);
    EXPECT_DOUBLE_EQ(*single.ratioMax, 1.5);
    EXPECT_DOUBLE_EQ(single.panelSpread, 0.0);
}

TEST(FormatRatio, ThreeDecimalsOrNotAvailable) {
    EXPECT_EQ(FormatRatio(1.0), "1.000");
    EXPECT_EQ(FormatRatio(1.23456), "1.235");
    EXPECT_EQ(FormatRatio(std::nullopt), "n/a");
}

}  // namespace
}  // namespace bench
