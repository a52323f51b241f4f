#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/unique_handles.h"

namespace test_support {

// The control name of a cadsim started without options, as the panel starts the registered one.
inline constexpr wchar_t kDefaultCadSimControl[] = L"cadsim";

// Sends one control command to the cadsim whose control window bears this name; the reply, 0
// when none answers.
LRESULT SendToCadSim(const std::wstring& controlName, const std::wstring& command);

// Starts cadsim.exe (the simulated AutoCAD) from the test's own folder, drives it through its
// control window and reads its record. The process ends with the object.
class CadSim {
  public:
    struct Options {
        std::wstring title = L"Autodesk AutoCAD 2025 - [Drawing1.dwg]";
        std::wstring className = L"AfxMDIFrame140u";
        RECT rect{600, 300, 1000, 600};  // outer rectangle: left, top, right, bottom
        std::wstring recordPath;         // empty: a fresh file in %TEMP%, removed at the end
        bool minimized = false;
        bool hidden = false;
        bool noWindow = false;
        std::wstring controlName;        // empty: unique per instance
        std::wstring automationVersion;  // e.g. L"24"; empty: no automation server
    };

    CadSim();
    // Waits (up to 20 s) until the control window answers and, unless noWindow, the main
    // window exists; throws std::runtime_error when it does not.
    explicit CadSim(Options options);
    ~CadSim();
    CadSim(const CadSim&) = delete;
    CadSim& operator=(const CadSim&) = delete;

    // Sends one control command; the reply, 0 when cadsim does not answer.
    LRESULT Send(const std::wstring& command);

    HWND MainWindow();  // none while cadsim has no main window
    // Automation objects that cadsim handed out and a client still references.
    LRESULT LiveObjects() { return Send(L"live-objects"); }
    DWORD ProcessId() const { return processId_; }
    const std::wstring& RecordPath() const { return options_.recordPath; }
    const std::wstring& ControlName() const { return options_.controlName; }

    // The record's complete lines so far, without their line ends.
    std::vector<std::string> RecordLines() const;
    bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = 10000);
    bool WaitForRecordLine(const std::string& line, DWORD timeoutMs = 10000);

    // Asks cadsim to quit and waits up to 10 s for the process to end; terminates it after.
    void Quit();
    bool IsRunning() const;
    std::optional<DWORD> ExitCode() const;  // none while the process runs

  private:
    Options options_;
    bool ownsRecord_ = false;
    platform::win32::UniqueKernelHandle process_;
    DWORD processId_ = 0;
};

}  // namespace test_support
