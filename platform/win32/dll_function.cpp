#include <windows.h>

#include "platform/win32/dll_function.h"

#include <string>

namespace platform::win32 {
namespace {

// A system without the search flags (before the update that brought them) refuses them as an
// invalid parameter; there the DLL is named by its full path in the system folder instead.
HMODULE LoadFromSystemFolder(const wchar_t* dll) {
    HMODULE module = ::LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module != nullptr || ::GetLastError() != ERROR_INVALID_PARAMETER) {
        return module;
    }
    std::wstring path(MAX_PATH, L'\0');
    const UINT length = ::GetSystemDirectoryW(path.data(), MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return nullptr;
    }
    path.resize(length);
    path += L'\\';
    path += dll;
    return ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace

void SearchDllsInSystemFolderOnly() {
    // Looked up, so that the program still starts on a system that lacks the function.
    using SetDefaultDllDirectoriesFn = decltype(&::SetDefaultDllDirectories);
    const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    const auto setDefault =
        kernel == nullptr ? nullptr
                          : reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void*>(
                                ::GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefault != nullptr) {
        setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
}

void* DllFunctionAddress(const wchar_t* dll, const char* function) {
    HMODULE module = ::GetModuleHandleW(dll);
    if (module == nullptr) {
        module = LoadFromSystemFolder(dll);
    }
    if (module == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<void*>(::GetProcAddress(module, function));
}

}  // namespace platform::win32
