#include "bench/bench_options.h"

#include <algorithm>
#include <cstdio>
#include <numeric>

namespace bench {
namespace {

// Walks a command line: flags and the values that follow them.
class ArgumentReader {
  public:
    explicit ArgumentReader(const std::vector<std::wstring>& args) : args_(args) {}
    bool AtEnd() const { return next_ >= args_.size(); }
    const std::wstring& Take() { return args_[next_++]; }
    const std::wstring* TakeValue() { return AtEnd() ? nullptr : &args_[next_++]; }

  private:
    const std::vector<std::wstring>& args_;
    std::size_t next_ = 0;
};

double Spread(const std::vector<double>& values) {
    if (values.size() < 2) {
        return 0;
    }
    const auto [smallest, largest] = std::minmax_element(values.begin(), values.end());
    const double mean =
        std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(values.size());
    return mean > 0 ? (*largest - *smallest) / mean : 0;
}

}  // namespace

const char* const kDriverUsage =
    "usage: bench_driver --panel PATH [--reference PATH] [--windows PATH]\n"
    "                    [--counts 10,100,1000] [--seconds 20] [--warmup 2] [--runs 5]\n"
    "                    [--no-cad | --cad-front | --keys] [--sync]\n";

std::optional<std::uint32_t> ParseNumber(std::wstring_view text, std::uint32_t minimum,
                                         std::uint32_t maximum) {
    if (text.empty() || text.size() > 10) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (const wchar_t c : text) {
        if (c < L'0' || c > L'9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<std::uint64_t>(c - L'0');
    }
    if (value < minimum || value > maximum) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
}

std::optional<std::vector<std::uint32_t>> ParseNumberList(std::wstring_view text,
                                                          std::uint32_t minimum,
                                                          std::uint32_t maximum) {
    std::vector<std::uint32_t> numbers;
    while (true) {
        const std::size_t comma = text.find(L',');
        const auto number = ParseNumber(text.substr(0, comma), minimum, maximum);
        if (!number) {
            return std::nullopt;
        }
        numbers.push_back(*number);
        if (comma == std::wstring_view::npos) {
            return numbers;
        }
        text.remove_prefix(comma + 1);
    }
}

std::optional<WindowsHostOptions> ParseWindowsHostOptions(const std::vector<std::wstring>& args) {
    WindowsHostOptions options;
    ArgumentReader reader(args);
    while (!reader.AtEnd()) {
        const std::wstring& flag = reader.Take();
        if (flag == L"--cad") {
            options.cad = true;
        } else if (flag == L"--cad-front" || flag == L"--keys") {
            options.cad = true;
            options.cadInFront = true;
            options.keys = options.keys || flag == L"--keys";
        } else if (flag == L"--count") {
            const std::wstring* value = reader.TakeValue();
            const auto count = value ? ParseNumber(*value, 0, 10000) : std::nullopt;
            if (!count) {
                return std::nullopt;
            }
            options.count = *count;
        } else {
            return std::nullopt;
        }
    }
    return options;
}

std::optional<ReferenceOptions> ParseReferenceOptions(const std::vector<std::wstring>& args) {
    ReferenceOptions options;
    ArgumentReader reader(args);
    while (!reader.AtEnd()) {
        const std::wstring& flag = reader.Take();
        const std::wstring* value = flag == L"--seconds" ? reader.TakeValue() : nullptr;
        const auto seconds = value ? ParseNumber(*value, 1, 86400) : std::nullopt;
        if (!seconds) {
            return std::nullopt;
        }
        options.seconds = *seconds;
    }
    return options;
}

DriverParse ParseDriverOptions(const std::vector<std::wstring>& args) {
    DriverOptions options;
    ArgumentReader reader(args);
    while (!reader.AtEnd()) {
        const std::wstring flag = reader.Take();
        if (flag == L"--no-cad") {
            options.cad = false;
            continue;
        }
        if (flag == L"--cad-front" || flag == L"--keys") {
            options.cad = true;
            options.cadInFront = true;
            options.keys = options.keys || flag == L"--keys";
            continue;
        }
        if (flag == L"--sync") {
            options.sync = true;
            continue;
        }
        const std::wstring* value = reader.TakeValue();
        if (value == nullptr) {
            if (flag.starts_with(L"--")) {
                return {std::nullopt, flag + L" needs a value"};
            }
            return {std::nullopt, L"unknown argument " + flag};
        }
        bool valid = true;
        if (flag == L"--panel" || flag == L"--reference" || flag == L"--windows") {
            valid = !value->empty();
            std::wstring& path = flag == L"--panel"       ? options.panel
                                 : flag == L"--reference" ? options.reference
                                                          : options.windows;
            path = *value;
        } else if (flag == L"--counts") {
            const auto counts = ParseNumberList(*value, 0, 10000);
            valid = counts.has_value();
            if (valid) {
                options.counts = *counts;
            }
        } else {
            std::uint32_t* target = flag == L"--seconds"  ? &options.seconds
                                    : flag == L"--warmup" ? &options.warmupSeconds
                                    : flag == L"--runs"   ? &options.runs
                                                          : nullptr;
            if (target == nullptr) {
                return {std::nullopt, L"unknown argument " + flag};
            }
            const std::uint32_t minimum = flag == L"--warmup" ? 0 : 1;
            const std::uint32_t maximum = flag == L"--runs" ? 100 : 3600;
            const auto number = ParseNumber(*value, minimum, maximum);
            valid = number.has_value();
            if (valid) {
                *target = *number;
            }
        }
        if (!valid) {
            return {std::nullopt, L"bad value for " + flag + L": " + *value};
        }
    }
    if (options.panel.empty()) {
        return {std::nullopt, L"--panel is required"};
    }
    return {std::move(options), {}};
}

Comparison Compare(const std::vector<double>& panelMs, const std::vector<double>& referenceMs) {
    Comparison result;
    result.panelTotalMs = std::accumulate(panelMs.begin(), panelMs.end(), 0.0);
    result.referenceTotalMs = std::accumulate(referenceMs.begin(), referenceMs.end(), 0.0);
    if (result.referenceTotalMs > 0) {
        result.ratio = result.panelTotalMs / result.referenceTotalMs;
    }
    std::vector<double> ratios;
    const std::size_t pairs = std::min(panelMs.size(), referenceMs.size());
    for (std::size_t run = 0; run < pairs; ++run) {
        if (referenceMs[run] <= 0) {
            // One run without a figure makes the per-run ratios meaningless.
            ratios.clear();
            break;
        }
        ratios.push_back(panelMs[run] / referenceMs[run]);
    }
    if (!ratios.empty()) {
        std::sort(ratios.begin(), ratios.end());
        const std::size_t middle = ratios.size() / 2;
        result.ratioMin = ratios.front();
        result.ratioMax = ratios.back();
        result.ratioMedian =
            ratios.size() % 2 == 1 ? ratios[middle] : (ratios[middle - 1] + ratios[middle]) / 2;
    }
    result.panelSpread = Spread(panelMs);
    result.referenceSpread = Spread(referenceMs);
    return result;
}

std::string FormatRatio(const std::optional<double>& ratio) {
    if (!ratio) {
        return "n/a";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", *ratio);
    return text;
}

}  // namespace bench
