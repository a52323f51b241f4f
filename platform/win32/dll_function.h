#pragma once

namespace platform::win32 {

// The address of an exported function of a system DLL, looked up at run time for functions that
// not every Windows version has. A DLL not yet in the process is loaded and stays loaded for the
// rest of the run. Null when the DLL or the function is missing.
void* DllFunctionAddress(const wchar_t* dll, const char* function);

template <typename Function>
Function DllFunction(const wchar_t* dll, const char* function) {
    return reinterpret_cast<Function>(DllFunctionAddress(dll, function));
}

}  // namespace platform::win32
