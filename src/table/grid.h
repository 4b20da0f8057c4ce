// The advance grid: 5 columns by 33 rows of cell texts, row 0 the headers,
// plus the three combo boxes that belong with it. Every table value of the
// program lives here as text, once. A plain value: whoever shows it compares.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace tc {

inline constexpr int kGridColumns = 5;
inline constexpr int kGridRows = 33;
inline constexpr int kSpeedColumn = 0;
inline constexpr int kAngleColumn = 4;
inline constexpr int kProbeRow = 11;  // cell (4, 11) tells whether the angle column holds data

inline constexpr std::array<int, 32> kRpmPoints = {
    460,  600,  800,  1000, 1200, 1500, 1800, 2000, 2200, 2500, 2800,  3000,  3500,  3900,  4200,  4700,
    5100, 5600, 6100, 6500, 6900, 7300, 7800, 8300, 9000, 9700, 10600, 11700, 13000, 14600, 16700, 19500};

class AdvanceGrid {
public:
    const std::string& Cell(int column, int row) const { return cells_.at(Index(column, row)); }
    void SetCell(int column, int row, std::string text) { cells_.at(Index(column, row)) = std::move(text); }

    bool operator==(const AdvanceGrid&) const = default;

private:
    static std::size_t Index(int column, int row);
    std::array<std::string, std::size_t{kGridColumns} * kGridRows> cells_{};
};

// An editable combo box's text and list.
struct ComboField {
    std::string text;
    std::vector<std::string> items;
    int maxLength = 0;  // 0: no limit

    bool operator==(const ComboField&) const = default;
};

// The grid with its combo boxes and editing option.
struct GridModel {
    AdvanceGrid grid;
    ComboField sensor;  // ComboBox1: sensor angle in whole degrees
    ComboField table;   // ComboBox2: selected table number
    ComboField spark;   // ComboBox3: spark duration in microseconds
    bool editing = true;

    // Start-up fill: speed points, combo lists and texts; the headers are texts of the language.
    void Fill();
    // Switches the editing option for the cell about to become current.
    void SelectCell(int column, int row);

    bool operator==(const GridModel&) const = default;
};

// Whether the cell (column, row) may be edited once it is selected.
bool CellEditable(int column, int row);

inline constexpr char32_t kBackspace = 8;

// Key filters: the character to let through (possibly replaced), or nothing to drop it.
// Speed column, sensor angle and spark duration: digits and backspace.
std::optional<char32_t> FilterDigitKey(char32_t ch);
// Table number: only 1, 2 and 3.
std::optional<char32_t> FilterTableKey(char32_t ch);
// A grid cell of the given column; the angle column turns "," and "." into the separator.
std::optional<char32_t> FilterGridKey(int column, char32_t ch, char32_t separator);

}  // namespace tc
