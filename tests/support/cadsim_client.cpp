#include "tests/support/cadsim_client.h"

#include <algorithm>
#include <atomic>
#include <stdexcept>
#include <string>

#include "cadsim/control_protocol.h"
#include "tests/support/command_line.h"
#include "tests/support/record_file.h"
#include "tests/support/test_bin_dir.h"
#include "tests/support/wait.h"

namespace test_support {
namespace {

constexpr DWORD kStartTimeoutMs = 20000;
constexpr DWORD kQuitTimeoutMs = 10000;
constexpr UINT kSendTimeoutMs = 10000;

// A name unique to this process and instance, for the control window and the record.
std::wstring UniqueName() {
    static std::atomic<unsigned> counter{0};
    return L"cadsim-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
           std::to_wstring(++counter);
}

std::wstring TempFolder() {
    wchar_t buffer[MAX_PATH + 1] = {};
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, buffer);
    if (length == 0 || length > MAX_PATH) {
        throw std::runtime_error("cannot find the temporary folder");
    }
    return std::wstring(buffer, length);  // ends with a backslash
}

std::wstring RectArgument(const RECT& rect) {
    return std::to_wstring(rect.left) + L"," + std::to_wstring(rect.top) + L"," +
           std::to_wstring(rect.right - rect.left) + L"," + std::to_wstring(rect.bottom - rect.top);
}

std::vector<std::wstring> Arguments(const CadSim::Options& options) {
    std::vector<std::wstring> arguments = {L"--title",   options.title,
                                           L"--class",   options.className,
                                           L"--record",  options.recordPath,
                                           L"--control", options.controlName,
                                           L"--rect",    RectArgument(options.rect)};
    if (options.minimized) {
        arguments.emplace_back(L"--minimized");
    }
    if (options.hidden) {
        arguments.emplace_back(L"--hidden");
    }
    if (options.noWindow) {
        arguments.emplace_back(L"--no-window");
    }
    if (!options.automationVersion.empty()) {
        arguments.emplace_back(L"--automation");
        arguments.emplace_back(options.automationVersion);
    }
    return arguments;
}

}  // namespace

CadSim::CadSim() : CadSim(Options{}) {}

CadSim::CadSim(Options options) : options_(std::move(options)) {
    if (options_.controlName.empty()) {
        options_.controlName = UniqueName();
    }
    if (options_.recordPath.empty()) {
        options_.recordPath = TempFolder() + options_.controlName + L".log";
        ownsRecord_ = true;
    }
    const std::wstring program = TestBinDir() + L"\\cadsim.exe";
    std::wstring commandLine = BuildCommandLine(program, Arguments(options_));
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    // Under Wine a start right after another process ended is now and then refused; it is made
    // again a few times, as a person would start the program again.
    DWORD error = 0;
    const bool started = WaitUntil(
        [&] {
            std::wstring line = commandLine;  // CreateProcessW may write into it
            if (::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 nullptr, &startup, &process)) {
                return true;
            }
            error = ::GetLastError();
            return false;
        },
        5000);
    if (!started) {
        throw std::runtime_error("cannot start cadsim.exe (error " + std::to_string(error) + ")");
    }
    const platform::win32::UniqueKernelHandle thread(process.hThread);
    process_.reset(process.hProcess);
    processId_ = process.dwProcessId;
    // Lets cadsim take the foreground when a test asks it to.
    ::AllowSetForegroundWindow(processId_);

    const bool ready = WaitUntil(
        [this] {
            return !IsRunning() ||
                   (Send(L"ping") == 1 && (options_.noWindow || MainWindow() != nullptr));
        },
        kStartTimeoutMs);
    if (!ready || !IsRunning()) {
        Quit();
        if (ownsRecord_) {
            ::DeleteFileW(options_.recordPath.c_str());
        }
        throw std::runtime_error("cadsim.exe did not come up");
    }
}

CadSim::~CadSim() {
    Quit();
    if (ownsRecord_) {
        ::DeleteFileW(options_.recordPath.c_str());
    }
}

LRESULT SendToCadSim(const std::wstring& controlName, const std::wstring& command) {
    const HWND control =
        ::FindWindowExW(HWND_MESSAGE, nullptr, cadsim::kControlClassName, controlName.c_str());
    if (control == nullptr) {
        return 0;
    }
    COPYDATASTRUCT data{};
    data.dwData = cadsim::kCommandTag;
    data.cbData = static_cast<DWORD>(command.size() * sizeof(wchar_t));
    data.lpData = const_cast<wchar_t*>(command.data());
    DWORD_PTR reply = 0;
    if (::SendMessageTimeoutW(control, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                              SMTO_ABORTIFHUNG, kSendTimeoutMs, &reply) == 0) {
        return 0;
    }
    return static_cast<LRESULT>(reply);
}

LRESULT CadSim::Send(const std::wstring& command) {
    return SendToCadSim(options_.controlName, command);
}

HWND CadSim::MainWindow() { return reinterpret_cast<HWND>(Send(L"hwnd")); }

std::vector<std::string> CadSim::RecordLines() const {
    return ReadLinesShared(options_.recordPath);
}

bool CadSim::WaitFor(const std::function<bool()>& condition, DWORD timeoutMs) {
    return WaitUntil(condition, timeoutMs);
}

bool CadSim::WaitForRecordLine(const std::string& line, DWORD timeoutMs) {
    return WaitUntil(
        [&] {
            const std::vector<std::string> lines = RecordLines();
            return std::find(lines.begin(), lines.end(), line) != lines.end();
        },
        timeoutMs);
}

bool CadSim::IsRunning() const {
    return process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> CadSim::ExitCode() const {
    DWORD code = 0;
    if (!process_ || IsRunning() || !::GetExitCodeProcess(process_.get(), &code)) {
        return std::nullopt;
    }
    return code;
}

void CadSim::Quit() {
    if (!IsRunning()) {
        return;
    }
    Send(L"quit");
    if (::WaitForSingleObject(process_.get(), kQuitTimeoutMs) != WAIT_OBJECT_0) {
        ::TerminateProcess(process_.get(), 1);
        ::WaitForSingleObject(process_.get(), kQuitTimeoutMs);
    }
}

}  // namespace test_support
