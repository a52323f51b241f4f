#include <windows.h>

#include "platform/win32/current_folder.h"

namespace platform::win32 {

std::wstring CurrentFolder() {
    // The length asked for includes the terminator; the length copied does not.
    std::wstring folder;
    DWORD needed = ::GetCurrentDirectoryW(0, nullptr);
    while (needed > folder.size()) {
        folder.resize(needed);
        needed = ::GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data());
    }
    folder.resize(needed);
    return folder;
}

CurrentFolderKeeper::~CurrentFolderKeeper() {
    if (!folder_.empty() && CurrentFolder() != folder_) {
        ::SetCurrentDirectoryW(folder_.c_str());
    }
}

}  // namespace platform::win32
