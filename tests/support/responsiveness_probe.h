#pragma once

#include <windows.h>

#include <atomic>
#include <thread>

namespace test_support {

// Measures from outside, as the system's "not responding" check does, how long a window takes
// to answer: a thread sends it WM_NULL with a time-out, again and again, and keeps the longest
// wait. A message that is not answered within the time-out counts as a miss, with the
// time-out as its wait, and the next one goes out once the window answers again.
class ResponsivenessProbe {
  public:
    explicit ResponsivenessProbe(HWND window, DWORD timeoutMs = 500);
    ~ResponsivenessProbe();
    ResponsivenessProbe(const ResponsivenessProbe&) = delete;
    ResponsivenessProbe& operator=(const ResponsivenessProbe&) = delete;

    // The longest stretch, in milliseconds, in which the window did not answer.
    double LongestWaitMs() const { return longestMs_.load(); }
    int Misses() const { return misses_.load(); }
    int Answers() const { return answers_.load(); }

  private:
    void Run();

    HWND window_;
    DWORD timeoutMs_;
    std::atomic<bool> stop_{false};
    std::atomic<double> longestMs_{0};
    std::atomic<int> misses_{0};
    std::atomic<int> answers_{0};
    std::thread thread_;
};

}  // namespace test_support
