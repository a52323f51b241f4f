// cadsim: a stand-in for AutoCAD's main window, driven by the tests through its control window.
#include <windows.h>
#include <ole2.h>
#include <shellapi.h>

#include <memory>
#include <stdexcept>
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

// COM as a single-threaded apartment with OLE for the whole run: the message loop serves the
// automation server's incoming calls.
class OleScope {
  public:
    OleScope() {
        if (FAILED(::OleInitialize(nullptr))) {
            throw std::runtime_error("cannot initialise OLE");
        }
    }
    ~OleScope() { ::OleUninitialize(); }
    OleScope(const OleScope&) = delete;
    OleScope& operator=(const OleScope&) = delete;
};

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
        const OleScope ole;
        cadsim::Simulator simulator(cadsim::ParseOptions(CommandLineArguments()));
        return RunMessageLoop();
    } catch (...) {
        // Bad command line, or the windows, the record or the automation server could not be
        // made.
        return 2;
    }
}
