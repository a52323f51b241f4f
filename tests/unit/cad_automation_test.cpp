#include <gtest/gtest.h>

#include <chrono>

#include "cadlink/cad_automation.h"
#include "cadlink/cad_prog_id.h"
#include "fakes/fake_automation.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_trace.h"
#include "fakes/program_state.h"

namespace {

using namespace std::chrono_literals;

class CadAutomationTest : public testing::Test {
  protected:
    void SetUp() override { fakes::ResetProgramState(); }

    // A running Application whose FullName names the executable.
    void RegisterRunning() {
        application->Returns(L"FullName", std::wstring(L"C:\\CAD\\acad.exe"));
        automation.Register(L"Autocad.Application.24", application);
    }
    std::chrono::milliseconds Paused() const {
        std::chrono::milliseconds total{};
        for (const auto pause : clock.pauses) {
            total += pause;
        }
        return total;
    }

    fakes::FakeAutomation automation;
    fakes::FakeClock clock;
    fakes::FakeTrace trace;
    cadlink::CallBudget budget{automation, clock, trace, L"test", cadlink::kCommandCallBudget};
    std::shared_ptr<fakes::FakeNode> application = std::make_shared<fakes::FakeNode>(L"App");
};

TEST_F(CadAutomationTest, AvailabilityFollowsTheCurrentIdentifier) {
    automation.Register(L"Autocad.Application.24", std::make_shared<fakes::FakeNode>(L"App"));
    automation.Register(L"Autocad.Application.25", nullptr);
    EXPECT_TRUE(cadlink::IsCadAutomationActive(automation, budget));
    cadlink::CadProgId = L"Autocad.Application.25";
    EXPECT_FALSE(cadlink::IsCadAutomationActive(automation, budget));
    EXPECT_EQ(automation.log.calls,
              (std::vector<std::wstring>{L"IsActive Autocad.Application.24",
                                         L"IsActive Autocad.Application.25"}));
    EXPECT_EQ(automation.log.liveObjects, 0);
}

TEST_F(CadAutomationTest, AnUnregisteredIdentifierRaisesAnErrorThatNamesIt) {
    cadlink::CadProgId = L"Autocad.Application.";
    try {
        cadlink::IsCadAutomationActive(automation, budget);
        FAIL() << "no error";
    } catch (const platform::AutomationError& error) {
        EXPECT_EQ(error.Member(), L"Autocad.Application.");
        EXPECT_EQ(error.Code(), 0x800401F3u);
    }
    EXPECT_TRUE(clock.pauses.empty()) << "only a refusal is tried again";
}

TEST_F(CadAutomationTest, AttachingGivesTheApplicationAndReleasesItWithTheReference) {
    RegisterRunning();
    {
        auto attached = cadlink::AttachCadApplication(automation, budget);
        EXPECT_EQ(attached->GetText(L"FullName"), L"C:\\CAD\\acad.exe");
        EXPECT_EQ(automation.log.liveObjects, 1);
        EXPECT_THROW(attached->GetInteger(L"FullName"), platform::AutomationError);
        EXPECT_THROW(attached->GetText(L"NoSuchMember"), platform::AutomationError);
    }
    EXPECT_EQ(automation.log.liveObjects, 0);
    EXPECT_TRUE(clock.pauses.empty());
}

TEST_F(CadAutomationTest, AttachingToAServerThatDoesNotRunRaises) {
    automation.Register(L"Autocad.Application.24", nullptr);
    EXPECT_THROW(cadlink::AttachCadApplication(automation, budget), platform::AutomationError);
    EXPECT_EQ(automation.log.liveObjects, 0);
}

// A busy server refuses a few calls: each is made again after the pause, and the caller sees
// only the answer. Both refusal codes count; the check, the attach and a member alike.
TEST_F(CadAutomationTest, RefusedCallsAreMadeAgainAfterAPauseUntilAnswered) {
    RegisterRunning();
    for (const std::uint32_t code : {platform::kCallRejected, platform::kServerCallRetryLater}) {
        automation.log.refusalCode = code;
        automation.log.refuseCalls = 3;
        EXPECT_TRUE(cadlink::IsCadAutomationActive(automation, budget));
        automation.log.refuseCalls = 2;
        const auto attached = cadlink::AttachCadApplication(automation, budget);
        automation.log.refuseCalls = 4;
        EXPECT_EQ(attached->GetText(L"FullName"), L"C:\\CAD\\acad.exe");
    }
    EXPECT_TRUE(trace.lines.empty()) << "a refusal answered in the end is no failure";
}

TEST_F(CadAutomationTest, EachRefusalCostsOnePauseAndTheAnswerComesThrough) {
    RegisterRunning();
    const auto attached = cadlink::AttachCadApplication(automation, budget);
    automation.log.refuseCalls = 5;
    EXPECT_EQ(attached->GetText(L"FullName"), L"C:\\CAD\\acad.exe");
    EXPECT_EQ(automation.log.refused, 5);
    EXPECT_EQ(clock.pauses, std::vector<std::chrono::milliseconds>(5, cadlink::kRefusedCallPause));
}

// Past the budget the refusal is the caller's: a command's 3 s and a tick's 200 ms, with no
// pause that would end beyond them.
TEST_F(CadAutomationTest, ARefusalLongerThanTheBudgetFailsWithinIt) {
    RegisterRunning();
    for (const auto total : {cadlink::kCommandCallBudget, cadlink::kTickCallBudget}) {
        clock.pauses.clear();
        automation.log.refused = 0;
        automation.log.refuseCalls = 100000;
        cadlink::CallBudget section(automation, clock, trace, L"test", total);
        try {
            cadlink::AttachCadApplication(automation, section);
            FAIL() << "no error";
        } catch (const platform::AutomationError& error) {
            EXPECT_EQ(error.Code(), platform::kCallRejected);
        }
        EXPECT_LE(Paused(), total);
        EXPECT_GT(Paused() + cadlink::kRefusedCallPause, total) << "the budget was used up";
        EXPECT_EQ(automation.log.refused, static_cast<int>(clock.pauses.size()) + 1);
        EXPECT_EQ(automation.log.liveObjects, 0);
    }
}

TEST_F(CadAutomationTest, AnAvailabilityCheckRefusedPastTheBudgetReadsAsNotRunning) {
    RegisterRunning();
    automation.log.refuseCalls = 100000;
    cadlink::CallBudget tick(automation, clock, trace, L"tick", cadlink::kTickCallBudget);
    EXPECT_FALSE(cadlink::IsCadAutomationActive(automation, tick));
    EXPECT_LE(Paused(), cadlink::kTickCallBudget);
    // The trace alone tells a busy AutoCAD from one that is not there.
    EXPECT_EQ(trace.lines, std::vector<std::wstring>{
                               L"MERIDO_B tick, refused call given up: Autocad.Application.24 "
                               L"0x80010001: IsActive Autocad.Application.24: refused"});
}

// The budget is the section's, not each call's: what the first call spent is gone for the next.
TEST_F(CadAutomationTest, CallsOfOneSectionShareOneBudget) {
    RegisterRunning();
    cadlink::CallBudget tick(automation, clock, trace, L"test", cadlink::kTickCallBudget);
    automation.log.refuseCalls = 6;  // 150 ms of refusals
    const auto attached = cadlink::AttachCadApplication(automation, tick);
    automation.log.refuseCalls = 6;
    EXPECT_THROW(attached->GetText(L"FullName"), platform::AutomationError);
    EXPECT_LE(Paused(), cadlink::kTickCallBudget);
}

// Only the time spent on refusals counts: a command whose user spent a minute in its dialog
// still has its whole budget for the calls after it.
TEST_F(CadAutomationTest, TimeBetweenTheRefusalsCostsNothing) {
    RegisterRunning();
    cadlink::CallBudget tick(automation, clock, trace, L"test", cadlink::kTickCallBudget);
    automation.log.refuseCalls = 6;
    const auto attached = cadlink::AttachCadApplication(automation, tick);
    clock.now += std::chrono::minutes(1);
    automation.log.refuseCalls = 1;
    EXPECT_EQ(attached->GetText(L"FullName"), L"C:\\CAD\\acad.exe");
    automation.log.refuseCalls = 2;
    EXPECT_THROW(attached->GetText(L"FullName"), platform::AutomationError)
        << "175 ms of 200 are spent: room for one more pause, not two";
}

TEST_F(CadAutomationTest, AnyOtherFailureIsPassedOnAtOnce) {
    RegisterRunning();
    application->Fails(L"FullName");
    const auto attached = cadlink::AttachCadApplication(automation, budget);
    EXPECT_THROW(attached->GetText(L"FullName"), platform::AutomationError);
    EXPECT_EQ(automation.log.calls.size(), 2u);
    EXPECT_TRUE(clock.pauses.empty());
}

}  // namespace
