#include "bench/soak/growth.h"

#include <algorithm>
#include <cstdio>
#include <functional>

namespace soak {
namespace {

// What a figure may move without a leak behind it: handles that Wine's own libraries open and
// close at times of their own, heap pages that its allocator keeps or gives back.
struct Allowance {
    const char* name;
    const char* unit;
    double noise;
    std::function<double(const PanelFigures&)> value;
};

// The handles are judged without the keys that Wine's save dialog leaves open (PanelFigures).
const Allowance kAllowances[] = {
    {"handles (own)", "", 10,
     [](const PanelFigures& f) { return static_cast<double>(f.handles - f.wineDialogKeys); }},
    {"private bytes", " KiB", 1024,
     [](const PanelFigures& f) { return static_cast<double>(f.privateBytes) / 1024; }},
    {"top-level windows", "", 0,
     [](const PanelFigures& f) { return static_cast<double>(f.windows); }},
};

}  // namespace

double Median(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double Slope(const std::vector<double>& x, const std::vector<double>& y) {
    std::vector<double> slopes;
    for (std::size_t i = 0; i < x.size() && i < y.size(); ++i) {
        for (std::size_t j = i + 1; j < x.size() && j < y.size(); ++j) {
            if (x[j] != x[i]) {
                slopes.push_back((y[j] - y[i]) / (x[j] - x[i]));
            }
        }
    }
    return Median(std::move(slopes));
}

double PersistentGrowth(const std::vector<double>& values) {
    const std::size_t third = std::max<std::size_t>(1, values.size() / 3);
    const auto first = values.begin();
    const auto last = values.end();
    return Median({last - static_cast<std::ptrdiff_t>(third), last}) -
           Median({first, first + static_cast<std::ptrdiff_t>(third)});
}

GrowthVerdict JudgeGrowth(const std::vector<Sample>& samples) {
    GrowthVerdict verdict;
    if (samples.size() < 2) {
        verdict.lines.emplace_back("too few samples to judge growth");
        return verdict;
    }
    std::vector<double> cycles;
    for (const Sample& sample : samples) {
        cycles.push_back(sample.cycles);
    }
    for (const Allowance& allowance : kAllowances) {
        std::vector<double> values;
        for (const Sample& sample : samples) {
            values.push_back(allowance.value(sample.figures));
        }
        const double growth = PersistentGrowth(values);
        const bool grows = growth > allowance.noise;
        char line[240];
        std::snprintf(line, sizeof line,
                      "%-18s first to last %+8.0f%s, last third to first %+8.0f%s, "
                      "trend %+8.2f%s/cycle over %.0f cycles%s",
                      allowance.name, values.back() - values.front(), allowance.unit, growth,
                      allowance.unit, Slope(cycles, values), allowance.unit,
                      cycles.back() - cycles.front(), grows ? "  GROWS" : "");
        verdict.lines.emplace_back(line);
        verdict.beyondNoise = verdict.beyondNoise || grows;
    }
    return verdict;
}

}  // namespace soak
