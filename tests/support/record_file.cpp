#include <windows.h>

#include "tests/support/record_file.h"

#include "platform/win32/unique_handles.h"

namespace test_support {
namespace {

std::string ReadAllShared(const std::wstring& path) {
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return {};
    }
    const platform::win32::UniqueKernelHandle owner(file);
    std::string bytes;
    char chunk[4096];
    DWORD read = 0;
    while (::ReadFile(file, chunk, sizeof(chunk), &read, nullptr) && read > 0) {
        bytes.append(chunk, read);
    }
    return bytes;
}

}  // namespace

std::vector<std::string> ReadLinesShared(const std::wstring& path) {
    const std::string bytes = ReadAllShared(path);
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end = bytes.find('\n'); end != std::string::npos;
         end = bytes.find('\n', start)) {
        lines.push_back(bytes.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

}  // namespace test_support
