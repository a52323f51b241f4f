#include "cadlink/call_budget.h"

namespace cadlink {

CallBudget::RefusedStretch::~RefusedStretch() {
    if (since_) {
        budget_.spent_ += budget_.clock_.Now() - *since_;
    }
}

bool CallBudget::RefusedStretch::PauseBeforeRetry() {
    const std::chrono::milliseconds now = budget_.clock_.Now();
    if (!since_) {
        since_ = now;
    }
    if (budget_.spent_ + (now - *since_) + kRefusedCallPause > budget_.total_) {
        return false;
    }
    budget_.clock_.Pause(kRefusedCallPause);
    return true;
}

}  // namespace cadlink
