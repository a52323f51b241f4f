#include "tests/support/responsiveness_probe.h"

namespace test_support {
namespace {

double NowMs() {
    LARGE_INTEGER frequency;
    LARGE_INTEGER counter;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

}  // namespace

ResponsivenessProbe::ResponsivenessProbe(HWND window, DWORD timeoutMs)
    : window_(window), timeoutMs_(timeoutMs), thread_([this] { Run(); }) {}

ResponsivenessProbe::~ResponsivenessProbe() {
    stop_ = true;
    thread_.join();
}

void ResponsivenessProbe::Run() {
    // A stretch without an answer starts when a message goes out and ends when one is answered.
    double unansweredSince = -1;
    while (!stop_) {
        const double sent = NowMs();
        if (unansweredSince < 0) {
            unansweredSince = sent;
        }
        DWORD_PTR result = 0;
        if (::SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs_, &result) != 0) {
            const double stretch = NowMs() - unansweredSince;
            if (stretch > longestMs_) {
                longestMs_ = stretch;
            }
            unansweredSince = -1;
            ++answers_;
        } else {
            ++misses_;
            const double stretch = NowMs() - unansweredSince;
            if (stretch > longestMs_) {
                longestMs_ = stretch;
            }
        }
        ::Sleep(10);
    }
}

}  // namespace test_support
