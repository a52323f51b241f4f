#include <gtest/gtest.h>
#include <windows.h>
#include <imm.h>

#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "monitor/cad_monitor.h"
#include "platform/win32/unique_handles.h"
#include "platform/win32/win32_input.h"
#include "tests/fakes/fake_automation.h"
#include "tests/fakes/fake_trace.h"
#include "tests/fakes/fake_clock.h"
#include "tests/fakes/fake_input.h"
#include "tests/fakes/fake_panel.h"
#include "tests/fakes/fake_window_system.h"
#include "tests/support/blocked_window_thread.h"
#include "tests/fakes/program_state.h"

namespace {

using platform::Ime;
using platform::win32::FromHwnd;

struct ImeRequest {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const ImeRequest&) const = default;
};

// A window on a thread of its own standing in for AutoCAD's IME window: it records every
// WM_IME_CONTROL it receives and answers the open-status request with `openStatus`.
class ImeWindowStandIn {
  public:
    explicit ImeWindowStandIn(LRESULT openStatus) : openStatus_(openStatus) {
        std::promise<HWND> created;
        std::future<HWND> window = created.get_future();
        thread_ = std::thread([this, &created] { Run(created); });
        window_ = window.get();
    }
    ~ImeWindowStandIn() {
        if (window_ != nullptr) {
            ::PostMessageW(window_, WM_CLOSE, 0, 0);
        }
        thread_.join();
    }
    ImeWindowStandIn(const ImeWindowStandIn&) = delete;
    ImeWindowStandIn& operator=(const ImeWindowStandIn&) = delete;

    HWND Window() const { return window_; }
    std::vector<ImeRequest> Received() const {
        const std::lock_guard<std::mutex> lock(mutex_);
        return received_;
    }

  private:
    static constexpr wchar_t kClassName[] = L"ImeWindowStandIn";

    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            ::SetWindowLongPtrW(window, GWLP_USERDATA,
                                reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self =
            reinterpret_cast<ImeWindowStandIn*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message == WM_IME_CONTROL && self != nullptr) {
            const std::lock_guard<std::mutex> lock(self->mutex_);
            self->received_.push_back({message, wParam, lParam});
            return wParam == Ime::kGetOpenStatus ? self->openStatus_ : 0;
        }
        if (message == WM_DESTROY) {
            ::PostQuitMessage(0);
        }
        return ::DefWindowProcW(window, message, wParam, lParam);
    }

    void Run(std::promise<HWND>& created) {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = Proc;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kClassName;
        ::RegisterClassExW(&windowClass);  // a second registration fails harmlessly
        HWND window = ::CreateWindowExW(0, kClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr,
                                        nullptr, ::GetModuleHandleW(nullptr), this);
        created.set_value(window);
        if (window == nullptr) {
            return;
        }
        MSG message;
        while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
            ::DispatchMessageW(&message);
        }
    }

    LRESULT openStatus_;
    mutable std::mutex mutex_;
    std::vector<ImeRequest> received_;
    HWND window_ = nullptr;
    std::thread thread_;
};

// AutoCAD's IME window is the stand-in; the requests go to it through the real Win32 side.
class StandInIme final : public Ime {
  public:
    explicit StandInIme(HWND imeWindow) : imeWindow_(imeWindow) {}
    platform::WindowHandle DefaultImeWindow(platform::WindowHandle) override {
        return FromHwnd(imeWindow_);
    }
    std::optional<std::intptr_t> Control(platform::WindowHandle imeWindow,
                                         std::uintptr_t request) override {
        return win32_.Control(imeWindow, request);
    }

  private:
    HWND imeWindow_;
    platform::win32::Win32Ime win32_;
};

// What the IME window of an idle AutoCAD receives in one tick: the open-status request
// (IMC_GETOPENSTATUS, lParam 0), and when it reports open, the request that closes it
// (IMC_SETOPENSTATUS with lParam 0; lParam 1 would open it).
TEST(ImeGuardWindowsTest, TheImeWindowReceivesTheReadAndTheCloseRequestWithLParamZero) {
    constexpr ImeRequest kRead{WM_IME_CONTROL, 0x0005, 0};
    constexpr ImeRequest kClose{WM_IME_CONTROL, 0x0006, 0};
    struct Case {
        LRESULT openStatus;
        std::vector<ImeRequest> received;
    };
    for (const Case& c : {Case{1, {kRead, kClose}}, Case{0, {kRead}}}) {
        SCOPED_TRACE(c.openStatus);
        fakes::ResetProgramState();
        ImeWindowStandIn imeWindow(c.openStatus);
        ASSERT_NE(imeWindow.Window(), nullptr);
        StandInIme ime(imeWindow.Window());
        fakes::FakePanel panel;
        fakes::FakeKeyboard keyboard;
        fakes::FakeWindowSystem desktop;
        desktop.Add(L"AutoCAD 2025", L"AfxMDIFrame140u");
        fakes::FakeAutomation automation;
        auto state = std::make_shared<fakes::FakeNode>(L"State");
        state->Returns(L"IsQuiescent", true);
        auto application = std::make_shared<fakes::FakeNode>(L"App");
        application->Returns(L"GetAcadState", state);
        automation.Register(L"Autocad.Application.24", application);
        fakes::FakeClock clock;
        fakes::FakeTrace trace;
        monitor::CadMonitor monitor(panel, {desktop, keyboard, ime, automation, clock, trace});

        monitor.Timer1Timer();
        EXPECT_EQ(imeWindow.Received(), c.received);
    }
}

TEST(ImeGuardWindowsTest, TheImeWindowOfAPumpingThreadAnswers) {
    // The counterpart of the test below: an answer is what a live thread gives.
    platform::win32::UniqueWindow window(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10,
                                                           10, nullptr, nullptr, nullptr, nullptr));
    HWND ime = ::ImmGetDefaultIMEWnd(window.get());
    ASSERT_NE(ime, nullptr);
    platform::win32::Win32Ime guard;
    EXPECT_TRUE(guard.Control(FromHwnd(ime), Ime::kGetOpenStatus).has_value());
}

TEST(ImeGuardWindowsTest, BothRequestsToAThreadThatStopsPumpingReturnWithoutAnAnswer) {
    // Released after 10 s: a request that waited without a bound would get its answer then.
    test_support::BlockedWindowThread cad(10000);
    ASSERT_NE(cad.ImeWindow(), nullptr);
    platform::win32::Win32Ime guard;
    EXPECT_FALSE(guard.Control(FromHwnd(cad.ImeWindow()), Ime::kGetOpenStatus).has_value());
    EXPECT_FALSE(guard.Control(FromHwnd(cad.ImeWindow()), Ime::kSetOpenStatus).has_value());
}

TEST(ImeGuardWindowsTest, ATickBesideABlockedAutoCadCompletesAndActsOnNothing) {
    test_support::BlockedWindowThread cad(10000);
    ASSERT_NE(cad.ImeWindow(), nullptr);
    fakes::FakePanel panel;
    fakes::FakeKeyboard keyboard;
    fakes::FakeAutomation automation;
    // The window search reads titles without a message, as it does across processes; within
    // this process, reading the blocked window's title would wait for its thread.
    fakes::FakeWindowSystem desktop;
    desktop.windows.push_back({FromHwnd(cad.Window()), cad.kTitle, std::wstring(cad.kClassName)});
    platform::win32::Win32Ime ime;
    fakes::FakeClock clock;
    fakes::FakeTrace trace;
    monitor::CadMonitor monitor(panel, {desktop, keyboard, ime, automation, clock, trace});

    monitor.Timer1Timer();
    EXPECT_EQ(panel.lamp, platform::kLampLime);  // the tick found the blocked window
    EXPECT_EQ(panel.log.back(), L"start");       // and ran to its end
    EXPECT_TRUE(automation.log.calls.empty());
    EXPECT_EQ(panel.caption, L"\u25A0 MERIDO_B 1.10");
}

}  // namespace
