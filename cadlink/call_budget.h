#pragma once

#include <chrono>
#include <type_traits>

#include "platform/automation.h"
#include "platform/clock.h"

namespace cadlink {

// How long one command, and one section of a tick, may go on making again the calls that a
// busy AutoCAD refuses. A tick's budget is short, so that the panel stays responsive.
inline constexpr std::chrono::milliseconds kCommandCallBudget{3000};
inline constexpr std::chrono::milliseconds kTickCallBudget{200};
// The pause before a refused call is made again.
inline constexpr std::chrono::milliseconds kRefusedCallPause{25};

// The time that one command or tick section may spend on calls that a busy AutoCAD refuses,
// counted from the budget's creation. A refused call has not run on the server, so making it
// again is safe; any other error is passed on at once, and so is a refusal once the budget is
// spent. The pauses between the tries answer messages sent to the panel (Clock::Pause).
class CallBudget {
  public:
    CallBudget(platform::Clock& clock, std::chrono::milliseconds total)
        : clock_(clock), deadline_(clock.Now() + total) {}
    CallBudget(const CallBudget&) = delete;
    CallBudget& operator=(const CallBudget&) = delete;

    template <typename Call>
    std::invoke_result_t<Call&> Run(Call&& call) {
        for (;;) {
            try {
                return call();
            } catch (const platform::AutomationError& error) {
                if (!platform::IsRefusedCall(error.Code()) || !PauseBeforeRetry()) {
                    throw;
                }
            }
        }
    }

  private:
    // Pauses and answers true when another try still fits in the budget.
    bool PauseBeforeRetry();

    platform::Clock& clock_;
    const std::chrono::milliseconds deadline_;
};

}  // namespace cadlink
