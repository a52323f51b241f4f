#pragma once

// What the long run's samples say about growth: the change from the first sample to the last
// and the trend per cycle, and whether either goes beyond the noise of a process under Wine.

#include <string>
#include <vector>

#include "bench/soak/panel_figures.h"

namespace soak {

struct Sample {
    int cycles = 0;  // cycles done when the sample was taken
    PanelFigures figures;
};

// The least-squares slope of y over x; 0 when x holds fewer than two distinct values.
double Slope(const std::vector<double>& x, const std::vector<double>& y);

struct GrowthVerdict {
    std::vector<std::string> lines;  // the figures, for the report
    bool beyondNoise = false;
};

// Judges the samples taken after the first cycle (the panel warmed up: its first menu, picker,
// box and save dialog loaded what they need once) up to the end.
GrowthVerdict JudgeGrowth(const std::vector<Sample>& samples);

}  // namespace soak
