#include "cadsim/automation/automation_server.h"

#include "cadsim/automation/application.h"

namespace cadsim::automation {

AutomationServer::AutomationServer(CadModel& model, Recorder& recorder,
                                   std::function<HWND()> mainWindow)
    : context_(std::make_shared<AutomationContext>(model, recorder, std::move(mainWindow))),
      application_(MakeApplication(context_)) {}

AutomationServer::~AutomationServer() {
    Revoke();
    context_->DisconnectAll();
    context_->Detach();
}

void AutomationServer::Register(const std::wstring& version) {
    Revoke();
    // The table's own references to the Application do not make it live.
    const DWORD before = application_->StrongConnections();
    registration_.emplace(static_cast<IDispatch*>(application_.Get()),
                          L"Autocad.Application." + version);
    const DWORD after = application_->StrongConnections();
    application_->SetTableConnections(after > before ? after - before : 0);
}

void AutomationServer::Revoke() {
    registration_.reset();
    application_->SetTableConnections(0);
}

}  // namespace cadsim::automation
