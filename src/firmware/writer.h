// Writes the grid's tables, speeds and spark duration back into the lines
// of a source text that the reader took them from.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "firmware/scanner.h"
#include "firmware/source_text.h"
#include "table/diagnostic.h"
#include "table/grid.h"

namespace tc {

inline constexpr int kLowestSpeed = 460;
inline constexpr int kHighestSpeed = 20000;

// round(spark / 6) and round(255 - 117187.5 / speed), halves to even.
long long SparkCodeOf(int sparkMicroseconds);
long long SpeedCodeOf(int speed);
// The speed code without the emulated arithmetic where plain arithmetic is sure
// to agree with it (see QuickRound), and through the emulation alone.
std::optional<long long> QuickSpeedCodeOf(int speed);
long long ExactSpeedCodeOf(int speed);

struct RewriteResult {
    std::optional<Diagnostic> refusal;  // why the save was refused, when it was
    SourceText text;                    // the rewritten text, when not refused
    SourceLayout layout;                // and its ScanSource, once checked
    // The starts of the lines whose length the rewrite changed, each with what the
    // changed lines up to and including it added, by line start.
    std::vector<std::pair<std::size_t, std::ptrdiff_t>> shifts;
};

// Builds every new line first, then changes the text in one pass. A refused
// rewrite leaves no change; a text that does not convert throws ConversionError.
// The layout is ScanSource(source), found before.
RewriteResult RewriteSource(const SourceText& source, const SourceLayout& layout, const GridModel& model,
                            char32_t separator);

// RewriteSource in two steps, so that the check can run while the text goes to
// the disk: the text alone, its layout still empty, then the check that the
// rewritten text reads back from the same lines, which fills in the layout. The
// check needs the result of RewriteText on the same source and layout.
RewriteResult RewriteText(const SourceText& source, const SourceLayout& layout, const GridModel& model,
                          char32_t separator);
std::optional<Diagnostic> CheckReadsBack(const SourceText& source, const SourceLayout& layout, RewriteResult& result);

}  // namespace tc
