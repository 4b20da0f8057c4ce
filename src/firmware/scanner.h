// The one forward pass over a source text that finds the lines the program
// reads and, later, rewrites: the reader and the writer share it, so the
// writer touches exactly the lines the values came from, and the second spark
// line, which it looks for within reach of the first once that is rewritten.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "firmware/source_text.h"
#include "table/diagnostic.h"

namespace tc {

inline constexpr int kSpeedLines = 31;
inline constexpr int kTableEntries = 32;
inline constexpr std::size_t kSparkReach = 165;   // windows after the marker
inline constexpr std::size_t kSpark2Reach = 250;  // windows after the first spark line

inline constexpr const char* kSparkMarkerText = ";блок задержки искры";  // UTF-8
// Literals as Windows-1251 bytes.
extern const std::string kSparkMarker;  // kSparkMarkerText
inline constexpr const char* kSparkLiteral = "cpi R18,";
inline constexpr const char* kSpark2Literal = "cpi R19, ";
inline constexpr const char* kSpeedLiteral = "cpi R21,";
inline constexpr const char* kTrimmerLiteral = "sbi ADCSRA,";
inline constexpr const char* kEntryLiteral = "ldi R16,";
inline constexpr std::array<const char*, 3> kTableLabels = {"FuozTable1:", "FuozTable2:", "FuozTable3:"};

// Where the pass stopped before its end.
enum class ScanStop { Complete, Marker, Speeds, Label1, Entries1, Label2, Entries2, Label3, Entries3 };

struct SourceLayout {
    std::optional<std::size_t> marker;
    std::optional<std::size_t> spark;   // match of "cpi R18,"
    std::optional<std::size_t> spark2;  // match of "cpi R19, ", for the image check
    std::vector<std::size_t> speeds;    // the first belongs to row 32
    std::vector<std::size_t> trimmers;  // each "sbi ADCSRA," met before the first label
    std::array<std::optional<std::size_t>, 3> labels;
    std::array<std::vector<std::size_t>, 3> entries;  // row 1 first
    ScanStop stop = ScanStop::Complete;

    bool operator==(const SourceLayout&) const = default;
};

SourceLayout ScanSource(const SourceText& source);

// The last "sbi ADCSRA," met decides: 0 with ";" right before it, 1 otherwise.
std::optional<unsigned> TrimmerFlagOf(const SourceText& source, const SourceLayout& layout);

// The warning that names what the pass did not find; nothing when complete.
std::optional<Diagnostic> DescribeStop(const SourceLayout& layout);

}  // namespace tc
