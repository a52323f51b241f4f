#pragma once

#include <chrono>
#include <optional>
#include <type_traits>

#include "platform/automation.h"
#include "platform/clock.h"

namespace cadlink {

// How long one command, and one section of a tick, may spend in all on making again the calls
// that a busy AutoCAD refuses. A tick's budget is short, so that the panel stays responsive.
inline constexpr std::chrono::milliseconds kCommandCallBudget{3000};
inline constexpr std::chrono::milliseconds kTickCallBudget{200};
// The pause before a refused call is made again.
inline constexpr std::chrono::milliseconds kRefusedCallPause{25};

// The time that one command or tick section may spend on calls that a busy AutoCAD refuses:
// from each call's first refusal until it is answered or given up, added up over the section,
// so that the time the user spends in a dialog of the command costs nothing. A refused call
// has not run on the server, so making it again is safe; any other error is passed on at once,
// and so is a refusal once the budget is spent. The pauses between the tries answer messages
// sent to the panel (Clock::Pause).
class CallBudget {
  public:
    CallBudget(platform::Clock& clock, std::chrono::milliseconds total)
        : clock_(clock), total_(total) {}
    CallBudget(const CallBudget&) = delete;
    CallBudget& operator=(const CallBudget&) = delete;

    template <typename Call>
    std::invoke_result_t<Call&> Run(Call&& call) {
        RefusedStretch stretch(*this);
        for (;;) {
            try {
                return call();
            } catch (const platform::AutomationError& error) {
                if (!platform::IsRefusedCall(error.Code()) || !stretch.PauseBeforeRetry()) {
                    throw;
                }
            }
        }
    }

  private:
    // One call's time from its first refusal on; it is added to the budget's spent time when
    // the call is done, answered or not.
    class RefusedStretch {
      public:
        explicit RefusedStretch(CallBudget& budget) : budget_(budget) {}
        ~RefusedStretch();
        RefusedStretch(const RefusedStretch&) = delete;
        RefusedStretch& operator=(const RefusedStretch&) = delete;

        // Pauses and answers true when another try still fits in the budget.
        bool PauseBeforeRetry();

      private:
        CallBudget& budget_;
        std::optional<std::chrono::milliseconds> since_;
    };

    platform::Clock& clock_;
    const std::chrono::milliseconds total_;
    std::chrono::milliseconds spent_{0};
};

}  // namespace cadlink
