// Idle cost of the panel: the CPU time that a running program under test takes over a fixed
// period, beside the same figure for bench_reference, which does only the 200 ms window search.
//
// For each window count N the driver starts bench_windows with N ordinary windows (and the
// AutoCAD look-alike at the bottom of the z-order), waits for them, and then measures the two
// programs in turn, alternating which goes first from run to run so that slow drifts of the
// machine fall on both alike. Each run starts a fresh copy of the program in a folder of its own
// (the panel writes its settings file beside itself), lets it warm up, samples its CPU time,
// waits the period, samples again and closes it.
//
// CPU time is GetProcessTimes (user + kernel). Where that does not follow other processes (Wine
// reports nothing for them), the sum of GetThreadTimes over the process's threads is used; each
// run line says which one. With --sync the driver hands over at the start and the end of every
// measured period: it writes a line beginning with "@@begin" or "@@end" and waits for one line on
// its input, so that a caller can sample what the driver cannot see (the wineserver) over
// exactly the same period.

#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <system_error>
#include <vector>

#include "bench/bench_options.h"
#include "bench/bench_win32.h"

namespace {

constexpr DWORD kHostReadyTimeoutMs = 180000;
constexpr DWORD kHostSettleMs = 1000;
constexpr DWORD kHostQuietTimeoutMs = 60000;
constexpr ULONGLONG kQuietTicksPerSecond = 100000;  // 10 ms in 100 ns units
constexpr DWORD kStartupIdleTimeoutMs = 10000;
constexpr DWORD kCloseGraceMs = 5000;

// 100-nanosecond units, as the system reports CPU time.
struct CpuTimes {
    using rep = ULONGLONG;
    rep process = 0;
    rep threads = 0;
};

ULONGLONG Ticks(const FILETIME& time) {
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

CpuTimes ReadCpuTimes(const bench::ChildProcess& process) {
    CpuTimes times;
    FILETIME creation, exit, kernel, user;
    if (::GetProcessTimes(process.handle(), &creation, &exit, &kernel, &user)) {
        times.process = Ticks(kernel) + Ticks(user);
    }
    platform::win32::UniqueKernelHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    if (snapshot.get() == INVALID_HANDLE_VALUE) {
        return times;
    }
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Thread32First(snapshot.get(), &entry); more;
         more = ::Thread32Next(snapshot.get(), &entry)) {
        if (entry.th32OwnerProcessID != process.id()) {
            continue;
        }
        platform::win32::UniqueKernelHandle thread(
            ::OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ThreadID));
        if (thread && ::GetThreadTimes(thread.get(), &creation, &exit, &kernel, &user)) {
            times.threads += Ticks(kernel) + Ticks(user);
        }
    }
    return times;
}

CpuTimes::rep CpuTotal(const bench::ChildProcess& process) {
    const CpuTimes times = ReadCpuTimes(process);
    return std::max(times.process, times.threads);
}

// True once `process` has spent at most 10 ms of CPU time (the resolution Wine gives) in one
// second; false after kHostQuietTimeoutMs.
bool WaitUntilQuiet(const bench::ChildProcess& process) {
    const ULONGLONG deadline = ::GetTickCount64() + kHostQuietTimeoutMs;
    CpuTimes::rep before = CpuTotal(process);
    while (::GetTickCount64() < deadline) {
        ::Sleep(1000);
        const CpuTimes::rep after = CpuTotal(process);
        if (after - before <= kQuietTicksPerSecond) {
            return true;
        }
        before = after;
    }
    return false;
}

struct Program {
    const char* label;  // "panel" or "reference"
    std::filesystem::path path;
};

struct RunResult {
    double cpuMs = 0;
    double wallMs = 0;
    const char* source = "process";
    bool closed = false;
};

class Driver {
  public:
    explicit Driver(bench::DriverOptions options) : options_(std::move(options)) {
        std::error_code error;
        workRoot_ = std::filesystem::temp_directory_path(error) /
                    (L"merido-bench-" + std::to_wstring(::GetCurrentProcessId()));
    }
    ~Driver() {
        std::error_code ignored;
        std::filesystem::remove_all(workRoot_, ignored);
    }

    int Run();

  private:
    bool MeasureCount(std::uint32_t count);
    std::optional<RunResult> MeasureRun(const Program& program, std::uint32_t count, int run);
    bool HandOver(const std::string& marker);
    void PrintSummary() const;

    bench::DriverOptions options_;
    std::filesystem::path workRoot_;
    std::filesystem::path windowsHost_;
    Program panel_{"panel", {}};
    Program reference_{"reference", {}};
    // Per window count: CPU milliseconds of each run, per program.
    std::map<std::uint32_t, std::vector<double>> panelMs_, referenceMs_;
};

bool Fail(const std::string& message) {
    std::fprintf(stderr, "bench_driver: %s\n", message.c_str());
    return false;
}

std::optional<std::filesystem::path> ExistingProgram(const std::wstring& given,
                                                     const wchar_t* besideDriver) {
    const std::filesystem::path path =
        given.empty() ? std::filesystem::path(bench::ExecutableFolder() + besideDriver)
                      : std::filesystem::path(given);
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        Fail("program not found: " + bench::ToUtf8(path.wstring()));
        return std::nullopt;
    }
    return std::filesystem::absolute(path, error);
}

int Driver::Run() {
    const auto panel = ExistingProgram(options_.panel, L"");
    const auto reference = ExistingProgram(options_.reference, L"bench_reference.exe");
    const auto windows = ExistingProgram(options_.windows, L"bench_windows.exe");
    if (!panel || !reference || !windows) {
        return 1;
    }
    panel_.path = *panel;
    reference_.path = *reference;
    windowsHost_ = *windows;
    if (::FindWindowW(bench::kPanelWindowClass, nullptr) != nullptr) {
        // The panel refuses to start a second time on one desktop.
        Fail("a panel is already running on this desktop");
        return 1;
    }
    std::error_code error;
    std::filesystem::create_directories(workRoot_, error);
    if (error) {
        Fail("cannot create " + bench::ToUtf8(workRoot_.wstring()));
        return 1;
    }
    std::printf("# program under test: %s\n# reference: %s\n", bench::ToUtf8(panel_.path).c_str(),
                bench::ToUtf8(reference_.path).c_str());
    std::printf("# period %u s after %u s warm-up, %u runs each, AutoCAD look-alike: %s\n",
                options_.seconds, options_.warmupSeconds, options_.runs,
                options_.keys  ? "in front, 20 key events/s"
                : options_.cad ? "yes"
                               : "no");
    std::fflush(stdout);
    for (const std::uint32_t count : options_.counts) {
        if (!MeasureCount(count)) {
            return 2;
        }
    }
    PrintSummary();
    return 0;
}

bool Driver::MeasureCount(std::uint32_t count) {
    const std::wstring arguments = L"--count " + std::to_wstring(count) +
                                   (options_.keys         ? L" --keys"
                                    : options_.cadInFront ? L" --cad-front"
                                    : options_.cad        ? L" --cad"
                                                          : L"");
    auto host = bench::ChildProcess::Start(windowsHost_.wstring(), arguments, {});
    if (!host) {
        return Fail("cannot start " + bench::ToUtf8(windowsHost_.wstring()));
    }
    const std::size_t expected = count + (options_.cad ? 1 : 0);
    if (!bench::WaitForProcessWindows(*host, expected, kHostReadyTimeoutMs)) {
        return Fail("bench_windows did not open its " + std::to_string(expected) + " windows");
    }
    // With many windows the host (and the window system behind it) goes on working for a few
    // seconds after the last window shows; measuring starts once it has gone quiet.
    if (!WaitUntilQuiet(*host)) {
        std::printf("# warning: bench_windows still busy after %lu s\n",
                    kHostQuietTimeoutMs / 1000);
    }
    ::Sleep(kHostSettleMs);

    const bench::SearchWalk walk = bench::MeasureSearchWalk();
    std::printf("# N=%u: %zu top-level windows on the desktop, search match at %s\n", count,
                walk.desktopWindows,
                walk.matchIndex ? std::to_string(*walk.matchIndex).c_str() : "none");
    if (options_.cad && !options_.cadInFront && (!walk.matchIndex || *walk.matchIndex < count)) {
        std::printf("# warning: the search does not walk all %u windows before its match\n", count);
    }
    std::fflush(stdout);

    for (std::uint32_t run = 1; run <= options_.runs; ++run) {
        const bool panelFirst = run % 2 == 1;
        for (const Program* program :
             {panelFirst ? &panel_ : &reference_, panelFirst ? &reference_ : &panel_}) {
            const auto result = MeasureRun(*program, count, static_cast<int>(run));
            if (!result) {
                return false;
            }
            (program == &panel_ ? panelMs_ : referenceMs_)[count].push_back(result->cpuMs);
        }
    }

    const bench::Comparison comparison = bench::Compare(panelMs_[count], referenceMs_[count]);
    std::printf(
        "N=%u panel_cpu_ms=%.1f reference_cpu_ms=%.1f ratio=%s ratio_median=%s ratio_min=%s "
        "ratio_max=%s panel_spread=%.1f%% reference_spread=%.1f%%\n",
        count, comparison.panelTotalMs, comparison.referenceTotalMs,
        bench::FormatRatio(comparison.ratio).c_str(),
        bench::FormatRatio(comparison.ratioMedian).c_str(),
        bench::FormatRatio(comparison.ratioMin).c_str(),
        bench::FormatRatio(comparison.ratioMax).c_str(), comparison.panelSpread * 100,
        comparison.referenceSpread * 100);
    std::fflush(stdout);
    host->Stop({bench::kHostWindowClass}, 10000);
    return true;
}

std::optional<RunResult> Driver::MeasureRun(const Program& program, std::uint32_t count, int run) {
    const std::string name =
        std::string(program.label) + "-n" + std::to_string(count) + "-r" + std::to_string(run);
    const std::filesystem::path folder = workRoot_ / name;
    const std::filesystem::path image = folder / program.path.filename();
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    std::filesystem::copy_file(program.path, image,
                               std::filesystem::copy_options::overwrite_existing, error);
    if (error) {
        Fail("cannot copy the program to " + bench::ToUtf8(image.wstring()));
        return std::nullopt;
    }

    auto process = bench::ChildProcess::Start(image.wstring(), {}, folder.wstring());
    if (!process) {
        Fail("cannot start " + bench::ToUtf8(image.wstring()));
        return std::nullopt;
    }
    ::WaitForInputIdle(process->handle(), kStartupIdleTimeoutMs);
    if (process->WaitForExit(options_.warmupSeconds * 1000)) {
        Fail(name + ": the program ended during its warm-up");
        return std::nullopt;
    }

    // Its own top-level windows are part of every search it makes.
    const std::size_t ownWindows = bench::CountProcessWindows(process->id(), false);

    // The driver's own sampling lies just outside the caller's period, so that its calls into
    // the system do not count for the wineserver.
    const std::string tags = " program=" + std::string(program.label) +
                             " n=" + std::to_string(count) + " run=" + std::to_string(run);
    LARGE_INTEGER frequency, wallStart, wallEnd;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&wallStart);
    const CpuTimes start = ReadCpuTimes(*process);
    if (!HandOver("@@begin" + tags + " pid=" + std::to_string(process->id()) +
                  " image=" + bench::ToUtf8(image.wstring()))) {
        return std::nullopt;
    }
    const bool ended = process->WaitForExit(options_.seconds * 1000);
    if (ended) {
        Fail(name + ": the program ended during the measured period");
        return std::nullopt;
    }
    if (!HandOver("@@end" + tags)) {
        return std::nullopt;
    }
    const CpuTimes end = ReadCpuTimes(*process);
    ::QueryPerformanceCounter(&wallEnd);

    RunResult result;
    const LONGLONG processTicks = static_cast<LONGLONG>(end.process - start.process);
    const LONGLONG threadTicks = static_cast<LONGLONG>(end.threads - start.threads);
    // Process times include threads that ended meanwhile; thread times are the fallback where
    // process times stand still.
    if (threadTicks > processTicks) {
        result.source = "threads";
    }
    result.cpuMs = static_cast<double>(std::max<LONGLONG>(processTicks, threadTicks)) / 10000.0;
    result.wallMs = static_cast<double>(wallEnd.QuadPart - wallStart.QuadPart) * 1000.0 /
                    static_cast<double>(frequency.QuadPart);
    result.closed =
        process->Stop({bench::kPanelWindowClass, bench::kReferenceWindowClass}, kCloseGraceMs);
    process.reset();
    std::filesystem::remove_all(folder, error);

    std::printf(
        "run n=%u program=%s run=%d cpu_ms=%.1f wall_ms=%.0f source=%s own_windows=%zu "
        "stopped=%s\n",
        count, program.label, run, result.cpuMs, result.wallMs, result.source, ownWindows,
        result.closed ? "closed" : "terminated");
    std::fflush(stdout);
    return result;
}

bool Driver::HandOver(const std::string& marker) {
    if (!options_.sync) {
        return true;
    }
    std::printf("%s\n", marker.c_str());
    std::fflush(stdout);
    char reply[256];
    if (std::fgets(reply, sizeof reply, stdin) == nullptr) {
        return Fail("the caller went away during the hand-over");
    }
    return true;
}

void Driver::PrintSummary() const {
    std::string json = "{\"seconds\":" + std::to_string(options_.seconds) +
                       ",\"warmup_seconds\":" + std::to_string(options_.warmupSeconds) +
                       ",\"runs\":" + std::to_string(options_.runs) +
                       ",\"cad\":" + (options_.cad ? "true" : "false") + ",\"results\":[";
    bool first = true;
    for (const std::uint32_t count : options_.counts) {
        const bench::Comparison comparison =
            bench::Compare(panelMs_.at(count), referenceMs_.at(count));
        const auto number = [](const std::optional<double>& value) {
            return value ? bench::FormatRatio(value) : std::string("null");
        };
        char totals[96];
        std::snprintf(totals, sizeof totals, "\"panel_cpu_ms\":%.1f,\"reference_cpu_ms\":%.1f",
                      comparison.panelTotalMs, comparison.referenceTotalMs);
        json += std::string(first ? "" : ",") + "{\"n\":" + std::to_string(count) + "," + totals +
                ",\"ratio\":" + number(comparison.ratio) +
                ",\"ratio_median\":" + number(comparison.ratioMedian) +
                ",\"ratio_min\":" + number(comparison.ratioMin) +
                ",\"ratio_max\":" + number(comparison.ratioMax) + "}";
        first = false;
    }
    std::printf("summary %s]}\n", json.c_str());
    std::fflush(stdout);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const bench::DriverParse parsed =
        bench::ParseDriverOptions(std::vector<std::wstring>(argv + 1, argv + argc));
    if (!parsed.options) {
        std::fprintf(stderr, "bench_driver: %s\n%s", bench::ToUtf8(parsed.error).c_str(),
                     bench::kDriverUsage);
        return 1;
    }
    Driver driver(*parsed.options);
    return driver.Run();
}
