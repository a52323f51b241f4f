#pragma once

#include <exception>
#include <functional>

#include "app/panel_dialogs.h"

namespace app {

// The application-wide error handler: what escapes a handler is shown in the error box, and
// the program goes on.
class ErrorReport {
  public:
    explicit ErrorReport(const PanelDialogs& dialogs) : dialogs_(dialogs) {}

    // Runs one event handler; whatever it lets escape is shown.
    void RunReportingErrors(const std::function<void()>& handler) const;
    // Shows the error; never throws, even when the box cannot be shown. Always true.
    bool Report(const std::exception_ptr& error) const noexcept;
    // Shows the error's text, or a text of its own for an error without one.
    void Show(const std::exception_ptr& error) const;

  private:
    const PanelDialogs& dialogs_;
};

}  // namespace app
