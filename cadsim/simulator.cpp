#include "cadsim/simulator.h"

#include "cadsim/commands.h"

namespace cadsim {
namespace {

Recorder MakeRecorder(const std::wstring& path) {
    return path.empty() ? Recorder() : Recorder(path);
}

std::wstring ExecutablePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

InitialShow StartShow(const Options& options) {
    if (options.hidden) {
        return InitialShow::hidden;
    }
    return options.minimized ? InitialShow::minimized : InitialShow::normal;
}

}  // namespace

Simulator::Simulator(const Options& options)
    : title_(options.title),
      className_(options.className),
      rect_(options.rect),
      recorder_(MakeRecorder(options.recordPath)) {
    model_.applicationPath = ExecutablePath();
    if (!options.noWindow) {
        CreateMainWindow(StartShow(options));
    }
    automation_ = std::make_unique<automation::AutomationServer>(
        model_, recorder_, [this] { return MainWindowHandle(); });
    if (!options.automationVersion.empty()) {
        AutomationOn(options.automationVersion);
    }
    control_ = std::make_unique<ControlWindow>(
        options.controlName,
        [this](std::wstring_view command) { return RunCommand(*this, command); });
    recorder_.Line("ready");
}

Simulator::~Simulator() = default;

HWND Simulator::MainWindowHandle() const { return mainWindow_ ? mainWindow_->Handle() : nullptr; }

bool Simulator::ShowMain(int command) {
    if (!mainWindow_) {
        return false;
    }
    ::ShowWindow(mainWindow_->Handle(), command);
    return true;
}

bool Simulator::Minimize() { return ShowMain(SW_MINIMIZE); }
bool Simulator::Restore() { return ShowMain(SW_RESTORE); }
bool Simulator::Show() { return ShowMain(SW_SHOW); }
bool Simulator::Hide() { return ShowMain(SW_HIDE); }

bool Simulator::Foreground() {
    if (!mainWindow_) {
        return false;
    }
    // A background process may be refused the foreground; bringing the window to the top of
    // the z-order at least makes it the active candidate.
    const HWND window = mainWindow_->Handle();
    ::SetForegroundWindow(window);
    ::BringWindowToTop(window);
    return true;
}

bool Simulator::CloseMainWindow() {
    if (!mainWindow_) {
        return false;
    }
    mainWindow_.reset();
    return true;
}

void Simulator::ShowMainWindow() {
    if (!mainWindow_) {
        CreateMainWindow(InitialShow::normal);
    }
}

void Simulator::SetTitle(const std::wstring& title) {
    title_ = title;
    if (mainWindow_) {
        ::SetWindowTextW(mainWindow_->Handle(), title_.c_str());
    }
}

void Simulator::SetClassName(const std::wstring& className) { className_ = className; }

void Simulator::Move(const WindowRect& rect) {
    rect_ = rect;
    if (mainWindow_) {
        ::SetWindowPos(mainWindow_->Handle(), nullptr, rect.x, rect.y, rect.width, rect.height,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void Simulator::ClearRecord() { recorder_.Clear(); }

void Simulator::Quit() { ::PostQuitMessage(0); }

void Simulator::Hang(DWORD milliseconds) {
    ::ReplyMessage(1);
    ::Sleep(milliseconds);
}

bool Simulator::AutomationOn(const std::wstring& version) {
    const std::wstring chosen = version.empty() ? automationVersion_ : version;
    if (chosen.empty()) {
        return false;
    }
    automation_->Register(chosen);
    automationVersion_ = chosen;  // only a version that registered is used again
    return true;
}

void Simulator::AutomationOff() { automation_->Revoke(); }

void Simulator::CreateMainWindow(InitialShow show) {
    mainWindow_ = std::make_unique<MainWindow>(title_, className_, rect_, show, recorder_,
                                               [this] { Quit(); });
}

}  // namespace cadsim
