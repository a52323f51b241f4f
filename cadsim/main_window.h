#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "cadsim/options.h"
#include "cadsim/recorder.h"
#include "platform/win32/unique_handles.h"

namespace cadsim {

// How the main window first appears.
enum class InitialShow { normal, minimized, hidden };

// The simulated AutoCAD main window: a top-level overlapped window with the given title and
// class (registered with cadsim's own module), a plain background, and every key message it
// receives written to the record. Its creation and destruction are recorded too.
class MainWindow {
  public:
    MainWindow(const std::wstring& title, const std::wstring& className, const WindowRect& rect,
               InitialShow show, Recorder& recorder, std::function<void()> onCloseRequest);
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    HWND Handle() const { return window_.get(); }

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    Recorder& recorder_;
    std::function<void()> onCloseRequest_;
    platform::win32::UniqueWindow window_;
};

}  // namespace cadsim
