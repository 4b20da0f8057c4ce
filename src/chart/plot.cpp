#include "chart/plot.h"

#include <algorithm>

#include "table/conversion.h"
#include "table/numbers.h"

namespace tc {

void PlotSeries::Add(PlotPoint point) {
    const auto at = std::upper_bound(points_.begin(), points_.end(), point.x,
                                     [](double x, const PlotPoint& p) { return x < p.x; });
    points_.insert(at, point);
}

void PlotAngleColumn(const AdvanceGrid& grid, char32_t separator, PlotSeries& series) {
    double lastAngle = 0.0;
    series.Clear();
    for (int row = 1; row < kGridRows; ++row) {
        const double x = StrToInt(grid.Cell(kSpeedColumn, row));
        const std::string& angle = grid.Cell(kAngleColumn, row);
        if (angle != kNoAngleText) {
            lastAngle = StrToFloat(angle, separator);
            series.Add({x, lastAngle, kRed});
        } else {
            series.Add({x, lastAngle, kGreen});
        }
    }
}

std::string UpdateChartTitle(unsigned languageFlag, unsigned trimmerFlag, const std::string& sourceFileName) {
    const bool english = languageFlag == 1;
    std::string title = english ? "Timing graph" : "График УОЗ";
    if (sourceFileName.empty()) return title;
    title += english ? ", file: " : ", файл: ";
    title += sourceFileName;
    if (trimmerFlag == 1)
        title += english ? ". Attention, with adjust resistor!" : ". Внимание, с подстроечным резистором!";
    return title;
}

}  // namespace tc
