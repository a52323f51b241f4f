#include <windows.h>

#include "cadsim/recorder.h"

#include <stdexcept>
#include <system_error>

namespace cadsim {
namespace {

[[noreturn]] void ThrowLastError(const char* what) {
    throw std::system_error(static_cast<int>(::GetLastError()), std::system_category(), what);
}

}  // namespace

Recorder::Recorder(const std::wstring& path) {
    // Readers (the tests) open the file while it is being written: share everything.
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        ThrowLastError("cannot create the record file");
    }
    file_.reset(file);
}

void Recorder::Line(const std::string& line) {
    if (!file_) {
        return;
    }
    const std::string bytes = line + "\n";
    LARGE_INTEGER zero{};
    if (!::SetFilePointerEx(file_.get(), zero, nullptr, FILE_END)) {
        ThrowLastError("cannot seek the record file");
    }
    DWORD written = 0;
    if (!::WriteFile(file_.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                     nullptr) ||
        written != bytes.size()) {
        ThrowLastError("cannot write the record file");
    }
    // No buffering of our own: once WriteFile returns, every reader of the file sees the line.
}

void Recorder::Clear() {
    if (!file_) {
        return;
    }
    LARGE_INTEGER zero{};
    if (!::SetFilePointerEx(file_.get(), zero, nullptr, FILE_BEGIN) ||
        !::SetEndOfFile(file_.get())) {
        ThrowLastError("cannot clear the record file");
    }
}

}  // namespace cadsim
