#include "chart/plot.h"

#include <algorithm>

#include "table/conversion.h"
#include "table/numbers.h"
#include "text/texts.h"

namespace tc {

void PlotSeries::Add(PlotPoint point) {
    const auto at =
        std::upper_bound(points_.begin(), points_.end(), point.x, [](double x, const PlotPoint& p) { return x < p.x; });
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
    std::string title = TitleText(TitlePiece::Graph, languageFlag);
    if (sourceFileName.empty()) return title;
    title += TitleText(TitlePiece::FileLead, languageFlag) + sourceFileName;
    if (trimmerFlag == 1) title += TitleText(TitlePiece::AdjustResistor, languageFlag);
    return title;
}

}  // namespace tc
