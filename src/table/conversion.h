// Table bytes and advance angles: code c stands for S - 0.7c below 180,
// S + 0.7(255 - c) above it, and 180 for no angle ("-").
#pragma once

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

// Column 4 from the table column that the table-number text names.
void FillAngleColumn(GridModel& model, char32_t separator);

// Column 4 back into the selected table column, row by row; stops at the
// first angle out of range, keeping the rows stored before it.
CodeResult::Kind StoreAngleColumn(GridModel& model, char32_t separator);

}  // namespace tc
