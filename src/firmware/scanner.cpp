#include "firmware/scanner.h"

#include "chart/language.h"

namespace tc {

const std::string kSparkMarker = Utf8ToCp1251(";блок задержки искры");

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

}  // namespace

SourceLayout ScanSource(const SourceText& source) {
    SourceLayout layout;
    layout.marker = source.Find(kSparkMarker, 0);
    if (!layout.marker) {
        layout.stop = ScanStop::Marker;
        return layout;
    }
    const std::size_t m = *layout.marker;
    std::size_t position = m + kSparkReach + 1;
    if (const auto spark = source.Find(kSparkLiteral, m + 1, m + kSparkReach + 1)) {
        layout.spark = spark;
        position = *spark + kFieldResume;
        layout.spark2 = source.Find(kSpark2Literal, *spark + 1, *spark + kSpark2Reach + 1);
    }

    position = CountFields(source, kSpeedLiteral, position, kSpeedLines, layout.speeds);
    if (static_cast<int>(layout.speeds.size()) < kSpeedLines) {
        layout.stop = ScanStop::Speeds;
        return layout;
    }

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
            return layout;
        }
        layout.labels[t] = label;
        position = CountFields(source, kEntryLiteral, *label + 1, kTableEntries, layout.entries[t]);
        if (static_cast<int>(layout.entries[t].size()) < kTableEntries) {
            layout.stop = kEntryStops[t];
            return layout;
        }
    }
    return layout;
}

std::optional<unsigned> TrimmerFlagOf(const SourceText& source, const SourceLayout& layout) {
    if (layout.trimmers.empty()) return std::nullopt;
    const std::size_t hit = layout.trimmers.back();
    return source.Text()[hit - 1] == ';' ? 0u : 1u;
}

std::string DescribeStop(const SourceLayout& layout, unsigned languageFlag) {
    const bool en = languageFlag == kEnglish;
    switch (layout.stop) {
    case ScanStop::Complete: return {};
    case ScanStop::Marker: return MissingItem(";блок задержки искры", languageFlag);
    case ScanStop::Speeds:
        return TooFewItems(kSpeedLiteral, layout.speeds.size(), kSpeedLines,
                           en ? "(engine speeds)" : "(обороты двигателя)", languageFlag);
    case ScanStop::Label1: return MissingItem(kTableLabels[0], languageFlag);
    case ScanStop::Label2: return MissingItem(kTableLabels[1], languageFlag);
    case ScanStop::Label3: return MissingItem(kTableLabels[2], languageFlag);
    case ScanStop::Entries1:
    case ScanStop::Entries2:
    case ScanStop::Entries3: {
        const std::size_t t = layout.stop == ScanStop::Entries1 ? 0 : layout.stop == ScanStop::Entries2 ? 1 : 2;
        return TooFewItems(kEntryLiteral, layout.entries[t].size(), kTableEntries,
                           std::string(en ? "after " : "после ") + kTableLabels[t], languageFlag);
    }
    }
    return {};
}

}  // namespace tc
