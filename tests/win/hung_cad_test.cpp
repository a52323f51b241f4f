// An AutoCAD that neither answers nor refuses, as the Windows side meets it: the message filter's
// answer, and a real call to a cadsim that holds its thread.
//
// Measured under Wine 8: the wait for a call asks the filter only when a posted message arrives
// (a timer's message does not wake it); the time it passes is the wait's as of its last wake-up;
// PENDINGMSG_CANCELCALL makes the call fail with RPC_E_CALL_CANCELED, but only once the server
// has answered. Windows documents that the call returns at once.

#include <gtest/gtest.h>
#include <windows.h>
#include <ole2.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <thread>

#include "cadlink/cad_automation.h"
#include "cadlink/cad_prog_id.h"
#include "platform/win32/com_automation.h"
#include "platform/win32/message_filter.h"
#include "platform/win32/unique_handles.h"
#include "platform/win32/win32_clock.h"
#include "tests/fakes/fake_trace.h"
#include "tests/support/cadsim_client.h"

namespace {

using namespace std::chrono_literals;

// A limit that says "past" beyond a fixed wait, and counts the questions.
struct FixedLimit final : public platform::CallWaitLimit {
    bool IsWaitPastLimit(std::chrono::milliseconds waited) noexcept override {
        ++asked;
        return waited > 150ms;
    }
    int asked = 0;
};

TEST(HungCadFilterTest, TheFilterGivesACallUpOnlyPastTheLimitInForce) {
    platform::win32::RefusalMessageFilter filter;
    const auto pending = [&](DWORD waited) {
        return filter.MessagePending(nullptr, waited, PENDINGTYPE_TOPLEVEL);
    };
    EXPECT_EQ(pending(100000), static_cast<DWORD>(PENDINGMSG_WAITDEFPROCESS)) << "no limit";
    FixedLimit limit;
    EXPECT_EQ(filter.LimitCallWaits(&limit), nullptr);
    EXPECT_EQ(pending(150), static_cast<DWORD>(PENDINGMSG_WAITDEFPROCESS));
    EXPECT_EQ(pending(151), static_cast<DWORD>(PENDINGMSG_CANCELCALL));
    EXPECT_EQ(limit.asked, 2);
    EXPECT_EQ(filter.LimitCallWaits(nullptr), &limit);
    EXPECT_EQ(pending(100000), static_cast<DWORD>(PENDINGMSG_WAITDEFPROCESS));
}

// Passes the questions on to the budget and notes when it first said "give up".
struct WatchedLimit final : public platform::CallWaitLimit {
    bool IsWaitPastLimit(std::chrono::milliseconds waited) noexcept override {
        const bool past = budget->IsWaitPastLimit(waited);
        if (past && !firstPastMs) {
            firstPastMs = ::GetTickCount64() - start;
        }
        return past;
    }
    platform::CallWaitLimit* budget = nullptr;
    ULONGLONG start = 0;
    std::optional<ULONGLONG> firstPastMs;
};

// A window of this thread that another thread posts a message to every 50 ms while it runs: a
// message arriving during the call, as the user's input or the system's would.
class PostedMessages {
  public:
    PostedMessages() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = ::DefWindowProcW;
        windowClass.lpszClassName = L"MeridoHungCadProbe";
        ::RegisterClassW(&windowClass);
        window_.reset(::CreateWindowExW(0, L"MeridoHungCadProbe", L"", WS_POPUP, 0, 0, 10, 10,
                                        nullptr, nullptr, nullptr, nullptr));
        HWND target = window_.get();
        poster_ = std::thread([this, target] {
            while (!stop_) {
                ::Sleep(50);
                ::PostMessageW(target, WM_APP, 0, 0);
            }
        });
    }
    ~PostedMessages() {
        stop_ = true;
        poster_.join();
    }
    PostedMessages(const PostedMessages&) = delete;
    PostedMessages& operator=(const PostedMessages&) = delete;

  private:
    platform::win32::UniqueWindow window_;
    std::atomic<bool> stop_{false};
    std::thread poster_;
};

class HungCadCallTest : public testing::TestWithParam<bool> {
  protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(::OleInitialize(nullptr)));
        cadlink::CadProgId = L"Autocad.Application.24";
        test_support::CadSim::Options options;
        options.automationVersion = L"24";
        cad = std::make_unique<test_support::CadSim>(options);
    }
    void TearDown() override {
        cad.reset();
        ::OleUninitialize();
    }

    std::unique_ptr<test_support::CadSim> cad;
};

// cadsim holds the tap's state check for 1.5 s: the tick's section gives the call up. With a
// message arriving during the wait, the budget answers "give up" within 0.5 s of the call's
// start; with none, the late answer counts as none. Either way the call fails as given up.
TEST_P(HungCadCallTest, AStateCheckThatAHungAutoCadHoldsFailsAsGivenUp) {
    const bool messages = GetParam();
    platform::win32::ComAutomation automation;
    const platform::win32::MessageFilterRegistration registration(automation.MessageFilter());
    ASSERT_TRUE(registration.Registered());
    platform::win32::Win32Clock clock;
    fakes::FakeTrace trace;
    cadlink::CallBudget tick(automation, clock, trace, L"test", cadlink::kTickCallBudget);
    WatchedLimit watched;
    watched.budget = automation.LimitCallWaits(&watched);
    ASSERT_EQ(watched.budget, &tick);
    std::optional<PostedMessages> posted;
    if (messages) {
        posted.emplace();
    }
    {
        const auto application = cadlink::AttachCadApplication(automation, tick);
        ASSERT_EQ(cad->Send(L"hang-next-call 1500"), 1);
        watched.start = ::GetTickCount64();
        try {
            application->GetObject(L"GetAcadState")->GetBool(L"IsQuiescent");
            ADD_FAILURE() << "answered";
        } catch (const platform::AutomationError& error) {
            EXPECT_EQ(error.Code(), platform::kCallCanceled) << std::hex << error.Code();
        }
        const ULONGLONG held = ::GetTickCount64() - watched.start;
        std::printf("  messages during the wait: %s; held %llu ms; given up at %lld ms\n",
                    messages ? "yes" : "no", held,
                    watched.firstPastMs ? static_cast<long long>(*watched.firstPastMs) : -1LL);
        if (messages) {
            ASSERT_TRUE(watched.firstPastMs.has_value()) << "the filter was never asked";
            EXPECT_LE(*watched.firstPastMs, 500u);
        }
    }
    automation.LimitCallWaits(watched.budget);
}

INSTANTIATE_TEST_SUITE_P(Waits, HungCadCallTest, testing::Values(true, false),
                         [](const testing::TestParamInfo<bool>& messages) {
                             return messages.param ? "WithMessages" : "WithoutMessages";
                         });

}  // namespace
