#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "platform/win32/unique_handles.h"

namespace e2e {

// MERIDO_B.exe copied into a fresh folder of its own (so that its settings file starts clean)
// and started there as a user would start it. The process is closed or ended with the object.
class PanelProcess {
  public:
    // folderName: unique per test; the folder is emptied first. exeName: the copy's file name.
    explicit PanelProcess(const std::wstring& folderName,
                          const std::wstring& exeName = L"MERIDO_B.exe");
    ~PanelProcess();
    PanelProcess(const PanelProcess&) = delete;
    PanelProcess& operator=(const PanelProcess&) = delete;

    // Starts the copy; with waitForWindow, waits (generously) for its panel window.
    void Start(bool waitForWindow = true);
    HWND Window() const { return window_; }
    HWND Control(int id) const { return ::GetDlgItem(window_, id); }
    const std::wstring& Folder() const { return folder_; }
    const std::wstring& ExePath() const { return exePath_; }
    // The path of a file beside the copy.
    std::wstring FileBeside(const std::wstring& name) const { return folder_ + L"\\" + name; }

    bool WaitForExit(DWORD timeoutMs);
    std::optional<DWORD> ExitCode() const;
    // Closes the panel as its close box would and waits for the process to end.
    bool CloseAndWait(DWORD timeoutMs = 15000);

  private:
    std::wstring folder_;
    std::wstring exePath_;
    platform::win32::UniqueKernelHandle process_;
    DWORD processId_ = 0;
    HWND window_ = nullptr;
};

// The panel window of a process, or none.
HWND FindPanelOf(DWORD processId);
// The number of top-level windows of the panel's class on the desktop.
int CountPanels();

}  // namespace e2e
