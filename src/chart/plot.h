// The advance curve: one point per grid row, kept in ascending speed.
#pragma once

#include <string>
#include <vector>

#include "table/grid.h"

namespace tc {

struct Rgb {
    int r, g, b;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb kRed{255, 0, 0};    // a row with a numeric angle
inline constexpr Rgb kGreen{0, 128, 0};  // a "-" row, drawn at the last angle above it

struct PlotPoint {
    double x = 0;  // engine speed, rpm
    double y = 0;  // advance angle, degrees
    Rgb color = kRed;
    friend bool operator==(const PlotPoint&, const PlotPoint&) = default;
};

// The point list of the chart. A stair step leads from each point to the
// next, drawn in the colour of the point it leads to.
class PlotSeries {
public:
    const std::vector<PlotPoint>& Points() const { return points_; }
    void Clear() { points_.clear(); }
    // After every point whose x is less than or equal to its own.
    void Add(PlotPoint point);

private:
    std::vector<PlotPoint> points_;
};

// Replaces the points with rows 1 to 32. A cell that does not convert ends
// it with a ConversionError, leaving the rows before it plotted.
void PlotAngleColumn(const AdvanceGrid& grid, char32_t separator, PlotSeries& series);

// The chart title from the language, the adjust-resistor flag and the file name.
std::string UpdateChartTitle(unsigned languageFlag, unsigned trimmerFlag, const std::string& sourceFileName);

}  // namespace tc
