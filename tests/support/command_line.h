#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace test_support {

// One argument quoted so that CommandLineToArgvW (and the C runtime) read it back unchanged.
std::wstring QuoteArgument(std::wstring_view argument);

// The program path and the arguments, each quoted, separated by blanks.
std::wstring BuildCommandLine(const std::wstring& program,
                              const std::vector<std::wstring>& arguments);

}  // namespace test_support
