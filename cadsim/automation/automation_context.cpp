#include "cadsim/automation/automation_context.h"

#include <algorithm>

#include <wrl/client.h>

#include "cadsim/automation/dispatch_base.h"

namespace cadsim::automation {

AutomationContext::AutomationContext(CadModel& model, Recorder& recorder,
                                     std::function<HWND()> mainWindow)
    : model_(&model), recorder_(&recorder), mainWindow_(std::move(mainWindow)) {}

void AutomationContext::Detach() {
    model_ = nullptr;
    recorder_ = nullptr;
    mainWindow_ = [] { return HWND{}; };
}

void AutomationContext::Add(DispatchBase& object) { objects_.push_back(&object); }

void AutomationContext::Remove(DispatchBase& object) {
    objects_.erase(std::remove(objects_.begin(), objects_.end(), &object), objects_.end());
}

int AutomationContext::LiveObjects() const {
    return static_cast<int>(std::count_if(objects_.begin(), objects_.end(), [](const auto* object) {
        return object->ExternallyReferenced();
    }));
}

void AutomationContext::DisconnectAll() {
    // Each object is held while it is cut off: disconnecting may release the last reference.
    std::vector<Microsoft::WRL::ComPtr<DispatchBase>> objects(objects_.begin(), objects_.end());
    for (const auto& object : objects) {
        ::CoDisconnectObject(static_cast<IDispatch*>(object.Get()), 0);
    }
}

}  // namespace cadsim::automation
