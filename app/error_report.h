#pragma once

#include <exception>
#include <functional>

#include "app/panel_dialogs.h"
#include "platform/trace.h"

namespace app {

// The application-wide error handler: what escapes a handler is shown in the error box, and
// the program goes on.
class ErrorReport {
  public:
    ErrorReport(const PanelDialogs& dialogs, platform::Trace& trace)
        : dialogs_(dialogs), trace_(trace) {}

    // Runs one event handler; whatever it lets escape is shown.
    void RunReportingErrors(const std::function<void()>& handler) const;
    // Shows the error; never throws: when the box cannot be shown, both errors go to the trace.
    // Always true.
    bool Report(const std::exception_ptr& error) const noexcept;
    // Shows the error's text, or a text of its own for an error without one.
    void Show(const std::exception_ptr& error) const;

  private:
    const PanelDialogs& dialogs_;
    platform::Trace& trace_;
};

}  // namespace app
