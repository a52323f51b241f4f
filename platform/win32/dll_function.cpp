#include <windows.h>

#include "platform/win32/dll_function.h"

namespace platform::win32 {

void* DllFunctionAddress(const wchar_t* dll, const char* function) {
    HMODULE module = ::GetModuleHandleW(dll);
    if (module == nullptr) {
        module = ::LoadLibraryW(dll);
    }
    if (module == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<void*>(::GetProcAddress(module, function));
}

}  // namespace platform::win32
