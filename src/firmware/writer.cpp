#include "firmware/writer.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "firmware/scanner.h"
#include "table/conversion.h"
#include "table/extended.h"
#include "table/numbers.h"

namespace tc {

long long SparkCodeOf(int sparkMicroseconds) { return RoundHalfEven(Extended(sparkMicroseconds) / 6); }

long long SpeedCodeOf(int speed) {
    if (const auto quick = QuickSpeedCodeOf(speed)) return *quick;
    return ExactSpeedCodeOf(speed);
}

std::optional<long long> QuickSpeedCodeOf(int speed) {
    if (speed == 0) return std::nullopt;
    // The quotient is at most 117187.5, so its two roundings in doubles stay below 2e-11.
    return QuickRound(255 - 117187.5 / speed);
}

long long ExactSpeedCodeOf(int speed) {
    if (speed == 0) throw ConversionError(kDivisionByZero);
    return RoundHalfEven(Extended(255) - Extended(117187.5) / speed);
}

namespace {

const std::string kSpeedComment = Utf8ToCp1251("\t;сравнение РОН с контстантой");
const std::string kEntryComment = Utf8ToCp1251("\t;множитель");
const std::string kStoreLine = Utf8ToCp1251("st X+, R16\t;в ОЗУ, ");
const std::string kDegree = Utf8ToCp1251("°");

RewriteResult Refuse(Diagnostic refusal) {
    RewriteResult result;
    result.refusal = std::move(refusal);
    return result;
}

Diagnostic AtLine(Diagnostic::Kind kind, std::size_t line, std::string literal = {}) {
    return {.kind = kind, .literal = std::move(literal), .line = line};
}

// Where the line of each item the scan found starts, in text order.
std::vector<std::size_t> FoundLineStarts(const SourceText& source, const SourceLayout& layout) {
    std::vector<std::size_t> found;
    found.reserve(layout.speeds.size() + layout.trimmers.size() + 2 + std::size_t{3} * (1 + kTableEntries));
    found.assign(layout.speeds.begin(), layout.speeds.end());
    // Not the second spark line: no value is read from it, and the rewrite finds it anew.
    for (const auto& at : {layout.marker, layout.spark})
        if (at) found.push_back(*at);
    found.insert(found.end(), layout.trimmers.begin(), layout.trimmers.end());
    for (std::size_t t = 0; t < 3; ++t) {
        if (layout.labels[t]) found.push_back(*layout.labels[t]);
        found.insert(found.end(), layout.entries[t].begin(), layout.entries[t].end());
    }
    if (!std::is_sorted(found.begin(), found.end())) std::sort(found.begin(), found.end());
    for (std::size_t& at : found) at = source.LineStart(at);
    return found;
}

// A line start of the source moved to where that line starts after the edits.
std::size_t Shifted(const std::vector<std::pair<std::size_t, std::ptrdiff_t>>& shifts, std::size_t lineStart) {
    const auto after = std::lower_bound(shifts.begin(), shifts.end(), std::pair{lineStart, PTRDIFF_MIN});
    if (after == shifts.begin()) return lineStart;
    return static_cast<std::size_t>(static_cast<std::ptrdiff_t>(lineStart) + std::prev(after)->second);
}

// The new lines, in the order the items were found; a refusal when a value cannot be written.
// Their texts go one after another into one buffer: a save writes some 230 lines.
class EditList {
public:
    EditList(const SourceText& source, const SourceLayout& layout) : source_(source), layout_(layout) {}

    std::optional<Diagnostic> Build(const GridModel& model, char32_t separator) {
        lines_.reserve(2 + kSpeedLines + 2 * 3 * kTableEntries);
        texts_.reserve(64 * lines_.capacity());
        AddSpark(model.spark.text);
        if (auto refusal = AddSpeeds(model.grid)) return refusal;
        return AddTables(model, separator);
    }
    // Views into this list's buffer: valid while the list lives.
    std::vector<SourceText::LineEdit> Edits() const {
        std::vector<SourceText::LineEdit> edits;
        edits.reserve(lines_.size());
        const std::string_view texts = texts_;
        for (std::size_t i = 0; i < lines_.size(); ++i) {
            // A line's text runs up to where the next one's begins.
            const std::size_t end = i + 1 < lines_.size() ? lines_[i + 1].offset : texts_.size();
            edits.push_back({lines_[i].start, texts.substr(lines_[i].offset, end - lines_[i].offset)});
        }
        return edits;
    }

private:
    struct Line {
        std::size_t start;   // of the line replaced
        std::size_t offset;  // of its new text in texts_
    };

    // The new text of the line that starts there: what is appended to texts_ until the next line.
    void StartLine(std::size_t lineStart) { lines_.push_back({lineStart, texts_.size()}); }

    void AddSpark(const std::string& sparkText) {
        std::string rest = std::to_string(SparkCodeOf(StrToInt(sparkText))) + "\t\t;";
        AppendCp1251(rest, sparkText);
        rest += "mks";
        const std::size_t lineStart = source_.LineStart(*layout_.spark);
        const std::size_t lineEnd = source_.LineEnd(lineStart);
        StartLine(lineStart);
        texts_ += "cpi R18, ";
        texts_ += rest;
        const auto grown = static_cast<std::ptrdiff_t>(texts_.size() - lines_.back().offset) -
                           static_cast<std::ptrdiff_t>(lineEnd - lineStart);
        if (const auto second = SecondSparkLine(lineStart, lineEnd, grown)) {
            StartLine(source_.LineStart(*second));
            texts_ += "cpi R19, ";
            texts_ += rest;
        }
    }

    // The second spark line is looked for in the text with the first one rewritten, 1 to 250
    // positions after the rewritten line's "cpi R18, ", which starts it: where the next open
    // finds it, so that saving again gives the same file. A first line that grows or shrinks
    // moves it out of reach or into it. Its match, by its position in the source.
    std::optional<std::size_t> SecondSparkLine(std::size_t lineStart, std::size_t lineEnd, std::ptrdiff_t grown) const {
        const std::size_t nextLine = lineEnd + 2;  // the rewritten line itself holds no match
        const auto before = static_cast<std::ptrdiff_t>(lineStart + kSpark2Reach) + 1 - grown;
        if (before <= static_cast<std::ptrdiff_t>(nextLine)) return std::nullopt;
        return source_.Find(kSpark2Literal, nextLine, static_cast<std::size_t>(before));
    }

    std::optional<Diagnostic> AddSpeeds(const AdvanceGrid& grid) {
        for (int k = 0; k < kSpeedLines; ++k) {
            const int speed = StrToInt(grid.Cell(kSpeedColumn, kGridRows - 1 - k));
            if (speed < kLowestSpeed) return Diagnostic{.kind = Diagnostic::Kind::RpmTooLow};
            if (speed > kHighestSpeed) return Diagnostic{.kind = Diagnostic::Kind::RpmTooHigh};
            StartLine(source_.LineStart(layout_.speeds[static_cast<std::size_t>(k)]));
            texts_ += "cpi R21, ";
            texts_ += std::to_string(SpeedCodeOf(speed));
            texts_ += kSpeedComment;
        }
        return std::nullopt;
    }

    std::optional<Diagnostic> AddTables(const GridModel& model, char32_t separator) {
        const int sensor = StrToInt(model.sensor.text);
        for (int t = 0; t < 3; ++t) {
            for (int k = 0; k < kTableEntries; ++k) {
                const std::string& codeText = model.grid.Cell(t + 1, k + 1);
                const int code = StrToInt(codeText);
                const std::size_t at = layout_.entries[static_cast<std::size_t>(t)][static_cast<std::size_t>(k)];
                const auto next = source_.NextLineStart(at);
                if (!next) return AtLine(Diagnostic::Kind::LayoutConflict, source_.LineNumber(at));
                StartLine(source_.LineStart(at));
                texts_ += "ldi R16, ";
                AppendCp1251(texts_, codeText);
                texts_ += kEntryComment;
                StartLine(*next);
                texts_ += kStoreLine;
                AppendCp1251(texts_, CodeToAngle(sensor, code, separator));
                texts_ += kDegree;
            }
        }
        return std::nullopt;
    }

    const SourceText& source_;
    const SourceLayout& layout_;
    std::string texts_;
    std::vector<Line> lines_;
};

// Two items on one line would overwrite each other, and a rewrite may not take away
// the marker, a label or an adjust-resistor instruction on its line: the saved file
// would no longer read back, nor assemble. Refuse rather than damage the source.
std::optional<Diagnostic> CheckLines(const SourceText& source, const SourceLayout& layout,
                                     const std::vector<SourceText::LineEdit>& edits) {
    std::vector<std::size_t> starts;
    starts.reserve(edits.size());
    for (const auto& edit : edits) starts.push_back(edit.lineStart);
    // The edits come in text order unless the source puts its items in another.
    if (!std::is_sorted(starts.begin(), starts.end())) std::sort(starts.begin(), starts.end());
    if (const auto twin = std::adjacent_find(starts.begin(), starts.end()); twin != starts.end())
        return AtLine(Diagnostic::Kind::LayoutConflict, source.LineNumber(*twin));
    std::vector<std::pair<std::size_t, std::string>> kept;
    if (layout.marker) kept.emplace_back(*layout.marker, kSparkMarkerText);
    for (std::size_t t = 0; t < 3; ++t) kept.emplace_back(*layout.labels[t], kTableLabels[t]);
    for (const std::size_t at : layout.trimmers) kept.emplace_back(at, kTrimmerLiteral);
    for (const auto& [at, literal] : kept)
        if (std::binary_search(starts.begin(), starts.end(), source.LineStart(at)))
            return AtLine(Diagnostic::Kind::ErasedItem, source.LineNumber(at), literal);
    return std::nullopt;
}

}  // namespace

RewriteResult RewriteText(const SourceText& source, const SourceLayout& layout, const GridModel& model,
                          char32_t separator) {
    if (layout.marker && !layout.spark) return Refuse({.kind = Diagnostic::Kind::SparkLineMissing});
    if (const auto stopped = DescribeStop(layout)) return Refuse(*stopped);

    EditList list(source, layout);
    if (auto refusal = list.Build(model, separator)) return Refuse(std::move(*refusal));
    std::vector<SourceText::LineEdit> edits = list.Edits();
    if (auto refusal = CheckLines(source, layout, edits)) return Refuse(std::move(*refusal));
    RewriteResult result;
    // A line that already holds its new text stays as it is: most lines of a save. One
    // of another length moves the lines after it.
    std::erase_if(edits, [&source, &shifts = result.shifts](const SourceText::LineEdit& edit) {
        const std::size_t length = source.LineEnd(edit.lineStart) - edit.lineStart;
        if (edit.text.size() == length) return source.ReadWindow(edit.lineStart, length) == edit.text;
        shifts.emplace_back(edit.lineStart,
                            static_cast<std::ptrdiff_t>(edit.text.size()) - static_cast<std::ptrdiff_t>(length));
        return false;
    });
    if (!std::is_sorted(result.shifts.begin(), result.shifts.end()))
        std::sort(result.shifts.begin(), result.shifts.end());
    std::ptrdiff_t total = 0;
    for (auto& [start, shift] : result.shifts) shift = total += shift;  // what the lines up to this one add
    result.text = source.WithLines(edits);
    return result;
}

// A number field reads past its line end, so a line of another length can move
// what the next scan finds: the saved file must read back from the same lines.
std::optional<Diagnostic> CheckReadsBack(const SourceText& source, const SourceLayout& layout, RewriteResult& result) {
    result.layout = ScanSource(result.text);
    std::vector<std::size_t> before = FoundLineStarts(source, layout);
    for (std::size_t& start : before) start = Shifted(result.shifts, start);
    const std::vector<std::size_t> after = FoundLineStarts(result.text, result.layout);
    const auto moved = std::mismatch(before.begin(), before.end(), after.begin(), after.end());
    if (moved.first == before.end() && moved.second == after.end()) return std::nullopt;
    const std::size_t start = moved.first == before.end()   ? *moved.second
                              : moved.second == after.end() ? *moved.first
                                                            : std::min(*moved.first, *moved.second);
    return AtLine(Diagnostic::Kind::MovedItem, result.text.LineNumber(start));
}

RewriteResult RewriteSource(const SourceText& source, const SourceLayout& layout, const GridModel& model,
                            char32_t separator) {
    RewriteResult result = RewriteText(source, layout, model, separator);
    if (result.refusal) return result;
    if (auto refusal = CheckReadsBack(source, layout, result)) return Refuse(std::move(*refusal));
    return result;
}

}  // namespace tc
