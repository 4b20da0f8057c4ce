#include "firmware/writer.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "chart/language.h"
#include "firmware/scanner.h"
#include "table/conversion.h"
#include "table/extended.h"
#include "table/numbers.h"

namespace tc {

long long SparkCodeOf(int sparkMicroseconds) { return RoundHalfEven(Extended(sparkMicroseconds) / 6); }

long long SpeedCodeOf(int speed) {
    if (speed == 0) throw ConversionError(kDivisionByZero);
    return RoundHalfEven(Extended(255) - Extended(117187.5) / speed);
}

namespace {

const std::string kSpeedComment = Utf8ToCp1251("\t;сравнение РОН с контстантой");
const std::string kEntryComment = Utf8ToCp1251("\t;множитель");
const std::string kStoreLine = Utf8ToCp1251("st X+, R16\t;в ОЗУ, ");
const std::string kDegree = Utf8ToCp1251("°");

RewriteResult Refuse(std::string warning) {
    RewriteResult result;
    result.warning = std::move(warning);
    return result;
}

// Where the line of each item the scan found starts, in text order.
std::vector<std::size_t> FoundLineStarts(const SourceText& source, const SourceLayout& layout) {
    std::vector<std::size_t> found = layout.speeds;
    for (const auto& at : {layout.marker, layout.spark, layout.spark2})
        if (at) found.push_back(*at);
    found.insert(found.end(), layout.trimmers.begin(), layout.trimmers.end());
    for (std::size_t t = 0; t < 3; ++t) {
        if (layout.labels[t]) found.push_back(*layout.labels[t]);
        found.insert(found.end(), layout.entries[t].begin(), layout.entries[t].end());
    }
    std::sort(found.begin(), found.end());
    for (std::size_t& at : found) at = source.LineStart(at);
    return found;
}

// A line start of the source moved to where that line starts after the edits:
// the rewrite keeps the line count and changes only the lengths of the lines it replaces.
class LineShift {
public:
    LineShift(const SourceText& source, const std::vector<SourceText::LineEdit>& edits) {
        for (const auto& edit : edits) {
            const std::size_t length = source.LineEnd(edit.lineStart) - edit.lineStart;
            shifts_.push_back({edit.lineStart, static_cast<std::ptrdiff_t>(edit.text.size()) -
                                                   static_cast<std::ptrdiff_t>(length)});
        }
        std::sort(shifts_.begin(), shifts_.end());
        std::ptrdiff_t total = 0;
        for (auto& [start, shift] : shifts_) shift = total += shift;  // what the lines up to this one add
    }
    std::size_t operator()(std::size_t lineStart) const {
        const auto after = std::lower_bound(shifts_.begin(), shifts_.end(), std::pair{lineStart, PTRDIFF_MIN});
        if (after == shifts_.begin()) return lineStart;
        return static_cast<std::size_t>(static_cast<std::ptrdiff_t>(lineStart) + std::prev(after)->second);
    }

private:
    std::vector<std::pair<std::size_t, std::ptrdiff_t>> shifts_;
};

}  // namespace

RewriteResult RewriteSource(const SourceText& source, const GridModel& model, unsigned languageFlag,
                            char32_t separator) {
    return RewriteSource(source, ScanSource(source), model, languageFlag, separator);
}

RewriteResult RewriteSource(const SourceText& source, const SourceLayout& layout, const GridModel& model,
                            unsigned languageFlag, char32_t separator) {
    if (layout.marker && !layout.spark) return Refuse(SparkLineMissing(languageFlag));
    if (layout.stop != ScanStop::Complete) return Refuse(DescribeStop(layout, languageFlag));

    std::vector<SourceText::LineEdit> edits;
    const auto replace = [&](std::size_t position, std::string text) {
        edits.push_back({source.LineStart(position), std::move(text)});
    };

    const std::string& sparkText = model.spark.text;
    const std::string sparkCode = std::to_string(SparkCodeOf(StrToInt(sparkText)));
    const std::string sparkComment = "\t\t;" + Utf8ToCp1251(sparkText) + "mks";
    replace(*layout.spark, "cpi R18, " + sparkCode + sparkComment);
    if (layout.spark2) replace(*layout.spark2, "cpi R19, " + sparkCode + sparkComment);

    for (int k = 0; k < kSpeedLines; ++k) {
        const int row = kGridRows - 1 - k;
        const int speed = StrToInt(model.grid.Cell(kSpeedColumn, row));
        if (speed < kLowestSpeed) return Refuse(Text(Msg::RpmTooLow, languageFlag));
        if (speed > kHighestSpeed) return Refuse(Text(Msg::RpmTooHigh, languageFlag));
        replace(layout.speeds[static_cast<std::size_t>(k)], "cpi R21, " + std::to_string(SpeedCodeOf(speed)) + kSpeedComment);
    }

    for (int t = 0; t < 3; ++t) {
        const int column = t + 1;
        for (int k = 0; k < kTableEntries; ++k) {
            const int row = k + 1;
            const std::string& codeText = model.grid.Cell(column, row);
            const int code = StrToInt(codeText);
            const std::string angle = CodeToAngle(StrToInt(model.sensor.text), code, separator);
            const std::size_t at = layout.entries[static_cast<std::size_t>(t)][static_cast<std::size_t>(k)];
            const auto next = source.NextLineStart(at);
            if (!next) return Refuse(LayoutConflict(source.LineNumber(at), languageFlag));
            replace(at, "ldi R16, " + Utf8ToCp1251(codeText) + kEntryComment);
            edits.push_back({*next, kStoreLine + Utf8ToCp1251(angle) + kDegree});
        }
    }

    // Two items on one line would overwrite each other: refuse rather than damage the source.
    std::vector<std::size_t> starts;
    starts.reserve(edits.size());
    for (const auto& edit : edits) starts.push_back(edit.lineStart);
    std::sort(starts.begin(), starts.end());
    if (const auto twin = std::adjacent_find(starts.begin(), starts.end()); twin != starts.end())
        return Refuse(LayoutConflict(source.LineNumber(*twin), languageFlag));
    // Nor may a rewrite take away the marker, a label or an adjust-resistor instruction on its
    // line: the saved file would no longer read back, nor assemble.
    std::vector<std::pair<std::size_t, std::string>> kept;
    if (layout.marker) kept.emplace_back(*layout.marker, ";блок задержки искры");
    for (std::size_t t = 0; t < 3; ++t) kept.emplace_back(*layout.labels[t], kTableLabels[t]);
    for (const std::size_t at : layout.trimmers) kept.emplace_back(at, kTrimmerLiteral);
    for (const auto& [at, literal] : kept)
        if (std::binary_search(starts.begin(), starts.end(), source.LineStart(at)))
            return Refuse(ErasedItem(source.LineNumber(at), literal, languageFlag));

    // A number field reads past its line end, so a line of another length can move
    // what the next scan finds: the saved file must read back from the same lines.
    std::vector<std::size_t> before = FoundLineStarts(source, layout);
    const LineShift shift(source, edits);
    for (std::size_t& start : before) start = shift(start);

    RewriteResult result;
    result.text = source.WithLines(std::move(edits));
    result.layout = ScanSource(result.text);
    const std::vector<std::size_t> after = FoundLineStarts(result.text, result.layout);
    const auto moved = std::mismatch(before.begin(), before.end(), after.begin(), after.end());
    if (moved.first != before.end() || moved.second != after.end()) {
        const std::size_t start = moved.first == before.end()    ? *moved.second
                                  : moved.second == after.end() ? *moved.first
                                                                : std::min(*moved.first, *moved.second);
        return Refuse(MovedItem(result.text.LineNumber(start), languageFlag));
    }
    result.ok = true;
    return result;
}

}  // namespace tc
