#include <windows.h>
#include <psapi.h>

#include "platform/win32/win32_process_system.h"

#include "platform/win32/dll_function.h"
#include "platform/win32/unique_handles.h"

namespace platform::win32 {
namespace {

// The header's name is a macro for the kernel32 export; psapi.dll exports the plain name.
using GetModuleFileNameExWFn = decltype(&::GetModuleFileNameExW);

// psapi is loaded on first use and stays loaded for the rest of the run.
GetModuleFileNameExWFn ModuleFileNameFunction() {
    static const auto function =
        DllFunction<GetModuleFileNameExWFn>(L"psapi.dll", "GetModuleFileNameExW");
    return function;
}

class Win32OpenedProcess final : public OpenedProcess {
  public:
    explicit Win32OpenedProcess(UniqueKernelHandle process) : process_(std::move(process)) {}

    std::wstring ModuleFileName(ModuleHandle module) override {
        constexpr DWORD kPathUnits = MAX_PATH;
        wchar_t buffer[kPathUnits];
        buffer[0] = L'\0';
        const GetModuleFileNameExWFn function = ModuleFileNameFunction();
        if (function == nullptr) {
            return {};
        }
        const HMODULE moduleHandle = reinterpret_cast<HMODULE>(static_cast<std::uintptr_t>(module));
        if (function(process_.get(), moduleHandle, buffer, kPathUnits) == 0) {
            return {};
        }
        buffer[kPathUnits - 1] = L'\0';
        return std::wstring(buffer);
    }

  private:
    UniqueKernelHandle process_;
};

}  // namespace

std::unique_ptr<OpenedProcess> Win32ProcessSystem::OpenForQuery(ProcessId id) {
    UniqueKernelHandle process(
        ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id));
    if (!process) {
        return nullptr;
    }
    return std::make_unique<Win32OpenedProcess>(std::move(process));
}

std::optional<bool> Win32ProcessSystem::IsElevated(ProcessId id) {
    // The limited right is granted also on a process of higher rights, which is the case
    // that matters here.
    const UniqueKernelHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
    HANDLE token = nullptr;
    if (!process || !::OpenProcessToken(process.get(), TOKEN_QUERY, &token)) {
        return std::nullopt;
    }
    const UniqueKernelHandle ownedToken(token);
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    if (!::GetTokenInformation(token, TokenElevation, &elevation, sizeof(elevation), &size)) {
        return std::nullopt;
    }
    return elevation.TokenIsElevated != 0;
}

ProcessId Win32ProcessSystem::CurrentProcessId() { return ::GetCurrentProcessId(); }

}  // namespace platform::win32
