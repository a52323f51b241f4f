// The long run: the real MERIDO_B.exe beside cadsim under Wine, cycling what an operator's day
// brings, made through the X server's mouse and keys (run_soak.sh runs xdotool for it). It
// reports the panel's handles, private bytes and top-level windows at the start, after the
// first cycle, every sample period and at the end, and fails on an error box, on a step that
// does not come to its end, and on growth beyond noise.
//   soak_driver.exe [--minutes M] [--sample-seconds S] [--steps 1] [--without K]...
// (defaults: 10 minutes, a sample every 60 s). To find the step that makes a figure grow:
// --steps 1 prints the figures after every step of every cycle, and --without K leaves out
// step K of every cycle (1 Register, 2 LIST, 3 the export, 4 taps, 5 refusing, 6 hanging).

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "bench/soak/day.h"
#include "bench/soak/desk.h"
#include "bench/soak/growth.h"

namespace {

struct Options {
    double minutes = 10;
    double sampleSeconds = 60;
    bool steps = false;
    unsigned leftOut = 0;
};

bool ParseOptions(int argc, wchar_t** argv, Options& options) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const double value = std::wcstod(argv[i + 1], nullptr);
        if (value <= 0) {
            return false;
        }
        if (std::wcscmp(argv[i], L"--minutes") == 0) {
            options.minutes = value;
        } else if (std::wcscmp(argv[i], L"--sample-seconds") == 0) {
            options.sampleSeconds = value;
        } else if (std::wcscmp(argv[i], L"--steps") == 0) {
            options.steps = true;
        } else if (std::wcscmp(argv[i], L"--without") == 0 && value < 7) {
            options.leftOut |= 1u << static_cast<unsigned>(value);
        } else {
            return false;
        }
    }
    return argc % 2 == 1;
}

double SecondsSince(ULONGLONG start) {
    return static_cast<double>(::GetTickCount64() - start) / 1000.0;
}

soak::Sample Report(const soak::Desk& desk, const char* label, int cycles, double seconds) {
    const soak::Sample sample{cycles,
                              soak::ReadPanelFigures(desk.PanelProcess(), desk.PanelProcessId())};
    std::printf("soak: %-6s t=%5.0fs cycles=%3d %s\n", label, seconds, cycles,
                soak::FormatFigures(sample.figures).c_str());
    std::fflush(stdout);
    return sample;
}

void PrintStep(const soak::Desk& desk, const char* step) {
    const soak::PanelFigures figures =
        soak::ReadPanelFigures(desk.PanelProcess(), desk.PanelProcessId());
    std::printf("soak:   %-26s %s\n", step, soak::FormatFigures(figures).c_str());
    std::fflush(stdout);
}

void PrintWindowClasses(const soak::Desk& desk) {
    std::printf("soak: the panel's top-level windows: %s\n",
                soak::WindowClassesOf(desk.PanelProcessId()).c_str());
    std::fflush(stdout);
}

// Runs cycles until the time is up; the samples from the end of the first cycle on.
std::vector<soak::Sample> RunDay(soak::Desk& desk, const Options& options, ULONGLONG start) {
    std::vector<soak::Sample> samples;
    double nextSample = options.sampleSeconds;
    int cycles = 0;
    while (cycles == 0 || SecondsSince(start) < options.minutes * 60) {
        ++cycles;
        soak::RunCycle(desk, cycles, {options.leftOut, [&](const char* step) {
                                          if (options.steps) {
                                              PrintStep(desk, step);
                                          }
                                      }});
        if (cycles == 1) {
            samples.push_back(Report(desk, "warm", cycles, SecondsSince(start)));
        } else if (SecondsSince(start) >= nextSample &&
                   SecondsSince(start) < options.minutes * 60) {
            samples.push_back(Report(desk, "sample", cycles, SecondsSince(start)));
            nextSample += options.sampleSeconds;
        }
    }
    samples.push_back(Report(desk, "end", cycles, SecondsSince(start)));
    return samples;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: soak_driver.exe [--minutes M] [--sample-seconds S] [--steps 1] "
                     "[--without K]...\n");
        return 2;
    }
    try {
        soak::XInput input;
        soak::Desk desk(input);
        const ULONGLONG start = ::GetTickCount64();
        Report(desk, "start", 0, 0);
        PrintWindowClasses(desk);
        const std::vector<soak::Sample> samples = RunDay(desk, options, start);
        PrintWindowClasses(desk);
        std::printf("soak: %d cycles in %.0f s, no error box\n", samples.back().cycles,
                    SecondsSince(start));
        const soak::GrowthVerdict verdict = soak::JudgeGrowth(samples);
        for (const std::string& line : verdict.lines) {
            std::printf("soak: %s\n", line.c_str());
        }
        std::printf("soak: %s\n", verdict.beyondNoise ? "FAILED: growth beyond noise" : "passed");
        return verdict.beyondNoise ? 1 : 0;
    } catch (const std::exception& error) {
        std::printf("soak: FAILED: %s\n", error.what());
        return 1;
    }
}
