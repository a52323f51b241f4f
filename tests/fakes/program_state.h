#pragma once

#include "cadlink/cad_prog_id.h"
#include "cadlink/cad_window_finder.h"
#include "monitor/modifier_latches.h"

namespace fakes {

// Puts every program-wide variable back to its value at program start, so that no test sees
// what an earlier one in the same binary left behind. Every fixture that reads or writes one of
// them calls this first.
inline void ResetProgramState() {
    cadlink::CadProgId = cadlink::ComposeCadProgId(L"24");
    cadlink::CadMainWindow = platform::WindowHandle::none;
    monitor::ShiftLatch = false;
    monitor::CtrlLatch = false;
    monitor::OtherKeyLatch = false;
}

}  // namespace fakes
