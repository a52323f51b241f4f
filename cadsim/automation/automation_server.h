#pragma once

#include <windows.h>
#include <wrl/client.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "cadsim/automation/automation_context.h"
#include "cadsim/automation/automation_registration.h"
#include "cadsim/automation/dispatch_base.h"
#include "cadsim/cad_model.h"
#include "cadsim/recorder.h"

namespace cadsim::automation {

// cadsim's automation server: the Application and the objects it hands out, answering from
// the model, and the Application's registration as the running "Autocad.Application.<version>".
// Going away, it revokes the registration and cuts every client off.
class AutomationServer {
  public:
    AutomationServer(CadModel& model, Recorder& recorder, std::function<HWND()> mainWindow);
    ~AutomationServer();
    AutomationServer(const AutomationServer&) = delete;
    AutomationServer& operator=(const AutomationServer&) = delete;

    // Registers under the version (an earlier registration is revoked first); throws
    // std::system_error when the version's ProgID is unknown or registering fails.
    void Register(const std::wstring& version);
    void Revoke();
    bool Registered() const { return registration_.has_value(); }
    // Objects handed out (the Application included) that a client still references.
    int LiveObjects() const { return context_->LiveObjects(); }

  private:
    std::shared_ptr<AutomationContext> context_;
    Microsoft::WRL::ComPtr<DispatchBase> application_;
    std::optional<ActiveObjectRegistration> registration_;
};

}  // namespace cadsim::automation
