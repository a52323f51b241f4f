#include <gtest/gtest.h>
#include <windows.h>
#include <ole2.h>

#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

#include "platform/win32/com_automation.h"
#include "platform/win32/message_filter.h"
#include "platform/win32/owned_message_filter.h"
#include "tests/support/cadsim_client.h"

namespace {

struct Recorder final : public platform::win32::OwnedMessageFilter {
    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override {
        return SERVERCALL_ISHANDLED;
    }
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD, DWORD) override { return (DWORD)-1; }
    DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD tick, DWORD type) override {
        const DWORD real = ::GetTickCount() - start;
        MSG m{};
        BOOL any = ::PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE);
        std::printf("  MessagePending tick=%lu real=%lu type=%lu peek=%d msg=0x%x qs=0x%lx\n", tick, real, type, any, any ? m.message : 0, ::GetQueueStatus(QS_ALLINPUT));
        ++calls;
        if (cancelAfter != 0 && real >= cancelAfter) return PENDINGMSG_CANCELCALL;
        return PENDINGMSG_WAITDEFPROCESS;
    }
    DWORD start = 0;
    DWORD cancelAfter = 0;
    int calls = 0;
};

LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_TIMER) std::printf("  WM_TIMER dispatched at %lu\n", ::GetTickCount());
    if (m == WM_APP) std::printf("  WM_APP dispatched\n");
    return ::DefWindowProcW(w, m, wp, lp);
}

void Scenario(const char* name, int mode, DWORD cancelAfter) {
    std::printf("== %s\n", name);
    test_support::CadSim::Options options;
    options.automationVersion = L"24";
    test_support::CadSim cad(options);
    platform::win32::ComAutomation automation;
    auto app = automation.Attach(L"Autocad.Application.24");
    auto state = app->GetObject(L"GetAcadState", {});
    Recorder rec;
    rec.cancelAfter = cancelAfter;
    platform::win32::MessageFilterRegistration reg(rec);
    WNDCLASSW wc{}; wc.lpfnWndProc = Proc; wc.lpszClassName = L"MeasureWin"; ::RegisterClassW(&wc);
    HWND win = ::CreateWindowExW(0, L"MeasureWin", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    std::atomic<bool> stop{false};
    std::thread poster;
    if (mode == 1) ::SetTimer(win, 1, 200, nullptr);
    if (mode == 2) ::PostMessageW(win, WM_APP, 0, 0);
    if (mode == 3) poster = std::thread([&] { while (!stop) { ::Sleep(100); ::PostMessageW(win, WM_APP, 0, 0);} });
    if (mode == 4) { ::SetTimer(win, 1, 200, nullptr); ::Sleep(250); }
    cad.Send(L"hang 2000");
    rec.start = ::GetTickCount();
    HRESULT code = 0;
    try { state->GetBool(L"IsQuiescent"); } catch (const platform::AutomationError& e) { code = (HRESULT)e.Code(); }
    std::printf("  call returned after %lu ms, code 0x%08lx, filter calls %d\n", ::GetTickCount() - rec.start, (unsigned long)code, rec.calls);
    stop = true;
    if (poster.joinable()) poster.join();
    ::KillTimer(win, 1);
    ::DestroyWindow(win);
    ::Sleep(2200);
    state.reset(); app.reset();
}

TEST(Measure, Wine) {
    ASSERT_TRUE(SUCCEEDED(::OleInitialize(nullptr)));
    Scenario("no message source", 0, 0);
    Scenario("timer 200 ms", 1, 0);
    Scenario("timer 200 ms, already fired before the call", 4, 0);
    Scenario("one posted before", 2, 0);
    Scenario("thread posting every 100 ms", 3, 0);
    Scenario("thread posting, cancel after 300", 3, 300);
    Scenario("timer, cancel after 300", 1, 300);
    ::OleUninitialize();
}

}  // namespace
