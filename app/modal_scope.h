#pragma once

#include <windows.h>

#include <vector>

namespace app {

// While alive, every other enabled top-level window of this thread is disabled, as for a modal
// window; they are enabled again on every way out, also when the scope cannot be made.
class ModalScope {
  public:
    explicit ModalScope(HWND modalWindow);
    ~ModalScope();
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;

  private:
    void EnableAgain() noexcept;

    std::vector<HWND> disabled_;
};

// Runs the thread's messages until `done` is true. A request to end the program ends the loop
// and is put back for the outer loop; the result is then false. With a dialog, its keyboard
// navigation applies (Tab, Enter and Esc as in a dialog box).
template <typename Done>
bool RunModalLoop(HWND dialog, Done done) {
    MSG message;
    while (!done()) {
        const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            ::PostQuitMessage(got == 0 ? static_cast<int>(message.wParam) : 0);
            return false;
        }
        if (dialog == nullptr || !::IsDialogMessageW(dialog, &message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    return true;
}

}  // namespace app
