// cadsim_send: sends one control command to a running cadsim from a script, for example the
// demo that sets up drawings before it takes the documentation's screenshots.
//   cadsim_send.exe <control name> <command...>   (the words of the command are joined by blanks)
// Exit code 0 when cadsim accepted the command, 1 when it refused it or did not answer.
#include <windows.h>

#include <string>

#include "cadsim/control_protocol.h"

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        return 2;
    }
    std::wstring command = argv[2];
    for (int i = 3; i < argc; ++i) {
        command += L' ';
        command += argv[i];
    }
    const HWND control = ::FindWindowExW(HWND_MESSAGE, nullptr, cadsim::kControlClassName, argv[1]);
    if (control == nullptr) {
        return 1;
    }
    COPYDATASTRUCT data{};
    data.dwData = cadsim::kCommandTag;
    data.cbData = static_cast<DWORD>(command.size() * sizeof(wchar_t));
    data.lpData = command.data();
    DWORD_PTR reply = 0;
    const LRESULT sent = ::SendMessageTimeoutW(
        control, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 10000, &reply);
    return sent != 0 && reply != 0 ? 0 : 1;
}
