#pragma once

#include <windows.h>

#include <string>

#include "app/dark_theme.h"
#include "platform/list_picker.h"
#include "platform/win32/unique_handles.h"

namespace app {

inline constexpr wchar_t kPickerClassName[] = L"TInputListForm";

// The drawing picker: a captionless, resizable, topmost pop-up owned by the panel, with one
// list. A click, any selection by keys, a double-click or Enter pick (OK); Esc, the program
// gaining or losing activation, the close command or the end of the program give up (Cancel).
class InputListForm final : public platform::ListPicker {
  public:
    static constexpr int kListId = 1001;

    explicit InputListForm(const theme::DarkTheme& theme) : theme_(theme) {}
    InputListForm(const InputListForm&) = delete;
    InputListForm& operator=(const InputListForm&) = delete;

    static void RegisterWindowClass(HINSTANCE instance);
    // Creates the window hidden, owned by `owner`.
    void Create(HINSTANCE instance, HWND owner);
    void Destroy() { window_.reset(); }
    HWND Window() const { return window_.get(); }

    // platform::ListPicker
    void Clear() override;
    void Append(const std::wstring& text) override;
    int FindExact(const std::wstring& text) override;
    void Select(int index) override;
    int Selected() override;
    std::wstring TextAt(int index) override;
    int ShowModal() override;
    platform::WindowHandle NativeHandle() const override;

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR id, DWORD_PTR data);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void ApplyDpi(UINT dpi);
    void TypeAhead(wchar_t character, DWORD time);
    HWND List() const { return ::GetDlgItem(window_.get(), kListId); }

    void ListBox1Click() { modalResult_ = kOk; }
    void ListBox1DblClick() { modalResult_ = kOk; }
    void ListBox1KeyDown(WORD key);

    const theme::DarkTheme& theme_;
    platform::win32::UniqueWindow window_;
    platform::win32::UniqueFont windowFont_;
    platform::win32::UniqueFont listFont_;
    int modalResult_ = 0;
    bool placed_ = false;
    std::wstring typed_;
    DWORD lastTyped_ = 0;
};

}  // namespace app
