#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>
#include <utility>

#include "platform/window_handle.h"

namespace platform::win32 {

// Owning wrappers for the handle kinds the program holds; each releases its handle once.

// A handle whose empty value is null, as the functions that open processes, threads, tokens and
// events return it on failure.
struct KernelHandleCloser {
    void operator()(HANDLE handle) const noexcept { ::CloseHandle(handle); }
};
using UniqueKernelHandle = std::unique_ptr<void, KernelHandleCloser>;

// A file handle, whose empty value is INVALID_HANDLE_VALUE, as CreateFileW returns it on failure.
class UniqueFileHandle {
  public:
    explicit UniqueFileHandle(HANDLE handle = INVALID_HANDLE_VALUE) noexcept : handle_(handle) {}
    ~UniqueFileHandle() { reset(); }
    UniqueFileHandle(UniqueFileHandle&& other) noexcept : handle_(other.release()) {}
    UniqueFileHandle& operator=(UniqueFileHandle&& other) noexcept {
        reset(other.release());
        return *this;
    }

    HANDLE get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE release() noexcept { return std::exchange(handle_, INVALID_HANDLE_VALUE); }
    void reset(HANDLE handle = INVALID_HANDLE_VALUE) noexcept {
        if (handle_ != INVALID_HANDLE_VALUE) {
            ::CloseHandle(handle_);
        }
        handle_ = handle;
    }

  private:
    HANDLE handle_;
};

struct WindowDestroyer {
    void operator()(HWND window) const noexcept { ::DestroyWindow(window); }
};
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer>;

struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const noexcept { ::DeleteObject(object); }
};
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;
using UniqueBrush = std::unique_ptr<std::remove_pointer_t<HBRUSH>, GdiObjectDeleter>;
using UniquePen = std::unique_ptr<std::remove_pointer_t<HPEN>, GdiObjectDeleter>;

struct MenuDestroyer {
    void operator()(HMENU menu) const noexcept { ::DestroyMenu(menu); }
};
using UniqueMenu = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDestroyer>;

// An icon made for the caller (LoadIconWithScaleDown, CreateIconIndirect), not a shared one.
struct IconDestroyer {
    void operator()(HICON icon) const noexcept { ::DestroyIcon(icon); }
};
using UniqueIcon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDestroyer>;

// A device context obtained with GetDC (the client area; the screen for a null window) or, for
// the whole window with its frame, GetWindowDC; released with ReleaseDC.
class WindowDc {
  public:
    enum class Area { Client, WholeWindow };
    explicit WindowDc(HWND window, Area area = Area::Client)
        : window_(window),
          dc_(area == Area::WholeWindow ? ::GetWindowDC(window) : ::GetDC(window)) {}
    ~WindowDc() {
        if (dc_ != nullptr) {
            ::ReleaseDC(window_, dc_);
        }
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

// Selects a GDI object into a DC for the lifetime of this object.
class SelectedObject {
  public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
    ~SelectedObject() { ::SelectObject(dc_, previous_); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

inline HWND ToHwnd(platform::WindowHandle handle) {
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(handle));
}
inline platform::WindowHandle FromHwnd(HWND window) {
    return static_cast<platform::WindowHandle>(reinterpret_cast<std::uintptr_t>(window));
}

}  // namespace platform::win32
