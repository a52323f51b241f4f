#include "app/single_instance.h"

#include <windows.h>

namespace app {
namespace {

// "Local\": the session's namespace, as the window search covers the session's desktop.
constexpr wchar_t kMutexName[] = L"Local\\TMERIDO_A_MainForm.SingleInstance";

}  // namespace

SingleInstance::SingleInstance() : mutex_(::CreateMutexW(nullptr, FALSE, kMutexName)) {
    const DWORD error = ::GetLastError();
    // A handle comes back for an existing mutex too; another copy's elevated mutex refuses access.
    // Any other failure leaves the decision to the window search.
    anotherCopyRuns_ = error == ERROR_ALREADY_EXISTS || (!mutex_ && error == ERROR_ACCESS_DENIED);
}

}  // namespace app
