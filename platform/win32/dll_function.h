#pragma once

namespace platform::win32 {

// From here on, a DLL that the process loads at run time without a folder (its own late loads
// as well as the system's) is looked for in the system folder alone, never beside the
// executable, where anyone who can write to that folder could plant one. Call it first thing.
void SearchDllsInSystemFolderOnly();

// The address of an exported function of a system DLL, looked up at run time for functions that
// not every Windows version has. A DLL not yet in the process is loaded from the system folder
// and stays loaded for the rest of the run. Null when the DLL or the function is missing.
void* DllFunctionAddress(const wchar_t* dll, const char* function);

template <typename Function>
Function DllFunction(const wchar_t* dll, const char* function) {
    return reinterpret_cast<Function>(DllFunctionAddress(dll, function));
}

}  // namespace platform::win32
