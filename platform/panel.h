#pragma once

#include <cstdint>
#include <exception>
#include <optional>
#include <string>

#include "platform/option_boxes.h"
#include "platform/window_handle.h"

namespace platform {

// A colour value 0x00BBGGRR, red in the low byte (a COLORREF).
using Colour = std::uint32_t;

inline constexpr Colour kLampWhite = 0xFFFFFF;
inline constexpr Colour kLampLime = 0x00FF00;
inline constexpr Colour kLampGrey = 0x808080;

// The panel's own values that live beside its controls.
struct PanelFields {
    std::wstring AppFullName;  // the registered AutoCAD executable; empty when none
    bool ijRun = false;        // AutoCAD's main window has been seen during this run
};

// The control panel as the logic above the window layer sees it: the operations the commands,
// the monitor and the settings use. The window layer implements it over the real panel.
class Panel {
  public:
    virtual ~Panel() = default;

    virtual Colour LampColour() const = 0;
    virtual void SetLampColour(Colour colour) = 0;

    // The version field, Edit1.
    virtual std::wstring VersionText() const = 0;
    virtual void SetVersionText(const std::wstring& text) = 0;

    virtual bool IsChecked(OptionBox box) const = 0;
    // Changing a box's state raises its click handler; setting the state it has does not.
    virtual void SetChecked(OptionBox box, bool checked) = 0;

    // The caption of the pop-up item that shows the registered path.
    virtual void SetRegisteredPathCaption(const std::wstring& caption) = 0;
    virtual void SetCaption(const std::wstring& caption) = 0;

    // The outer window's left and top edge in screen pixels (its restored position while
    // minimised).
    virtual int Left() const = 0;
    virtual int Top() const = 0;
    // Both edges in one move, so that nothing in between (a change of DPI on the way) shifts
    // the second.
    virtual void SetPosition(int left, int top) = 0;

    virtual void StopTimer() = 0;
    // Starts a fresh 200 ms interval.
    virtual void StartTimer() = 0;
    // Asks the program to end; the caller's handler runs to its end first.
    virtual void Close() = 0;
    // Shows the error as the application-wide handler does, in the error box, and returns once
    // the box is closed; never throws.
    virtual void ShowErrorReport(const std::exception_ptr& error) = 0;

    virtual WindowHandle NativeHandle() const = 0;

    // The panel's save dialog for drawings, opened in the folder with the file name filled in;
    // the full path the user accepted, or nothing when cancelled.
    virtual std::optional<std::wstring> RunSaveDialog(const std::wstring& initialFolder,
                                                      const std::wstring& fileName) = 0;

    virtual PanelFields& Fields() = 0;
};

}  // namespace platform
