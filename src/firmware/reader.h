// Takes the spark duration, the engine speeds, the adjust-resistor flag and
// the three tables out of a source text into the grid.
#pragma once

#include <functional>
#include <string>

#include "firmware/scanner.h"
#include "firmware/source_text.h"
#include "table/grid.h"

namespace tc {

// The digits that follow an 8-character instruction literal matched at p:
// p + 8 is skipped, a digit at p + 9 replaces the target, digits at
// p + 10 and p + 11 are appended.
void ReadNumberField(const SourceText& source, std::size_t p, std::string& target);

// Speed of a speed code: 10 x round(11718.75 / (255 - code)).
long long SpeedOfCode(int code);

// Fills the grid from the source: the spark duration into the spark combo,
// speeds into column 0, tables with their headers into columns 1 to 3, and
// sets the trimmer flag when the source has the instruction. `warn` gets the
// name of what the source lacks, at the point the pass missed it. A text that
// does not convert ends it with a ConversionError, keeping what was written.
ScanStop ReadSource(const SourceText& source, GridModel& model, unsigned languageFlag, unsigned& trimmerFlag,
                const std::function<void(const std::string&)>& warn);
// The same from the source's layout, ScanSource(source), found before.
ScanStop ReadSource(const SourceText& source, const SourceLayout& layout, GridModel& model, unsigned languageFlag,
                    unsigned& trimmerFlag, const std::function<void(const std::string&)>& warn);

}  // namespace tc
