#pragma once

#include <string>

namespace test_support {

// The folder of the running executable, without a trailing backslash; every program of the
// build lies there.
std::wstring TestBinDir();

}  // namespace test_support
