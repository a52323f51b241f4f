#include "app/modal_scope.h"

#include <exception>

namespace app {
namespace {

struct DisableContext {
    HWND modalWindow;
    std::vector<HWND>* disabled;
    std::exception_ptr failure;
};

// A window is disabled only once it is recorded, so that it is always enabled again. An
// exception must not cross the system's frames: it is carried out instead.
BOOL CALLBACK DisableWindow(HWND window, LPARAM context) noexcept {
    auto* disable = reinterpret_cast<DisableContext*>(context);
    if (window == disable->modalWindow || !::IsWindowEnabled(window)) {
        return TRUE;
    }
    try {
        disable->disabled->push_back(window);
    } catch (...) {
        disable->failure = std::current_exception();
        return FALSE;
    }
    ::EnableWindow(window, FALSE);
    return TRUE;
}

}  // namespace

ModalScope::ModalScope(HWND modalWindow) {
    DisableContext context{modalWindow, &disabled_, nullptr};
    ::EnumThreadWindows(::GetCurrentThreadId(), DisableWindow, reinterpret_cast<LPARAM>(&context));
    if (context.failure) {
        EnableAgain();
        std::rethrow_exception(context.failure);
    }
}

ModalScope::~ModalScope() { EnableAgain(); }

void ModalScope::EnableAgain() noexcept {
    for (HWND window : disabled_) {
        if (::IsWindow(window)) {
            ::EnableWindow(window, TRUE);
        }
    }
    disabled_.clear();
}

}  // namespace app
