#include "firmware/reader.h"

#include "chart/language.h"
#include "table/extended.h"
#include "table/numbers.h"

namespace tc {

namespace {
bool IsDigit(std::string_view window) { return window.size() == 1 && window[0] >= '0' && window[0] <= '9'; }
}  // namespace

void ReadNumberField(const SourceText& source, std::size_t p, std::string& target) {
    if (const auto first = source.ReadWindow(p + 9, 1); IsDigit(first)) target.assign(1, first[0]);
    for (std::size_t at = p + 10; at <= p + 11; ++at)
        if (const auto next = source.ReadWindow(at, 1); IsDigit(next)) target.push_back(next[0]);
}

long long SpeedOfCode(int code) {
    const long long divisor = 255LL - code;
    if (divisor == 0) throw ConversionError(kDivisionByZero);
    return 10 * RoundHalfEven(Extended(11718.75) / divisor);
}

namespace {

void ReadInto(const SourceText& source, std::size_t p, AdvanceGrid& grid, int column, int row) {
    std::string text = grid.Cell(column, row);
    ReadNumberField(source, p, text);
    grid.SetCell(column, row, std::move(text));
}

}  // namespace

ScanStop ReadSource(const SourceText& source, GridModel& model, unsigned languageFlag, unsigned& trimmerFlag,
                    const std::function<void(const std::string&)>& warn) {
    return ReadSource(source, ScanSource(source), model, languageFlag, trimmerFlag, warn);
}

ScanStop ReadSource(const SourceText& source, const SourceLayout& layout, GridModel& model, unsigned languageFlag,
                    unsigned& trimmerFlag, const std::function<void(const std::string&)>& warn) {
    const std::string stopped = DescribeStop(layout, languageFlag);
    if (layout.stop == ScanStop::Marker) {
        warn(stopped);
        return layout.stop;
    }

    if (layout.spark) {
        std::string text = model.spark.text;
        ReadNumberField(source, *layout.spark, text);
        model.spark.SetText(text);
        model.spark.SetText(std::to_string(6LL * StrToInt(model.spark.text)));
    } else {
        warn(SparkLineMissing(languageFlag));
    }

    for (std::size_t k = 0; k < layout.speeds.size(); ++k)
        ReadInto(source, layout.speeds[k], model.grid, kSpeedColumn, kGridRows - 1 - static_cast<int>(k));
    if (layout.stop == ScanStop::Speeds) warn(stopped);
    // Only the rows read in this run hold speed codes; the others keep their speeds.
    for (std::size_t k = 0; k < layout.speeds.size(); ++k) {
        const int row = kGridRows - 1 - static_cast<int>(k);
        model.grid.SetCell(kSpeedColumn, row, std::to_string(SpeedOfCode(StrToInt(model.grid.Cell(kSpeedColumn, row)))));
    }
    model.grid.SetCell(kSpeedColumn, 1, "460");
    if (layout.stop == ScanStop::Speeds) return layout.stop;

    if (const auto flag = TrimmerFlagOf(source, layout)) trimmerFlag = *flag;

    for (std::size_t t = 0; t < 3; ++t) {
        if (!layout.labels[t]) break;
        const int column = static_cast<int>(t) + 1;
        const char digit = source.Text()[*layout.labels[t] + 9];
        model.grid.SetCell(column, 0, TableHeader(digit, languageFlag));
        for (std::size_t k = 0; k < layout.entries[t].size(); ++k)
            ReadInto(source, layout.entries[t][k], model.grid, column, static_cast<int>(k) + 1);
    }
    if (!stopped.empty()) warn(stopped);
    return layout.stop;
}

}  // namespace tc
