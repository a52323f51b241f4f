#pragma once

#include <string>
#include <vector>

namespace test_support {

// The complete lines of a text file that another process may be writing (it is opened with
// every share mode); an unfinished last line is left out. A missing file has no lines.
std::vector<std::string> ReadLinesShared(const std::wstring& path);

}  // namespace test_support
