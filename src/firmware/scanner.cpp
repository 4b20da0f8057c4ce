#include "firmware/scanner.h"

namespace tc {

const std::string kSparkMarker = Utf8ToCp1251(kSparkMarkerText);

namespace {

// A number field spans the literal, one separator and up to three digits;
// the next window starts at its third digit.
constexpr std::size_t kFieldResume = 11;

// Counts up to `needed` occurrences from `from`, each search resuming after the field.
std::size_t CountFields(const SourceText& source, std::string_view literal, std::size_t from, int needed,
                        std::vector<std::size_t>& out) {
    std::size_t position = from;
    while (static_cast<int>(out.size()) < needed) {
        const auto at = source.Find(literal, position);
        if (!at) break;
        out.push_back(*at);
        position = *at + kFieldResume;
    }
    return position;
}

// The spark lines after the marker; where the speed search starts.
std::size_t ScanSpark(const SourceText& source, SourceLayout& layout) {
    const std::size_t m = *layout.marker;
    const auto spark = source.Find(kSparkLiteral, m + 1, m + kSparkReach + 1);
    if (!spark) return m + kSparkReach + 1;
    layout.spark = spark;
    layout.spark2 = source.Find(kSpark2Literal, *spark + 1, *spark + kSpark2Reach + 1);
    return *spark + kFieldResume;
}

// The three labelled tables from the position on, and the adjust-resistor
// instructions before the first label.
void ScanTables(const SourceText& source, std::size_t position, SourceLayout& layout) {
    static constexpr ScanStop kLabelStops[] = {ScanStop::Label1, ScanStop::Label2, ScanStop::Label3};
    static constexpr ScanStop kEntryStops[] = {ScanStop::Entries1, ScanStop::Entries2, ScanStop::Entries3};
    for (std::size_t t = 0; t < 3; ++t) {
        const auto label = source.Find(kTableLabels[t], position);
        if (t == 0) {
            const std::size_t limit = label ? *label : source.Size();
            for (auto hit = source.Find(kTrimmerLiteral, position, limit); hit;
                 hit = source.Find(kTrimmerLiteral, *hit + 1, limit))
                layout.trimmers.push_back(*hit);
        }
        if (!label) {
            layout.stop = kLabelStops[t];
            return;
        }
        layout.labels[t] = label;
        position = CountFields(source, kEntryLiteral, *label + 1, kTableEntries, layout.entries[t]);
        if (static_cast<int>(layout.entries[t].size()) < kTableEntries) {
            layout.stop = kEntryStops[t];
            return;
        }
    }
}

}  // namespace

SourceLayout ScanSource(const SourceText& source) {
    SourceLayout layout;
    layout.marker = source.Find(kSparkMarker, 0);
    if (!layout.marker) {
        layout.stop = ScanStop::Marker;
        return layout;
    }
    std::size_t position = ScanSpark(source, layout);
    position = CountFields(source, kSpeedLiteral, position, kSpeedLines, layout.speeds);
    if (static_cast<int>(layout.speeds.size()) < kSpeedLines) {
        layout.stop = ScanStop::Speeds;
        return layout;
    }
    ScanTables(source, position, layout);
    return layout;
}

std::optional<unsigned> TrimmerFlagOf(const SourceText& source, const SourceLayout& layout) {
    if (layout.trimmers.empty()) return std::nullopt;
    const std::size_t hit = layout.trimmers.back();
    return source.Text()[hit - 1] == ';' ? 0u : 1u;
}

std::optional<Diagnostic> DescribeStop(const SourceLayout& layout) {
    using Kind = Diagnostic::Kind;
    const auto missing = [](const char* literal) { return Diagnostic{.kind = Kind::MissingItem, .literal = literal}; };
    switch (layout.stop) {
        case ScanStop::Complete: return std::nullopt;
        case ScanStop::Marker: return missing(kSparkMarkerText);
        case ScanStop::Speeds:
            return Diagnostic{.kind = Kind::TooFewSpeeds,
                              .literal = kSpeedLiteral,
                              .found = layout.speeds.size(),
                              .needed = kSpeedLines};
        case ScanStop::Label1: return missing(kTableLabels[0]);
        case ScanStop::Label2: return missing(kTableLabels[1]);
        case ScanStop::Label3: return missing(kTableLabels[2]);
        case ScanStop::Entries1:
        case ScanStop::Entries2:
        case ScanStop::Entries3: {
            const std::size_t t = layout.stop == ScanStop::Entries1 ? 0 : layout.stop == ScanStop::Entries2 ? 1 : 2;
            return Diagnostic{.kind = Kind::TooFewEntries,
                              .literal = kEntryLiteral,
                              .table = kTableLabels[t],
                              .found = layout.entries[t].size(),
                              .needed = kTableEntries};
        }
    }
    return std::nullopt;
}

}  // namespace tc
