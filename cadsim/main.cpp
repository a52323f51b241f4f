// cadsim: a stand-in for AutoCAD's main window, driven by the tests through its control window.
#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

#include "cadsim/options.h"
#include "cadsim/simulator.h"

namespace {

struct LocalFreer {
    void operator()(LPWSTR* arguments) const noexcept { ::LocalFree(arguments); }
};

// The arguments after the program name.
std::vector<std::wstring> CommandLineArguments() {
    int count = 0;
    const std::unique_ptr<LPWSTR, LocalFreer> arguments(
        ::CommandLineToArgvW(::GetCommandLineW(), &count));
    std::vector<std::wstring> result;
    for (int i = 1; arguments && i < count; ++i) {
        result.emplace_back(arguments.get()[i]);
    }
    return result;
}

int RunMessageLoop() {
    MSG message{};
    BOOL status = 0;
    while ((status = ::GetMessageW(&message, nullptr, 0, 0)) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return status == 0 ? static_cast<int>(message.wParam) : 1;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    try {
        cadsim::Simulator simulator(cadsim::ParseOptions(CommandLineArguments()));
        return RunMessageLoop();
    } catch (...) {
        return 2;  // bad command line, or the windows or the record could not be made
    }
}
