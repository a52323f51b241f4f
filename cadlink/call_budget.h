#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

#include "platform/automation.h"
#include "platform/clock.h"
#include "platform/trace.h"

namespace cadlink {

// How long one command, and one section of a tick, may wait on AutoCAD in all: on calls that a
// busy AutoCAD refuses and on calls that it neither answers nor refuses. A tick's budget is
// short, so that the panel stays responsive.
inline constexpr std::chrono::milliseconds kCommandCallBudget{3000};
inline constexpr std::chrono::milliseconds kTickCallBudget{200};
// The pause before a refused call is made again.
inline constexpr std::chrono::milliseconds kRefusedCallPause{25};

// The time that one command or tick section may spend waiting on AutoCAD. A refused call has
// not run on the server, so it is made again while the budget lasts; the time from a call's first
// refusal until it is answered or given up is spent, so that the time the user spends in a dialog
// of the command costs nothing. Any other error is passed on at once, and so is a refusal once
// the budget is spent. A call that is neither answered nor refused may wait what is left of the
// budget: the automation asks IsWaitPastLimit while it waits and gives the call up, and an answer
// that comes later still counts as none, so that nothing acts on it. Either way the call fails
// with kCallCanceled and the budget is used up: every later wait of the section, the releases of
// its objects included, is given up at once.
// A refused call given up and the first wait given up each write a line to the trace, named
// after the section and the call's member.
// For its lifetime the budget is the limit of the automation's waits. Budgets nest, the inner
// one living inside the outer one's lifetime, as a tick that runs inside a command's dialog does.
class CallBudget final : public platform::CallWaitLimit {
  public:
    CallBudget(platform::Automation& automation, platform::Clock& clock, platform::Trace& trace,
               std::wstring section, std::chrono::milliseconds total);
    ~CallBudget();
    CallBudget(const CallBudget&) = delete;
    CallBudget& operator=(const CallBudget&) = delete;

    // Makes the call to `member` (named in the trace), again while it is refused.
    template <typename Call>
    std::invoke_result_t<Call&> Run(std::wstring_view member, Call&& call) {
        CallStretch stretch(*this, member);
        for (;;) {
            try {
                if constexpr (std::is_void_v<std::invoke_result_t<Call&>>) {
                    call();
                    stretch.ThrowIfLate();
                    return;
                } else {
                    auto answer = call();
                    stretch.ThrowIfLate();  // a late answer is released here, unused
                    return answer;
                }
            } catch (const platform::AutomationError& error) {
                if (!platform::IsRefusedCall(error.Code())) {
                    throw;
                }
                if (!stretch.PauseBeforeRetry()) {
                    TraceRefusalGivenUp(error);
                    throw;
                }
            }
        }
    }

    bool IsWaitPastLimit(std::chrono::milliseconds waited) noexcept override;

    // For its lifetime the budget's calls wait as long as the server needs: for a call whose
    // work may take long, such as writing a file. Refused calls are still made again only
    // within the budget.
    class UnlimitedWait {
      public:
        explicit UnlimitedWait(CallBudget& budget);
        ~UnlimitedWait();
        UnlimitedWait(const UnlimitedWait&) = delete;
        UnlimitedWait& operator=(const UnlimitedWait&) = delete;

      private:
        CallBudget& budget_;
        bool earlier_;
    };

  private:
    // One call, from its start; from its first refusal on, its time is added to the budget's
    // spent time when it is done, answered or not.
    class CallStretch {
      public:
        CallStretch(CallBudget& budget, std::wstring_view member);
        ~CallStretch();
        CallStretch(const CallStretch&) = delete;
        CallStretch& operator=(const CallStretch&) = delete;

        // Pauses and answers true when another try still fits in the budget.
        bool PauseBeforeRetry();
        // Throws kCallCanceled when the call has outlasted the budget.
        void ThrowIfLate() const;

      private:
        CallBudget& budget_;
        const std::chrono::milliseconds start_;
        const std::optional<std::chrono::milliseconds> earlierStart_;
        const std::wstring_view earlierMember_;
        std::optional<std::chrono::milliseconds> refusedSince_;
    };

    // How long the call in progress has been out; zero outside a call.
    std::chrono::milliseconds InCall() const;
    void TraceRefusalGivenUp(const platform::AutomationError& error) noexcept;
    // Marks the budget used up; the first time, writes the call in progress to the trace.
    void GiveUp(const wchar_t* text) noexcept;

    platform::Automation& automation_;
    platform::Clock& clock_;
    platform::Trace& trace_;
    const std::wstring section_;
    const std::chrono::milliseconds total_;
    std::chrono::milliseconds spent_{0};
    std::optional<std::chrono::milliseconds> callStart_;
    std::wstring_view callMember_;
    bool unlimited_ = false;
    bool usedUp_ = false;  // a call was given up
    platform::CallWaitLimit* const earlierLimit_;
};

}  // namespace cadlink
