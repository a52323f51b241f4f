#pragma once

#include <windows.h>

#include <functional>

namespace test_support {

// Polls condition every 20 ms until it holds or timeoutMs have passed; true when it held.
// Messages of the calling thread are dispatched while waiting, so windows that the test
// itself owns stay responsive.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs);

}  // namespace test_support
