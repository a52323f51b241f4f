#pragma once

// Command lines and figures of the idle-cost benchmark: the portable part, kept apart from the
// Win32 programs so that it can be checked on its own.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace bench {

// A plain decimal number within [minimum, maximum]: digits only, no sign, no blanks.
std::optional<std::uint32_t> ParseNumber(std::wstring_view text, std::uint32_t minimum,
                                         std::uint32_t maximum);

// Comma-separated numbers, each within [minimum, maximum], at least one: "10,100,1000".
std::optional<std::vector<std::uint32_t>> ParseNumberList(std::wstring_view text,
                                                          std::uint32_t minimum,
                                                          std::uint32_t maximum);

// bench_windows: how many ordinary windows to open, and whether to add the AutoCAD look-alike.
struct WindowsHostOptions {
    std::uint32_t count = 0;
    bool cad = false;
    bool cadInFront = false;  // the look-alike in the foreground instead of at the bottom
    bool keys = false;        // ... sending itself 20 key events a second (implies cadInFront)
};
std::optional<WindowsHostOptions> ParseWindowsHostOptions(const std::vector<std::wstring>& args);

// bench_reference: seconds to run before quitting on its own; 0 runs until it is closed.
struct ReferenceOptions {
    std::uint32_t seconds = 0;
};
std::optional<ReferenceOptions> ParseReferenceOptions(const std::vector<std::wstring>& args);

// bench_driver.
struct DriverOptions {
    std::wstring panel;      // the program under test; required
    std::wstring reference;  // empty: bench_reference.exe beside the driver
    std::wstring windows;    // empty: bench_windows.exe beside the driver
    std::vector<std::uint32_t> counts{10, 100, 1000};
    std::uint32_t seconds = 20;       // measured period of one run
    std::uint32_t warmupSeconds = 2;  // between start and the first sample
    std::uint32_t runs = 5;           // runs of each program per window count
    bool cad = true;                  // open the AutoCAD look-alike window
    bool cadInFront = false;          // ... in the foreground, so that the panel's key watch runs
    bool keys = false;                // ... and typed into: 20 key events a second
    bool sync = false;                // hand-shake on stdin/stdout around every measured period
};

struct DriverParse {
    std::optional<DriverOptions> options;
    std::wstring error;  // why the command line was refused, when it was
};
DriverParse ParseDriverOptions(const std::vector<std::wstring>& args);

extern const char* const kDriverUsage;

// The figures of one window count: CPU milliseconds of each run of both programs, run k of the
// panel paired with run k of the reference.
struct Comparison {
    double panelTotalMs = 0;
    double referenceTotalMs = 0;
    std::optional<double> ratio;  // of the totals; nothing when the reference cost nothing
    // Of the paired runs; the median stands firm against a run that the machine disturbed.
    std::optional<double> ratioMin;
    std::optional<double> ratioMedian;
    std::optional<double> ratioMax;
    double panelSpread = 0;  // (largest - smallest) / mean of the runs; 0 for one run
    double referenceSpread = 0;
};
Comparison Compare(const std::vector<double>& panelMs, const std::vector<double>& referenceMs);

// A ratio with three decimals, or "n/a".
std::string FormatRatio(const std::optional<double>& ratio);

}  // namespace bench
