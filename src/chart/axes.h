// The chart's frame, the same in every window: the axes' ranges, ticks and
// labels, and the title fitted to one line.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "chart/plot.h"

namespace tc {

struct Axis {
    double low = 0;
    double high = 0;
    double step = 1;  // ticks and grid lines at every multiple of it
    friend bool operator==(const Axis&, const Axis&) = default;
};

struct ChartAxes {
    Axis x;  // engine speed
    Axis y;  // advance angle
    friend bool operator==(const ChartAxes&, const ChartAxes&) = default;
};

// One stair step of the curve: level from (x0, y0) to the next point's speed
// x1, then up or down to its angle y1, in that point's colour.
struct Step {
    double x0, y0, x1, y1;
    Rgb color;
    friend bool operator==(const Step&, const Step&) = default;
};
std::vector<Step> StepsOf(const std::vector<PlotPoint>& points);

// Round steps (1, 2 or 5 times a power of ten) giving about five ticks over the span.
double NiceStep(double span);
// The extremes with room beyond them, so that a marker at an edge is drawn whole.
Axis PaddedAxis(double low, double high);
// The axes for the points; without points a plausible frame of speeds and angles.
ChartAxes AxesFor(const std::vector<PlotPoint>& points);
// The tick values inside the axis, ascending.
std::vector<double> Ticks(const Axis& axis);
// A tick's label: speeds as whole numbers, angles in the shortest form ("%g").
std::string TickLabel(double value, bool speed);

// The title in the room given: a file name in it that does not fit gives way in
// its middle to an ellipsis, so that the warning after it stays whole.
std::string FitTitle(const std::string& title, const std::string& fileName, double room,
                     const std::function<double(const std::string&)>& width);

}  // namespace tc
