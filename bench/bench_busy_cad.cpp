// The panel's longest unresponsive stretch beside a busy or hung AutoCAD, measured from outside
// as the system's "not responding" check does (WM_NULL with a 500 ms time-out, again and
// again): LIST while the look-alike refuses calls for 5 s, a Shift tap meanwhile, a Shift tap
// whose state check the look-alike holds for 5 s, and ACT on the minimised look-alike while its
// thread handles no message for 5 s. The real MERIDO_B.exe
// beside cadsim, both under Wine.

#include <windows.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "tests/e2e/panel_process.h"
#include "tests/support/cadsim_client.h"
#include "tests/support/responsiveness_probe.h"
#include "tests/support/wait.h"

namespace {

using test_support::CadSim;

constexpr int kActButton = 102;
constexpr int kListButton = 104;
constexpr DWORD kStretchMs = 5000;

struct Figures {
    double longestMs = 0;
    int misses = 0;
    long refused = 0;  // calls that the look-alike refused meanwhile
};

// Runs `act` with a probe on the panel and keeps it watching until `watchMs` have passed.
Figures Watch(HWND panel, DWORD watchMs, const std::function<void()>& act) {
    const test_support::ResponsivenessProbe probe(panel, 500);
    const ULONGLONG start = ::GetTickCount64();
    act();
    while (::GetTickCount64() - start < watchMs) {
        ::Sleep(50);
    }
    return Figures{probe.LongestWaitMs(), probe.Misses()};
}

void Click(HWND panel, int id) {
    ::PostMessageW(panel, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(panel, id)));
}

void Key(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    ::SendInput(1, &input, sizeof(input));
}

int CountLines(const CadSim& cad, const std::string& line) {
    int count = 0;
    for (const std::string& recorded : cad.RecordLines()) {
        count += recorded == line ? 1 : 0;
    }
    return count;
}

struct Scene {
    Scene() : panel(L"bench-busy-cad") {
        CadSim::Options options;
        options.rect = RECT{650, 460, 1000, 740};
        options.automationVersion = L"24";
        cad = std::make_unique<CadSim>(options);
        cad->Send(L"doc add a.dwg|C:\\dwg\\a.dwg|1");
        panel.Start();
    }
    e2e::PanelProcess panel;
    std::unique_ptr<CadSim> cad;
};

Figures ListWhileRefusing() {
    Scene scene;
    scene.cad->Send(L"refuse-calls " + std::to_wstring(kStretchMs));
    Figures figures = Watch(scene.panel.Window(), kStretchMs + 1000,
                            [&] { Click(scene.panel.Window(), kListButton); });
    figures.refused = static_cast<long>(scene.cad->Send(L"refused-calls"));
    return figures;
}

Figures ShiftTapWhileRefusing(int& keysSent) {
    Scene scene;
    scene.cad->Send(L"busy");
    scene.cad->Send(L"foreground");
    test_support::WaitUntil([&] { return ::GetForegroundWindow() == scene.cad->MainWindow(); },
                            10000);
    scene.cad->Send(L"refuse-calls " + std::to_wstring(kStretchMs));
    // A tap that a fresh display dropped, or that a starved tick missed, is made again until
    // the panel's state check meets the refusal.
    Figures figures = Watch(scene.panel.Window(), kStretchMs + 1000, [&] {
        for (int attempt = 0; attempt < 4 && scene.cad->Send(L"refused-calls") == 0; ++attempt) {
            Key(VK_SHIFT, false);
            ::Sleep(400);
            Key(VK_SHIFT, true);
            test_support::WaitUntil([&] { return scene.cad->Send(L"refused-calls") > 0; }, 1000);
        }
    });
    keysSent = CountLines(*scene.cad, "key down 0x77");
    figures.refused = static_cast<long>(scene.cad->Send(L"refused-calls"));
    return figures;
}

// The look-alike, busy and in front, holds the tap's state check for 5 s: the tick gives the
// call up (on Windows within its budget; Wine ends the wait only once the look-alike answers),
// and no F8 may follow.
Figures ShiftTapAtAHang(int& keysSent) {
    Scene scene;
    scene.cad->Send(L"busy");
    scene.cad->Send(L"foreground");
    test_support::WaitUntil([&] { return ::GetForegroundWindow() == scene.cad->MainWindow(); },
                            10000);
    scene.cad->Send(L"hang-next-call " + std::to_wstring(kStretchMs));
    const auto held = [&] { return scene.cad->Send(L"held-calls") > 0; };
    Figures figures = Watch(scene.panel.Window(), kStretchMs + 1000, [&] {
        for (int attempt = 0; attempt < 4 && !held(); ++attempt) {
            Key(VK_SHIFT, false);
            ::Sleep(400);
            Key(VK_SHIFT, true);
            test_support::WaitUntil(held, 6000);
        }
    });
    // -1: the state check never reached the look-alike.
    if (!test_support::WaitUntil(held, 10000)) {
        keysSent = -1;
        return figures;
    }
    ::Sleep(1000);
    keysSent = CountLines(*scene.cad, "key down 0x77");
    return figures;
}

Figures ActOnHungMinimised() {
    Scene scene;
    scene.cad->Send(L"minimize");
    test_support::WaitUntil([&] { return ::IsIconic(scene.cad->MainWindow()) != FALSE; }, 10000);
    return Watch(scene.panel.Window(), kStretchMs + 1000, [&] {
        scene.cad->Send(L"hang " + std::to_wstring(kStretchMs));
        Click(scene.panel.Window(), kActButton);
    });
}

}  // namespace

int wmain() {
    try {
        std::printf("longest stretch without an answer to WM_NULL (500 ms time-out), ms\n");
        const Figures list = ListWhileRefusing();
        std::printf(
            "  LIST, AutoCAD refusing calls for 5 s:        %7.0f  (%d unanswered, %ld refused)\n",
            list.longestMs, list.misses, list.refused);
        int keys = 0;
        const Figures tap = ShiftTapWhileRefusing(keys);
        std::printf(
            "  Shift tap, AutoCAD refusing calls for 5 s:   %7.0f  (%d unanswered, %ld refused, "
            "%d F8)\n",
            tap.longestMs, tap.misses, tap.refused, keys);
        int hungKeys = 0;
        const Figures hung = ShiftTapAtAHang(hungKeys);
        std::printf(
            "  Shift tap, state check held 5 s:              %7.0f  (%d unanswered, %d F8)\n",
            hung.longestMs, hung.misses, hungKeys);
        const Figures act = ActOnHungMinimised();
        std::printf("  ACT, minimised AutoCAD hung for 5 s:         %7.0f  (%d unanswered)\n",
                    act.longestMs, act.misses);
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bench_busy_cad: %s\n", error.what());
        return 1;
    }
}
