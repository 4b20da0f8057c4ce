// Table bytes and advance angles: code c stands for S - 0.7c below 180,
// S + 0.7(255 - c) above it, and 180 for no angle ("-").
#pragma once

#include <optional>
#include <string>

#include "table/grid.h"

namespace tc {

inline constexpr int kNoAngleCode = 180;
inline constexpr const char* kNoAngleText = "-";

// The angle text of a code for sensor angle S, or "-" for 180.
std::string CodeToAngle(int sensor, int code, char32_t separator);

struct CodeResult {
    enum Kind { Ok, BelowRange, AboveRange } kind = Ok;
    int code = 0;
};

// The code of an angle (already a double) for sensor angle S.
CodeResult AngleToCode(int sensor, double angle);

// The same two without the emulated arithmetic, for the inputs where plain
// arithmetic is sure to agree with it; nothing for the others. The two above
// answer through these first: the emulation costs some microseconds a cell.
std::optional<std::string> QuickCodeToAngle(int sensor, int code, char32_t separator);
std::optional<CodeResult> QuickAngleToCode(int sensor, double angle);
// And through the emulation alone, for every input.
std::string ExactCodeToAngle(int sensor, int code, char32_t separator);
CodeResult ExactAngleToCode(int sensor, double angle);

// Column 4 from the table column that the table-number text names.
void FillAngleColumn(GridModel& model, char32_t separator);

// Column 4 back into the selected table column, row by row; stops at the
// first angle out of range, keeping the rows stored before it.
CodeResult::Kind StoreAngleColumn(GridModel& model, char32_t separator);

}  // namespace tc
