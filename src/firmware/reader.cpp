#include "firmware/reader.h"

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

void ReadSpark(const SourceText& source, const SourceLayout& layout, GridModel& model, Diagnostics& warnings) {
    if (!layout.spark) {
        warnings.push_back({.kind = Diagnostic::Kind::SparkLineMissing});
        return;
    }
    std::string text = model.spark.text;
    ReadNumberField(source, *layout.spark, text);
    model.spark.text = text;
    model.spark.text = std::to_string(6LL * StrToInt(model.spark.text));
}

void ReadSpeeds(const SourceText& source, const SourceLayout& layout, AdvanceGrid& grid, Diagnostics& warnings) {
    for (std::size_t k = 0; k < layout.speeds.size(); ++k)
        ReadInto(source, layout.speeds[k], grid, kSpeedColumn, kGridRows - 1 - static_cast<int>(k));
    if (layout.stop == ScanStop::Speeds) warnings.push_back(*DescribeStop(layout));
    // Only the rows read in this run hold speed codes; the others keep their speeds.
    for (std::size_t k = 0; k < layout.speeds.size(); ++k) {
        const int row = kGridRows - 1 - static_cast<int>(k);
        grid.SetCell(kSpeedColumn, row, std::to_string(SpeedOfCode(StrToInt(grid.Cell(kSpeedColumn, row)))));
    }
    grid.SetCell(kSpeedColumn, 1, "460");
}

}  // namespace

ReadResult ReadSource(const SourceText& source, const SourceLayout& layout, GridModel& model, unsigned& trimmerFlag,
                      Diagnostics& warnings) {
    ReadResult result{.stop = layout.stop};
    if (layout.stop == ScanStop::Marker) {
        warnings.push_back(*DescribeStop(layout));
        return result;
    }
    ReadSpark(source, layout, model, warnings);
    ReadSpeeds(source, layout, model.grid, warnings);
    if (layout.stop == ScanStop::Speeds) return result;

    if (const auto flag = TrimmerFlagOf(source, layout)) trimmerFlag = *flag;
    for (std::size_t t = 0; t < 3 && layout.labels[t]; ++t) {
        result.labelDigits[t] = source.Text()[*layout.labels[t] + 9];
        for (std::size_t k = 0; k < layout.entries[t].size(); ++k)
            ReadInto(source, layout.entries[t][k], model.grid, static_cast<int>(t) + 1, static_cast<int>(k) + 1);
    }
    if (const auto stopped = DescribeStop(layout)) warnings.push_back(*stopped);
    return result;
}

}  // namespace tc
