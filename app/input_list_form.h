#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <string>

#include "app/base_window.h"
#include "app/dark_theme.h"
#include "platform/list_picker.h"
#include "platform/win32/unique_handles.h"

namespace app {

inline constexpr wchar_t kPickerClassName[] = L"TInputListForm";

// The drawing picker: a captionless, resizable, topmost pop-up owned by the panel, with one
// list. A click, any selection by keys, a double-click or Enter pick (OK); Esc, the program
// gaining or losing activation, the close command or the end of the program give up (Cancel).
class InputListForm final : public platform::ListPicker, public BaseWindow {
  public:
    static constexpr int kListId = 1001;
    using ErrorHandler = std::function<void(const std::exception_ptr&)>;

    // onError: the application-wide handler, for an error that escapes one of its handlers; it
    // must not throw.
    explicit InputListForm(const theme::DarkTheme& theme, ErrorHandler onError = {})
        : theme_(theme), onError_(std::move(onError)), listKeys_(*this) {}
    ~InputListForm() { Destroy(); }
    InputListForm(const InputListForm&) = delete;
    InputListForm& operator=(const InputListForm&) = delete;

    static void RegisterWindowClass(HINSTANCE instance);
    // Creates the window hidden, owned by `owner`.
    void Create(HINSTANCE instance, HWND owner);
    void Destroy() { window_.reset(); }

    // platform::ListPicker
    void Clear() override;
    void Append(const std::wstring& text) override;
    int FindExact(const std::wstring& text) override;
    void Select(int index) override;
    int Selected() override;
    std::wstring TextAt(int index) override;
    int ShowModal() override;
    platform::WindowHandle NativeHandle() const override;

    // MessageHandler
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    bool ReportError(const std::exception_ptr& error) noexcept override;

  private:
    // The list's subclass: its keys and typing reach the form's handlers first.
    class ListKeys final : public MessageHandler {
      public:
        explicit ListKeys(InputListForm& form) : form_(form) {}
        LRESULT HandleMessage(HWND list, UINT message, WPARAM wParam, LPARAM lParam) override;
        bool ReportError(const std::exception_ptr& error) noexcept override {
            return form_.ReportError(error);
        }

      private:
        InputListForm& form_;
    };

    // BaseWindow: the fonts at the DPI; the user's size, as the system scaled it, is kept.
    void ApplyDpi(UINT dpi) override;
    SIZE SizeAtDpi(UINT /*dpi*/, const RECT& suggested) const override {
        return SIZE{suggested.right - suggested.left, suggested.bottom - suggested.top};
    }
    void TypeAhead(wchar_t character, DWORD time);
    HWND List() const { return ::GetDlgItem(window_.get(), kListId); }

    void ListBox1Click() { modalResult_ = kOk; }
    void ListBox1DblClick() { modalResult_ = kOk; }
    void ListBox1KeyDown(WORD key);

    const theme::DarkTheme& theme_;
    ErrorHandler onError_;
    ListKeys listKeys_;
    int modalResult_ = 0;
    bool placed_ = false;
    std::wstring typed_;
    DWORD lastTyped_ = 0;
};

}  // namespace app
