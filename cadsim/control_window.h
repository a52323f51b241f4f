#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "platform/win32/unique_handles.h"

namespace cadsim {

// The message-only window that receives control commands and answers each with the
// handler's result.
class ControlWindow {
  public:
    using CommandHandler = std::function<LRESULT(std::wstring_view command)>;

    ControlWindow(const std::wstring& name, CommandHandler handler);
    ~ControlWindow();
    ControlWindow(const ControlWindow&) = delete;
    ControlWindow& operator=(const ControlWindow&) = delete;

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnCopyData(const COPYDATASTRUCT& data);

    CommandHandler handler_;
    platform::win32::UniqueWindow window_;
};

}  // namespace cadsim
