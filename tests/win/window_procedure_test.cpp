#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <stdexcept>
#include <string>

#include "app/window_procedure.h"
#include "platform/win32/unique_handles.h"
#include "tests/win/debug_output_capture.h"

namespace {

// A window whose painting and whose private message throw, as a fault on those paths would.
class ThrowingWindow final : public app::MessageHandler {
  public:
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_PAINT || message == WM_APP) {
            throw std::runtime_error("fault");
        }
        if (message == WM_DESTROY) {
            destroyedWith = window;
        }
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    bool ReportError(const std::exception_ptr& error) noexcept override {
        ++reported;
        return error != nullptr;
    }
    void Attach(HWND window) noexcept override { owned.reset(window); }
    void Detach() noexcept override { (void)owned.release(); }

    platform::win32::UniqueWindow owned;
    HWND destroyedWith = nullptr;
    int reported = 0;
};

class WindowProcedureTest : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = app::HandlerWindowProc;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"MeridoThrowingWindow";
        ::RegisterClassExW(&windowClass);
    }
    void SetUp() override {
        ::CreateWindowExW(0, L"MeridoThrowingWindow", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                          200, 100, nullptr, nullptr, ::GetModuleHandleW(nullptr),
                          static_cast<app::MessageHandler*>(&handler));
        ASSERT_NE(handler.owned, nullptr);
    }

    ThrowingWindow handler;
};

TEST_F(WindowProcedureTest, AFaultWhilePaintingFallsBackToTheDefaultPaintingAndReportsNothing) {
    const testing_support::DebugOutputCapture output;
    HWND window = handler.owned.get();
    ::InvalidateRect(window, nullptr, TRUE);
    ::UpdateWindow(window);
    // The default handling validated the area: no endless stream of WM_PAINT follows.
    EXPECT_FALSE(::GetUpdateRect(window, nullptr, FALSE));
    EXPECT_EQ(handler.reported, 0);
    EXPECT_TRUE(::IsWindow(window));
    // Only the debugger's channel tells of it.
    EXPECT_TRUE(output.Saw(L"MERIDO_B DispatchGuarded: fault"))
        << testing::PrintToString(output.Strings());
}

TEST_F(WindowProcedureTest, AFaultInAHandlerGoesToTheApplicationWideHandlerOnce) {
    EXPECT_EQ(::SendMessageW(handler.owned.get(), WM_APP, 0, 0), 0);
    EXPECT_EQ(handler.reported, 1);
}

TEST_F(WindowProcedureTest, TheWindowBeingDestroyedIsHandledWithItsOwnHandle) {
    HWND window = handler.owned.get();
    handler.owned.reset();  // clears the owner's copy before the window goes
    EXPECT_EQ(handler.destroyedWith, window);
    EXPECT_FALSE(::IsWindow(window));
}

// Marks each message it sees in a shared record, then passes it on down the subclass chain.
class RecordingSubclass final : public app::MessageHandler {
  public:
    RecordingSubclass(std::wstring& record, wchar_t mark) : record_(record), mark_(mark) {}
    LRESULT HandleMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_APP) {
            record_ += mark_;
        }
        return ::DefSubclassProc(control, message, wParam, lParam);
    }

  private:
    std::wstring& record_;
    wchar_t mark_;
};

TEST(SubclassControlTest, TwoHandlersOfOneControlEachSeeItsMessagesTheLaterFirst) {
    std::wstring record;
    RecordingSubclass first(record, L'1');
    RecordingSubclass second(record, L'2');
    // Destroyed before the handlers, which see its last messages.
    platform::win32::UniqueWindow control(::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 10, 10,
                                                            nullptr, nullptr,
                                                            ::GetModuleHandleW(nullptr), nullptr));
    ASSERT_NE(control, nullptr);
    app::SubclassControl(control.get(), first);
    app::SubclassControl(control.get(), second);
    ::SendMessageW(control.get(), WM_APP, 0, 0);
    EXPECT_EQ(record, L"21");
}

}  // namespace
