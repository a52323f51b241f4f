#pragma once

// What the long run's samples say about growth: the change from the first sample to the last,
// the growth that stays and the trend per cycle, and whether the growth that stays goes beyond
// the noise of a process under Wine.

#include <string>
#include <vector>

#include "bench/soak/panel_figures.h"

namespace soak {

struct Sample {
    int cycles = 0;  // cycles done when the sample was taken
    PanelFigures figures;
};

// The trend of y over x: the median of the slopes between every two points (Theil and Sen), which
// a heap that gives back or takes a megabyte now and then does not tilt as a least-squares line
// would; 0 when x holds fewer than two distinct values.
double Slope(const std::vector<double>& x, const std::vector<double>& y);

struct GrowthVerdict {
    std::vector<std::string> lines;  // the figures, for the report
    bool beyondNoise = false;
};

double Median(std::vector<double> values);  // 0 for none

// How much the median of the last third of the values lies above that of the first third: growth
// that stays, which neither one high or low sample nor heap pages that come and go make.
double PersistentGrowth(const std::vector<double>& values);

// Judges the samples taken after the first cycle (the panel warmed up: its first menu, picker,
// box and save dialog loaded what they need once) up to the end.
GrowthVerdict JudgeGrowth(const std::vector<Sample>& samples);

}  // namespace soak
