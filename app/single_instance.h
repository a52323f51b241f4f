#pragma once

#include "platform/win32/unique_handles.h"

namespace app {

// The mark of a running copy: a mutex named in the user's session, held for the whole run.
// Unlike the panel's window, which appears only some time after start, the mark exists from
// the first moment, so that of two copies started together only one goes on.
class SingleInstance {
  public:
    SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when another copy made the mark first (or made it with rights that keep this copy
    // out of it, as an elevated copy does).
    bool AnotherCopyRuns() const { return anotherCopyRuns_; }

  private:
    platform::win32::UniqueKernelHandle mutex_;
    bool anotherCopyRuns_ = false;
};

}  // namespace app
