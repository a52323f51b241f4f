#include "cadlink/call_budget.h"

#include <algorithm>
#include <utility>

namespace cadlink {

CallBudget::CallBudget(platform::Automation& automation, platform::Clock& clock,
                       platform::Trace& trace, std::wstring section,
                       std::chrono::milliseconds total)
    : automation_(automation),
      clock_(clock),
      trace_(trace),
      section_(std::move(section)),
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
        GiveUp(L"no answer");
    }
    return usedUp_;
}

void CallBudget::TraceRefusalGivenUp(const platform::AutomationError& error) noexcept {
    try {
        trace_.Write(platform::TraceLine(section_ + L", refused call given up", callMember_,
                                         error.Code(), error.Message()));
    } catch (...) {
        // No memory for the line: the trace goes without it.
    }
}

void CallBudget::GiveUp(const wchar_t* text) noexcept {
    if (std::exchange(usedUp_, true)) {
        return;
    }
    try {
        const std::wstring where = section_ + L", wait given up after the budget of " +
                                   std::to_wstring(total_.count()) + L" ms";
        trace_.Write(platform::TraceLine(where, callMember_, platform::kCallCanceled, text));
    } catch (...) {
        // No memory for the line: the trace goes without it.
    }
}

CallBudget::CallStretch::CallStretch(CallBudget& budget, std::wstring_view member)
    : budget_(budget),
      start_(budget.clock_.Now()),
      earlierStart_(budget.callStart_),
      earlierMember_(budget.callMember_) {
    budget_.callStart_ = start_;
    budget_.callMember_ = member;
}

CallBudget::CallStretch::~CallStretch() {
    if (refusedSince_) {
        budget_.spent_ += budget_.clock_.Now() - *refusedSince_;
    }
    budget_.callStart_ = earlierStart_;
    budget_.callMember_ = earlierMember_;
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
        budget_.GiveUp(L"answered late, counted as none");
        throw platform::AutomationError(L"no answer in time", std::wstring(budget_.callMember_),
                                        platform::kCallCanceled);
    }
}

CallBudget::UnlimitedWait::UnlimitedWait(CallBudget& budget)
    : budget_(budget), earlier_(budget.unlimited_) {
    budget_.unlimited_ = true;
}

CallBudget::UnlimitedWait::~UnlimitedWait() { budget_.unlimited_ = earlier_; }

}  // namespace cadlink
