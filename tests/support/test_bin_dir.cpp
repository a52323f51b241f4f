#include <windows.h>

#include "tests/support/test_bin_dir.h"

#include <stdexcept>
#include <vector>

namespace test_support {

std::wstring TestBinDir() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            throw std::runtime_error("cannot read the executable's path");
        }
        if (length < buffer.size()) {
            const std::wstring path(buffer.data(), length);
            const std::size_t slash = path.find_last_of(L"\\/");
            return slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash);
        }
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace test_support
