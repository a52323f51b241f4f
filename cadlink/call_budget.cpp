#include "cadlink/call_budget.h"

#include <algorithm>

namespace cadlink {

CallBudget::CallBudget(platform::Automation& automation, platform::Clock& clock,
                       std::chrono::milliseconds total)
    : automation_(automation),
      clock_(clock),
      total_(total),
      earlierLimit_(automation.LimitCallWaits(this)) {}

CallBudget::~CallBudget() { automation_.LimitCallWaits(earlierLimit_); }

std::chrono::milliseconds CallBudget::InCall() const {
    return callStart_ ? clock_.Now() - *callStart_ : std::chrono::milliseconds{0};
}

// The system counts the wait of one of its own calls, which may be a part of the program's call
// (a member's name, then the member) or outside any (an object's release), and it may count from
// the last time it looked; the budget counts the program's call from its start. Whichever is
// longer has truly passed.
bool CallBudget::IsWaitPastLimit(std::chrono::milliseconds waited) noexcept {
    if (unlimited_) {
        return false;
    }
    if (spent_ + std::max(InCall(), waited) > total_) {
        usedUp_ = true;
    }
    return usedUp_;
}

CallBudget::CallStretch::CallStretch(CallBudget& budget)
    : budget_(budget), start_(budget.clock_.Now()), earlierStart_(budget.callStart_) {
    budget_.callStart_ = start_;
}

CallBudget::CallStretch::~CallStretch() {
    if (refusedSince_) {
        budget_.spent_ += budget_.clock_.Now() - *refusedSince_;
    }
    budget_.callStart_ = earlierStart_;
}

bool CallBudget::CallStretch::PauseBeforeRetry() {
    const std::chrono::milliseconds now = budget_.clock_.Now();
    if (!refusedSince_) {
        refusedSince_ = now;
    }
    if (budget_.usedUp_ ||
        budget_.spent_ + (now - *refusedSince_) + kRefusedCallPause > budget_.total_) {
        return false;
    }
    budget_.clock_.Pause(kRefusedCallPause);
    return true;
}

void CallBudget::CallStretch::ThrowIfLate() const {
    if (!budget_.unlimited_ && budget_.spent_ + budget_.InCall() > budget_.total_) {
        budget_.usedUp_ = true;
        throw platform::AutomationError(L"no answer in time", L"", platform::kCallCanceled);
    }
}

CallBudget::UnlimitedWait::UnlimitedWait(CallBudget& budget)
    : budget_(budget), earlier_(budget.unlimited_) {
    budget_.unlimited_ = true;
}

CallBudget::UnlimitedWait::~UnlimitedWait() { budget_.unlimited_ = earlier_; }

}  // namespace cadlink
