// Takes the spark duration, the engine speeds, the adjust-resistor flag and
// the three tables out of a source text into the grid.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "firmware/scanner.h"
#include "firmware/source_text.h"
#include "table/diagnostic.h"
#include "table/grid.h"

namespace tc {

// The digits that follow an 8-character instruction literal matched at p:
// p + 8 is skipped, a digit at p + 9 replaces the target, digits at
// p + 10 and p + 11 are appended.
void ReadNumberField(const SourceText& source, std::size_t p, std::string& target);

// Speed of a speed code: 10 x round(11718.75 / (255 - code)).
long long SpeedOfCode(int code);

struct ReadResult {
    ScanStop stop = ScanStop::Complete;
    // The digit of each table label read, for its column header.
    std::array<std::optional<char>, 3> labelDigits;
};

// Fills the grid from the source: the spark duration into the spark combo,
// speeds into column 0, tables into columns 1 to 3, and sets the trimmer flag
// when the source has the instruction. `warnings` gets what the source lacks,
// in the order the pass missed it. A text that does not convert ends it with a
// ConversionError, keeping what was written and warned.
// The layout is ScanSource(source), found before.
ReadResult ReadSource(const SourceText& source, const SourceLayout& layout, GridModel& model, unsigned& trimmerFlag,
                      Diagnostics& warnings);

}  // namespace tc
