#include "table/grid.h"

#include <stdexcept>

namespace tc {

std::size_t AdvanceGrid::Index(int column, int row) {
    if (column < 0 || column >= kGridColumns || row < 0 || row >= kGridRows)
        throw std::out_of_range("grid cell (" + std::to_string(column) + ", " + std::to_string(row) +
                                ") does not exist");
    return static_cast<std::size_t>(row) * kGridColumns + static_cast<std::size_t>(column);
}

void GridModel::Fill() {
    for (int row = 1; row < kGridRows; ++row)
        grid.SetCell(kSpeedColumn, row, std::to_string(kRpmPoints[static_cast<std::size_t>(row - 1)]));
    sensor.items = {"40", "35", "30", "25", "20", "15"};
    sensor.maxLength = 2;
    sensor.text = "20";
    table.items = {"1", "2", "3"};
    table.maxLength = 1;
    table.text = "1";
    spark.items = {"200", "100", "50"};
    spark.maxLength = 0;
    spark.text = "65";
}

bool CellEditable(int column, int row) {
    if (column >= 1 && column <= 3) return false;
    return !(column == kSpeedColumn && row == 1);
}

void GridModel::SelectCell(int column, int row) { editing = CellEditable(column, row); }

namespace {
bool IsDigit(char32_t ch) { return ch >= U'0' && ch <= U'9'; }
}  // namespace

std::optional<char32_t> FilterDigitKey(char32_t ch) {
    if (ch == kBackspace || IsDigit(ch)) return ch;
    return std::nullopt;
}

std::optional<char32_t> FilterTableKey(char32_t ch) {
    if (ch == U'1' || ch == U'2' || ch == U'3') return ch;
    return std::nullopt;
}

std::optional<char32_t> FilterGridKey(int column, char32_t ch, char32_t separator) {
    if (column == kSpeedColumn) return FilterDigitKey(ch);
    if (column == kAngleColumn) {
        if (ch == U',' || ch == U'.') ch = separator;
        if (ch == kBackspace || ch == U',' || ch == U'-' || ch == U'.' || IsDigit(ch)) return ch;
        return std::nullopt;
    }
    return ch;
}

}  // namespace tc
