#include "bench/soak/growth.h"

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

double Slope(const std::vector<double>& x, const std::vector<double>& y) {
    const std::size_t n = x.size() < y.size() ? x.size() : y.size();
    double meanX = 0;
    double meanY = 0;
    for (std::size_t i = 0; i < n; ++i) {
        meanX += x[i] / static_cast<double>(n);
        meanY += y[i] / static_cast<double>(n);
    }
    double covariance = 0;
    double variance = 0;
    for (std::size_t i = 0; i < n; ++i) {
        covariance += (x[i] - meanX) * (y[i] - meanY);
        variance += (x[i] - meanX) * (x[i] - meanX);
    }
    return variance > 0 ? covariance / variance : 0;
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
    const double span = cycles.back() - cycles.front();
    for (const Allowance& allowance : kAllowances) {
        std::vector<double> values;
        for (const Sample& sample : samples) {
            values.push_back(allowance.value(sample.figures));
        }
        const double change = values.back() - values.front();
        const double trend = Slope(cycles, values);
        // Growth is a change past the noise that the trend over all samples confirms, so that
        // one high last sample alone is not taken for a leak.
        const bool grows = change > allowance.noise && trend * span > allowance.noise;
        char line[200];
        std::snprintf(line, sizeof line, "%-18s %+9.0f%s over %.0f cycles, trend %+8.2f%s/cycle%s",
                      allowance.name, change, allowance.unit, span, trend, allowance.unit,
                      grows ? "  GROWS" : "");
        verdict.lines.emplace_back(line);
        verdict.beyondNoise = verdict.beyondNoise || grows;
    }
    return verdict;
}

}  // namespace soak
