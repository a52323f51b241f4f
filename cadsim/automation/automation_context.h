#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "cadsim/cad_model.h"
#include "cadsim/recorder.h"

namespace cadsim::automation {

class DispatchBase;

// What the automation objects of one server share: the simulated AutoCAD that they answer for
// and the list of objects alive. Every object holds it, so it outlives them all; the server
// detaches it when the simulated AutoCAD goes, and members fail from then on.
class AutomationContext {
  public:
    AutomationContext(CadModel& model, Recorder& recorder, std::function<HWND()> mainWindow);
    AutomationContext(const AutomationContext&) = delete;
    AutomationContext& operator=(const AutomationContext&) = delete;

    bool Attached() const { return model_ != nullptr; }
    void Detach();
    // Only while attached.
    CadModel& Model() const { return *model_; }
    Recorder& Record() const { return *recorder_; }
    HWND MainWindow() const { return mainWindow_(); }

    void Add(DispatchBase& object);
    void Remove(DispatchBase& object);
    // Objects that a client in another process still references.
    int LiveObjects() const;
    // Cuts every client off, so that the stubs release the objects.
    void DisconnectAll();

  private:
    CadModel* model_;
    Recorder* recorder_;
    std::function<HWND()> mainWindow_;
    std::vector<DispatchBase*> objects_;
};

}  // namespace cadsim::automation
