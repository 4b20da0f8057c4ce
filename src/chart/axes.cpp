#include "chart/axes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "table/utf8.h"

namespace tc {

std::vector<Step> StepsOf(const std::vector<PlotPoint>& points) {
    std::vector<Step> steps;
    for (std::size_t i = 1; i < points.size(); ++i)
        steps.push_back({points[i - 1].x, points[i - 1].y, points[i].x, points[i].y, points[i].color});
    return steps;
}

double NiceStep(double span) {
    if (!(span > 0)) return 1;
    const double raw = span / 5;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    for (double factor : {1.0, 2.0, 5.0})
        if (raw <= factor * magnitude) return factor * magnitude;
    return 10 * magnitude;
}

Axis PaddedAxis(double low, double high) {
    const double span = high - low;
    const double pad = span > 0 ? span * 0.04 : std::max(1.0, std::abs(low) * 0.04);
    return {low - pad, high + pad, NiceStep(high - low + 2 * pad)};
}

ChartAxes AxesFor(const std::vector<PlotPoint>& points) {
    if (points.empty()) return {{0, 20000, NiceStep(20000)}, {0, 40, NiceStep(40)}};
    const auto [low, high] = std::minmax_element(points.begin(), points.end(),
                                                 [](const PlotPoint& a, const PlotPoint& b) { return a.y < b.y; });
    return {PaddedAxis(points.front().x, points.back().x), PaddedAxis(low->y, high->y)};
}

std::vector<double> Ticks(const Axis& axis) {
    std::vector<double> ticks;
    if (!(axis.step > 0) || !(axis.high >= axis.low)) return ticks;
    // Multiples of the step counted from zero, so 0 is a tick whenever it is in range.
    const double slack = axis.step * 1e-9;
    for (double k = std::ceil((axis.low - slack) / axis.step); k * axis.step <= axis.high + slack; ++k)
        ticks.push_back(k * axis.step == 0 ? 0.0 : k * axis.step);
    return ticks;
}

std::string TickLabel(double value, bool speed) {
    char text[32];
    std::snprintf(text, sizeof text, speed ? "%.0f" : "%g", value);
    return text;
}

std::string FitTitle(const std::string& title, const std::string& fileName, double room,
                     const std::function<double(const std::string&)>& width) {
    const std::size_t at = fileName.empty() ? std::string::npos : title.rfind(fileName);
    if (at == std::string::npos || width(title) <= room) return title;
    std::vector<std::string> name;  // the file name's characters
    for (std::size_t i = 0; i < fileName.size();) {
        const std::size_t from = i;
        DecodeUtf8(fileName, i);
        name.push_back(fileName.substr(from, i - from));
    }
    const std::string lead = title.substr(0, at), tail = title.substr(at + fileName.size());
    std::string shown;
    // One character less at a time, alternately from the left and the right half.
    for (std::size_t kept = name.size(); kept-- > 0;) {
        std::string middle;
        for (std::size_t i = 0; i < (kept + 1) / 2; ++i) middle += name[i];
        middle += "\u2026";
        for (std::size_t i = name.size() - kept / 2; i < name.size(); ++i) middle += name[i];
        shown = lead;
        shown += middle;
        shown += tail;
        if (width(shown) <= room) break;
    }
    return shown;
}

}  // namespace tc
