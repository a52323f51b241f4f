#include "app/modal_scope.h"

namespace app {
namespace {

struct DisableContext {
    HWND modalWindow;
    std::vector<HWND>* disabled;
};

BOOL CALLBACK DisableWindow(HWND window, LPARAM context) {
    auto* disable = reinterpret_cast<DisableContext*>(context);
    if (window != disable->modalWindow && ::IsWindowEnabled(window)) {
        ::EnableWindow(window, FALSE);
        disable->disabled->push_back(window);
    }
    return TRUE;
}

}  // namespace

ModalScope::ModalScope(HWND modalWindow) {
    DisableContext context{modalWindow, &disabled_};
    ::EnumThreadWindows(::GetCurrentThreadId(), DisableWindow, reinterpret_cast<LPARAM>(&context));
}

ModalScope::~ModalScope() {
    for (HWND window : disabled_) {
        if (::IsWindow(window)) {
            ::EnableWindow(window, TRUE);
        }
    }
}

}  // namespace app
