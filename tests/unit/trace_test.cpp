#include <gtest/gtest.h>

#include <exception>
#include <stdexcept>
#include <string>

#include "platform/automation.h"
#include "platform/trace.h"

namespace {

struct LineCase {
    const char* name;
    std::exception_ptr error;
    std::wstring line;
};

class TraceLineTest : public testing::TestWithParam<LineCase> {};

// Each kind of error the guarded sections catch gives what it knows: member, code and text.
TEST_P(TraceLineTest, SaysWhereWhichCallTheCodeAndTheText) {
    EXPECT_EQ(platform::TraceLineOf(L"Section", GetParam().error), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Errors, TraceLineTest,
    testing::Values(
        LineCase{"Automation",
                 std::make_exception_ptr(platform::AutomationError(L"Count: refused (0x80010001)",
                                                                   L"Count", 0x80010001u)),
                 L"MERIDO_B Section: Count 0x80010001: Count: refused (0x80010001)"},
        LineCase{"AutomationWithoutMember",
                 std::make_exception_ptr(platform::AutomationError(L"no answer", L"", 0x2u)),
                 L"MERIDO_B Section: 0x00000002: no answer"},
        LineCase{"Program", std::make_exception_ptr(platform::Error(L"書き込めません")),
                 L"MERIDO_B Section: 書き込めません"},
        LineCase{"Standard", std::make_exception_ptr(std::runtime_error("bad\xE9")),
                 L"MERIDO_B Section: bad\u00E9"},
        LineCase{"Unknown", std::make_exception_ptr(42), L"MERIDO_B Section: unknown error"}),
    [](const testing::TestParamInfo<LineCase>& c) { return std::string(c.param.name); });

TEST(TraceLineFormatTest, NamesAMemberWithoutACode) {
    EXPECT_EQ(platform::TraceLine(L"RunImeGuard", L"IMC_GETOPENSTATUS", std::nullopt, L"late"),
              L"MERIDO_B RunImeGuard: IMC_GETOPENSTATUS: late");
}

}  // namespace
