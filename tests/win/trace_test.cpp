#include <gtest/gtest.h>

#include "platform/win32/win32_trace.h"
#include "tests/win/debug_output_capture.h"

namespace {

// The line goes out on the debugger's channel, where a debugger or a debug-output viewer reads
// it; with nobody listening the program goes on.
TEST(Win32TraceTest, EachLineGoesToTheDebuggersChannel) {
    const testing_support::DebugOutputCapture output;
    platform::win32::Win32Trace trace;
    trace.Write(L"MERIDO_B test: one line \u2014 \u30C6\u30B9\u30C8");
    trace.Write(L"MERIDO_B test: another");
    EXPECT_TRUE(output.Saw(L"MERIDO_B test: another")) << output.Strings().size();
    EXPECT_TRUE(output.Saw(L"\n"));
}

}  // namespace
