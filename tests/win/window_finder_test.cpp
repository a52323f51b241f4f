#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "cadlink/cad_window_finder.h"
#include "cadlink/window_process_path.h"
#include "platform/win32/unique_handles.h"
#include "platform/win32/win32_process_system.h"
#include "platform/win32/win32_window_system.h"
#include "tests/support/cadsim_client.h"
#include "tests/support/test_bin_dir.h"

namespace {

using platform::win32::FromHwnd;
using platform::win32::UniqueWindow;

// Real top-level windows of this process with the titles and classes a test chooses.
class DesktopWindows {
  public:
    HWND Add(const std::wstring& title, const std::wstring& className) {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = ::DefWindowProcW;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = className.c_str();
        ::RegisterClassExW(&windowClass);
        windows_.emplace_back(::CreateWindowExW(0, className.c_str(), title.c_str(),
                                                WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                                                nullptr, ::GetModuleHandleW(nullptr), nullptr));
        return windows_.back().get();
    }

  private:
    std::vector<UniqueWindow> windows_;
};

class WindowFinderTest : public testing::Test {
  protected:
    platform::win32::Win32WindowSystem system;
    platform::win32::Win32ProcessSystem processes;
    DesktopWindows desktop;
};

TEST_F(WindowFinderTest, FindsTheWindowWithTheRightTitleAndClassAmongRealWindows) {
    desktop.Add(L"AutoCAD", L"AfxMDIFrame140u");          // no blank after the name
    desktop.Add(L"autocad 2025", L"AfxMDIFrame140u");     // another case
    desktop.Add(L"AutoCAD 2025", L"AfxFrameOrView140u");  // another class
    desktop.Add(std::wstring(300, L'x'), L"LongTitle");   // a title past the 255-unit read
    desktop.Add(L"", L"AfxMDIFrame140uEmpty");            // no title at all
    EXPECT_EQ(cadlink::FindCadMainWindow(system), platform::WindowHandle::none);

    HWND cad = desktop.Add(L"Autodesk AutoCAD 2025 - [" + std::wstring(400, L'd') + L"]",
                           L"AfxMDIFrame140u" + std::wstring(200, L'z'));
    EXPECT_EQ(cadlink::FindCadMainWindow(system), FromHwnd(cad));
    EXPECT_EQ(cadlink::CadMainWindow, FromHwnd(cad));
}

TEST_F(WindowFinderTest, ReadsTheExecutableBehindAnotherProcesssWindow) {
    test_support::CadSim cad;
    const std::wstring path =
        cadlink::GetWindowProcessImagePath(system, processes, FromHwnd(cad.MainWindow()));
    const std::wstring expected = test_support::TestBinDir() + L"\\cadsim.exe";
    EXPECT_EQ(::lstrcmpiW(path.c_str(), expected.c_str()), 0)
        << std::string(path.begin(), path.end());
}

TEST_F(WindowFinderTest, AGoneOrNullWindowHasNoExecutable) {
    EXPECT_EQ(cadlink::GetWindowProcessImagePath(system, processes, platform::WindowHandle::none),
              L"");
    HWND window = desktop.Add(L"Short-lived", L"ShortLived");
    ::DestroyWindow(window);
    EXPECT_EQ(cadlink::GetWindowProcessImagePath(system, processes, FromHwnd(window)), L"");
}

}  // namespace
