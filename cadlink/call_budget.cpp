#include "cadlink/call_budget.h"

namespace cadlink {

bool CallBudget::PauseBeforeRetry() {
    if (clock_.Now() + kRefusedCallPause > deadline_) {
        return false;
    }
    clock_.Pause(kRefusedCallPause);
    return true;
}

}  // namespace cadlink
