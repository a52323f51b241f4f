#include "panel_process.h"

#include <filesystem>
#include <stdexcept>

#include "tests/support/test_bin_dir.h"
#include "tests/support/wait.h"

namespace e2e {
namespace {

constexpr wchar_t kPanelClass[] = L"TMERIDO_A_MainForm";

struct FindContext {
    DWORD processId;
    HWND found;
    int count;
};

BOOL CALLBACK VisitPanel(HWND window, LPARAM context) {
    auto* find = reinterpret_cast<FindContext*>(context);
    wchar_t className[64] = {};
    ::GetClassNameW(window, className, 64);
    if (std::wstring(className) != kPanelClass) {
        return TRUE;
    }
    ++find->count;
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == find->processId) {
        find->found = window;
    }
    return TRUE;
}

}  // namespace

HWND FindPanelOf(DWORD processId) {
    FindContext context{processId, nullptr, 0};
    ::EnumWindows(VisitPanel, reinterpret_cast<LPARAM>(&context));
    return context.found;
}

int CountPanels() {
    FindContext context{0, nullptr, 0};
    ::EnumWindows(VisitPanel, reinterpret_cast<LPARAM>(&context));
    return context.count;
}

PanelProcess::PanelProcess(const std::wstring& folderName, const std::wstring& exeName) {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::filesystem::path folder = std::filesystem::path(temp) / L"merido-e2e" / folderName;
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    folder_ = folder.wstring();
    exePath_ = (folder / exeName).wstring();
    std::filesystem::copy_file(std::filesystem::path(test_support::TestBinDir()) / L"MERIDO_B.exe",
                               exePath_);
}

PanelProcess::~PanelProcess() {
    if (process_ && !ExitCode()) {
        if (!CloseAndWait(5000)) {
            ::TerminateProcess(process_.get(), 1);
            ::WaitForSingleObject(process_.get(), 5000);
        }
    }
}

void PanelProcess::Start(bool waitForWindow) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    std::wstring commandLine = L"\"" + exePath_ + L"\"";
    if (!::CreateProcessW(exePath_.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          folder_.c_str(), &startup, &info)) {
        throw std::runtime_error("MERIDO_B.exe could not be started");
    }
    ::CloseHandle(info.hThread);
    process_.reset(info.hProcess);
    processId_ = info.dwProcessId;
    if (waitForWindow) {
        test_support::WaitUntil(
            [this] {
                window_ = FindPanelOf(processId_);
                return window_ != nullptr && ::IsWindowVisible(window_);
            },
            20000);
        if (window_ == nullptr) {
            throw std::runtime_error("the panel window did not appear");
        }
    }
}

bool PanelProcess::WaitForExit(DWORD timeoutMs) {
    return process_ && ::WaitForSingleObject(process_.get(), timeoutMs) == WAIT_OBJECT_0;
}

std::optional<DWORD> PanelProcess::ExitCode() const {
    DWORD code = 0;
    if (!process_ || !::GetExitCodeProcess(process_.get(), &code) || code == STILL_ACTIVE) {
        return std::nullopt;
    }
    return code;
}

bool PanelProcess::CloseAndWait(DWORD timeoutMs) {
    if (window_ != nullptr && ::IsWindow(window_)) {
        ::PostMessageW(window_, WM_CLOSE, 0, 0);
    }
    return WaitForExit(timeoutMs);
}

}  // namespace e2e
