#pragma once

// The operator's desk for the long run: the real panel, copied into a folder of its own and
// started with its settings, beside cadsim, which comes and goes; the windows of the panel's
// process found by class; waits that fail the run on an error box.

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "bench/soak/x_input.h"
#include "platform/win32/unique_handles.h"
#include "tests/e2e/panel_process.h"
#include "tests/support/cadsim_client.h"

namespace soak {

// Control ids of the panel, as a user's tools see them.
enum PanelControl : int {
    kActButton = 102,
    kListButton = 104,
    kVersionField = 301,
    kLabel = 401,
    kLamp = 501,
};

// The windows that a day's work opens in the panel's process.
inline constexpr wchar_t kBoxClass[] = L"TMessageForm";
inline constexpr wchar_t kPickerClass[] = L"TInputListForm";
inline constexpr wchar_t kMenuClass[] = L"#32768";
inline constexpr wchar_t kDialogClass[] = L"#32770";

// The folder of the drawings that cadsim reports open.
inline constexpr wchar_t kDrawingFolder[] = L"C:\\soak";

// A step that did not come to its end, an error box or a panel that ended: the run fails.
class SoakFailure : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class Desk {
  public:
    // Copies the panel, stores its settings ("OFF" unticked, so that it outlives cadsim) and
    // starts it.
    explicit Desk(XInput& input);

    XInput& Input() { return input_; }
    HWND Panel() const { return panel_.Window(); }
    DWORD PanelProcessId() const { return panelId_; }
    HANDLE PanelProcess() const { return panelProcess_.get(); }
    POINT CentreOfControl(int id) const;
    static POINT CentreOf(HWND window);

    // The visible top-level window of the class in the panel's process; none when none shows.
    HWND VisibleWindow(const wchar_t* className) const;
    // Waits until the condition holds. Throws SoakFailure naming `what` on time-out, at once
    // when an error box shows or the panel has ended.
    void Await(const std::function<bool()>& condition, const std::string& what,
               DWORD timeoutMs = 15000) const;
    HWND AwaitWindow(const wchar_t* className, const std::string& what) const;
    void AwaitGone(HWND window, const std::string& what) const;
    // The text of an error box of the panel (a box with the error icon), if one shows.
    std::optional<std::wstring> ErrorBoxText() const;
    bool LampIsLime() const;

    // cadsim with its automation server and two open drawings; `reportsFullName`: its
    // FullName holds the executable's path (otherwise Register reads it from the window).
    void StartCad(bool reportsFullName);
    // cadsim ends (asked to quit when it still runs), and the lamp turns grey.
    void EndCad();
    test_support::CadSim& Cad();
    // cadsim's record lines that begin with `prefix`.
    int CountRecord(const std::string& prefix) const;
    // The last lines of cadsim's record, for a failure's report; empty without cadsim.
    std::string RecordTail(std::size_t lines) const;

  private:
    XInput& input_;
    e2e::PanelProcess panel_;
    DWORD panelId_ = 0;
    platform::win32::UniqueKernelHandle panelProcess_;
    std::unique_ptr<test_support::CadSim> cad_;
};

}  // namespace soak
