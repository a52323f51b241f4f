#pragma once

#include <string>

#include "platform/window_handle.h"

namespace platform {

// The drawing picker: a pop-up list shown modally, from which the user picks one line. Its
// list keeps its items in ascending order.
class ListPicker {
  public:
    static constexpr int kOk = 1;
    static constexpr int kCancel = 2;

    virtual ~ListPicker() = default;
    virtual void Clear() = 0;
    virtual void Append(const std::wstring& text) = 0;
    // The first item, in the list's order, whose whole text equals `text` ignoring case; -1
    // when there is none.
    virtual int FindExact(const std::wstring& text) = 0;
    // Selects an item, or none with -1.
    virtual void Select(int index) = 0;
    virtual int Selected() = 0;
    virtual std::wstring TextAt(int index) = 0;
    // Shows the picker modally; kOk or kCancel.
    virtual int ShowModal() = 0;
    virtual WindowHandle NativeHandle() const = 0;
};

}  // namespace platform
