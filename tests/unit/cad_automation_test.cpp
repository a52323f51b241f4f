#include <gtest/gtest.h>

#include "cadlink/cad_automation.h"
#include "cadlink/cad_prog_id.h"
#include "fakes/fake_automation.h"
#include "fakes/program_state.h"

namespace {

class CadAutomationTest : public testing::Test {
  protected:
    void SetUp() override { fakes::ResetProgramState(); }
    fakes::FakeAutomation automation;
};

TEST_F(CadAutomationTest, AvailabilityFollowsTheCurrentIdentifier) {
    automation.Register(L"Autocad.Application.24", std::make_shared<fakes::FakeNode>(L"App"));
    automation.Register(L"Autocad.Application.25", nullptr);
    EXPECT_TRUE(cadlink::IsCadAutomationActive(automation));
    cadlink::CadProgId = L"Autocad.Application.25";
    EXPECT_FALSE(cadlink::IsCadAutomationActive(automation));
    EXPECT_EQ(automation.log.calls,
              (std::vector<std::wstring>{L"IsActive Autocad.Application.24",
                                         L"IsActive Autocad.Application.25"}));
    EXPECT_EQ(automation.log.liveObjects, 0);
}

TEST_F(CadAutomationTest, AnUnregisteredIdentifierRaisesAnErrorThatNamesIt) {
    cadlink::CadProgId = L"Autocad.Application.";
    try {
        cadlink::IsCadAutomationActive(automation);
        FAIL() << "no error";
    } catch (const platform::AutomationError& error) {
        EXPECT_EQ(error.Member(), L"Autocad.Application.");
        EXPECT_EQ(error.Code(), 0x800401F3u);
    }
}

TEST_F(CadAutomationTest, AttachingGivesTheApplicationAndReleasesItWithTheReference) {
    auto application = std::make_shared<fakes::FakeNode>(L"Application");
    application->Returns(L"FullName", std::wstring(L"C:\\CAD\\acad.exe"));
    automation.Register(L"Autocad.Application.24", application);
    {
        auto attached = cadlink::AttachCadApplication(automation);
        EXPECT_EQ(attached->GetText(L"FullName"), L"C:\\CAD\\acad.exe");
        EXPECT_EQ(automation.log.liveObjects, 1);
        EXPECT_THROW(attached->GetInteger(L"FullName"), platform::AutomationError);
        EXPECT_THROW(attached->GetText(L"NoSuchMember"), platform::AutomationError);
    }
    EXPECT_EQ(automation.log.liveObjects, 0);
}

TEST_F(CadAutomationTest, AttachingToAServerThatDoesNotRunRaises) {
    automation.Register(L"Autocad.Application.24", nullptr);
    EXPECT_THROW(cadlink::AttachCadApplication(automation), platform::AutomationError);
    EXPECT_EQ(automation.log.liveObjects, 0);
}

}  // namespace
