#include <gtest/gtest.h>

#include <string>

#include "settings/text_to_int.h"

namespace {

constexpr std::int32_t kDefault = 7777;

struct Case {
    std::wstring text;
    std::int32_t expected;
};

class TextToIntTest : public testing::TestWithParam<Case> {};

TEST_P(TextToIntTest, ReadsByTheFiveRules) {
    EXPECT_EQ(settings::TextToIntOrDefault(GetParam().text, kDefault), GetParam().expected)
        << std::string(GetParam().text.begin(), GetParam().text.end());
}

INSTANTIATE_TEST_SUITE_P(
    Decimal, TextToIntTest,
    testing::Values(Case{L"0", 0}, Case{L"42", 42}, Case{L"-40", -40}, Case{L"+5", 5},
                    Case{L"007", 7}, Case{L"-0", 0}, Case{L"   12", 12},
                    Case{L"2147483647", 2147483647}, Case{L"-2147483648", INT32_MIN},
                    Case{L"2147483648", kDefault}, Case{L"-2147483649", kDefault},
                    Case{L"99999999999999999999", kDefault}, Case{L"12px", kDefault},
                    Case{L"12 ", kDefault}, Case{L"\t12", kDefault}, Case{L"", kDefault},
                    Case{L"   ", kDefault}, Case{L"-", kDefault}, Case{L"+-1", kDefault},
                    Case{L"- 1", kDefault}, Case{L"1.5", kDefault}, Case{L"false", kDefault},
                    Case{L"yes", kDefault}, Case{L"\uFF11", kDefault},
                    Case{std::wstring(L"1\0"
                                      L"2",
                                      3),
                         kDefault}));

INSTANTIATE_TEST_SUITE_P(
    Hexadecimal, TextToIntTest,
    testing::Values(Case{L"0x20", 32}, Case{L"0X20", 32}, Case{L"$20", 32}, Case{L"x20", 32},
                    Case{L"X20", 32}, Case{L"$ff", 255}, Case{L"0xAbC", 0xABC}, Case{L"-0x10", -16},
                    Case{L"+$10", 16}, Case{L" x1F", 31}, Case{L"0xFFFFFFFF", -1},
                    Case{L"0x0FFFFFFFF", -1}, Case{L"0x00000000FFFFFFFF", -1},
                    Case{L"0x7FFFFFFF", 2147483647}, Case{L"0x80000000", INT32_MIN},
                    Case{L"-0x80000000", INT32_MIN}, Case{L"-0xFFFFFFFF", 1},
                    Case{L"0x100000000", kDefault}, Case{L"0x", kDefault}, Case{L"$", kDefault},
                    Case{L"0xG", kDefault}, Case{L"0x1 ", kDefault}, Case{L"0x-1", kDefault},
                    Case{L"$$1", kDefault}, Case{L"0$1", kDefault}, Case{L"1x1", kDefault}));

}  // namespace
