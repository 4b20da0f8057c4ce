// The grid as the clipboard carries it: tab-separated lines, as spreadsheets
// copy and paste them.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "table/diagnostic.h"
#include "table/grid.h"

namespace tc {

// The header row, then rows 1 to 32: rpm, the three codes and the angle, each
// line ended by "\n" (Calc and Excel take "\n" as well as "\r\n").
std::string CopyText(const AdvanceGrid& grid);

// Whether a paste may start at the cell: the angle column, or the speeds of rows 2 to 32.
bool PasteTarget(int column, int row);

struct PasteValues {
    std::vector<std::string> values;  // from the row down, each as a typed cell would hold it
    std::optional<Diagnostic> refusal;
};

// The values of a clipboard text for a paste at (column, row): one value a
// line, or the last field of tab-separated lines. A first line without a
// digit is a header; trailing empty lines are none. Each value passes the
// column's key filter ("," and "." become the separator) and converts as the
// save would read it; the first that does not refuses the whole paste.
PasteValues ParsePaste(int column, int row, std::string_view text, char32_t separator);

}  // namespace tc
