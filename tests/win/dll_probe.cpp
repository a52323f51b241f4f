#include <windows.h>

#include <string>

// A DLL that leaves a mark beside itself when a process loads it: "dll-probe-loaded.txt".
// The tests place it beside a program under the name of a DLL that the program looks up, to
// see whether the program loads it.
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
    if (reason != DLL_PROCESS_ATTACH) {
        return TRUE;
    }
    std::wstring path(32768, L'\0');
    path.resize(::GetModuleFileNameW(instance, path.data(), static_cast<DWORD>(path.size())));
    path = path.substr(0, path.find_last_of(L'\\') + 1) + L"dll-probe-loaded.txt";
    ::CloseHandle(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    return TRUE;
}
