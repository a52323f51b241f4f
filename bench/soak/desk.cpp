#include "bench/soak/desk.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "bench/bench_win32.h"
#include "tests/support/wait.h"

namespace soak {
namespace {

namespace fs = std::filesystem;

constexpr int kBoxTextId = 0xFFFF;
constexpr int kBoxIconId = 0x0014;
constexpr COLORREF kLime = RGB(0, 255, 0);

// The ticked options, and "OFF" unticked: the panel stays when cadsim goes.
constexpr char kSettings[] = "[AutoCAD]\r\nShift=1\r\nCtrl=1\r\nIME=1\r\nOFF=0\r\nApiVerNum=24\r\n";

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

// WM_GETTEXT, which reaches into another process's controls.
std::wstring TextOf(HWND window) {
    wchar_t text[1024] = {};
    ::SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text),
                          SMTO_ABORTIFHUNG, 2000, nullptr);
    return text;
}

struct Search {
    DWORD processId;
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK FindVisible(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<Search*>(context);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && ::IsWindowVisible(window) &&
        ClassOf(window) == search->className) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// The drawings of cadsim, each with a cleaned copy already there, so that every export meets
// the overwrite question.
void PrepareDrawingFolder() {
    fs::create_directories(kDrawingFolder);
    for (const wchar_t* copy : {L"a_wblock1.dwg", L"b_wblock1.dwg"}) {
        std::ofstream(fs::path(kDrawingFolder) / copy, std::ios::binary) << "old";
    }
}

}  // namespace

Desk::Desk(XInput& input) : input_(input), panel_(L"soak") {
    PrepareDrawingFolder();
    std::ofstream(fs::path(panel_.FileBeside(L"MERIDO_B,ini")), std::ios::binary) << kSettings;
    panel_.Start();
    ::GetWindowThreadProcessId(panel_.Window(), &panelId_);
    panelProcess_.reset(::OpenProcess(
        PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | PROCESS_DUP_HANDLE | SYNCHRONIZE, FALSE,
        panelId_));
    if (!panelProcess_) {
        throw SoakFailure("cannot open the panel's process");
    }
}

POINT Desk::CentreOf(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

POINT Desk::CentreOfControl(int id) const { return CentreOf(panel_.Control(id)); }

HWND Desk::VisibleWindow(const wchar_t* className) const {
    Search search{panelId_, className, nullptr};
    ::EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::optional<std::wstring> Desk::ErrorBoxText() const {
    const HWND box = VisibleWindow(kBoxClass);
    if (box == nullptr || ::GetDlgItem(box, kBoxIconId) == nullptr) {
        return std::nullopt;
    }
    return TextOf(::GetDlgItem(box, kBoxTextId));
}

void Desk::Await(const std::function<bool()>& condition, const std::string& what,
                 DWORD timeoutMs) const {
    std::optional<std::wstring> error;
    bool ended = false;
    const bool held = test_support::WaitUntil(
        [&] {
            error = ErrorBoxText();
            ended = ::WaitForSingleObject(panelProcess_.get(), 0) == WAIT_OBJECT_0;
            return error || ended || condition();
        },
        timeoutMs);
    if (error) {
        throw SoakFailure("an error box while waiting for " + what + ": " + bench::ToUtf8(*error));
    }
    if (ended) {
        throw SoakFailure("the panel ended while waiting for " + what);
    }
    if (!held) {
        throw SoakFailure("no " + what + " within " + std::to_string(timeoutMs / 1000) + " s");
    }
}

HWND Desk::AwaitWindow(const wchar_t* className, const std::string& what) const {
    HWND window = nullptr;
    Await([&] { return (window = VisibleWindow(className)) != nullptr; }, what);
    return window;
}

void Desk::AwaitGone(HWND window, const std::string& what) const {
    Await([&] { return !::IsWindow(window) || !::IsWindowVisible(window); }, what);
}

bool Desk::LampIsLime() const {
    const POINT centre = CentreOfControl(kLamp);
    const HDC screen = ::GetDC(nullptr);
    const COLORREF pixel = ::GetPixel(screen, centre.x, centre.y);
    ::ReleaseDC(nullptr, screen);
    return pixel == kLime;
}

void Desk::StartCad(bool reportsFullName) {
    test_support::CadSim::Options options;
    options.rect = RECT{650, 460, 1000, 740};  // clear of the centred panel
    options.automationVersion = L"24";
    cad_ = std::make_unique<test_support::CadSim>(options);
    const std::wstring folder = kDrawingFolder;
    cad_->Send(L"doc add a.dwg|" + folder + L"\\a.dwg|12");
    cad_->Send(L"doc add b.dwg|" + folder + L"\\b.dwg|5");
    if (reportsFullName) {
        cad_->Send(L"full-name C:\\Program Files\\Autodesk\\AutoCAD 2025\\acad.exe");
    }
    Await([this] { return LampIsLime(); }, "the lime lamp");
}

void Desk::EndCad() {
    cad_.reset();
    Await([this] { return !LampIsLime(); }, "the grey lamp");
}

test_support::CadSim& Desk::Cad() {
    if (!cad_) {
        throw SoakFailure("cadsim is not running");
    }
    return *cad_;
}

int Desk::CountRecord(const std::string& prefix) const {
    const std::vector<std::string> lines = cad_->RecordLines();
    return static_cast<int>(std::count_if(
        lines.begin(), lines.end(), [&](const std::string& l) { return l.starts_with(prefix); }));
}

std::string Desk::RecordTail(std::size_t count) const {
    if (!cad_) {
        return {};
    }
    const std::vector<std::string> lines = cad_->RecordLines();
    std::string tail;
    for (std::size_t i = lines.size() > count ? lines.size() - count : 0; i < lines.size(); ++i) {
        tail += "\n    " + lines[i];
    }
    return tail;
}

}  // namespace soak
