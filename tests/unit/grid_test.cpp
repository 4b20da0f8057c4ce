#include "table/grid.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace tc {
namespace {

// The headers are texts of the language: the core's start sets them.
TEST(GridFill, SetsSpeedsAndCombos) {
    GridModel model;
    model.Fill();
    for (int column = 0; column < kGridColumns; ++column) EXPECT_EQ(model.grid.Cell(column, 0), "") << column;

    const std::pair<int, const char*> speeds[] = {{1, "460"},   {2, "600"},   {8, "2000"},   {11, "2800"},
                                                  {16, "4700"}, {25, "9000"}, {27, "10600"}, {32, "19500"}};
    for (const auto& [row, text] : speeds) EXPECT_EQ(model.grid.Cell(0, row), text) << row;
    for (int row = 2; row < kGridRows; ++row)
        EXPECT_LT(std::stoi(model.grid.Cell(0, row - 1)), std::stoi(model.grid.Cell(0, row))) << row;
    for (int row = 1; row < kGridRows; ++row)
        for (int column = 1; column < kGridColumns; ++column) EXPECT_EQ(model.grid.Cell(column, row), "");

    EXPECT_EQ(model.sensor.items, (std::vector<std::string>{"40", "35", "30", "25", "20", "15"}));
    EXPECT_EQ(model.sensor.text, "20");
    EXPECT_EQ(model.sensor.maxLength, 2);
    EXPECT_EQ(model.table.items, (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(model.table.text, "1");
    EXPECT_EQ(model.table.maxLength, 1);
    EXPECT_EQ(model.spark.items, (std::vector<std::string>{"200", "100", "50"}));
    EXPECT_EQ(model.spark.text, "65");  // not one of its items
    EXPECT_EQ(model.spark.maxLength, 0);
}

TEST(Grid, CellsOutsideTheGridDoNotExist) {
    AdvanceGrid grid;
    EXPECT_THROW(grid.Cell(5, 1), std::out_of_range);
    EXPECT_THROW(grid.Cell(0, 33), std::out_of_range);
    EXPECT_THROW(grid.SetCell(-1, 0, "x"), std::out_of_range);
}

TEST(CellEditable, TablesAndTheIdleSpeedAreReadOnly) {
    const struct {
        int column, row;
        bool editable;
    } cases[] = {{0, 1, false},  {0, 2, true}, {0, 32, true}, {1, 1, false}, {2, 16, false},
                 {3, 32, false}, {4, 1, true}, {4, 11, true}, {4, 32, true}};
    for (const auto& c : cases) EXPECT_EQ(CellEditable(c.column, c.row), c.editable) << c.column << "," << c.row;
}

TEST(SelectCell, SwitchesTheEditingOptionForTheSelectedCell) {
    GridModel model;
    model.Fill();
    EXPECT_TRUE(model.editing);  // until the first selection
    const struct {
        int column, row;
        bool editing;
    } steps[] = {{2, 5, false}, {3, 5, false}, {4, 5, true}, {0, 1, false}, {0, 2, true}, {1, 1, false}};
    for (const auto& s : steps) {
        model.SelectCell(s.column, s.row);
        EXPECT_EQ(model.editing, s.editing) << s.column << "," << s.row;
    }
}

constexpr std::optional<char32_t> kDrop = std::nullopt;

TEST(KeyFilters, DigitFieldsTakeDigitsAndBackspace) {
    const std::pair<char32_t, std::optional<char32_t>> cases[] = {
        {U'0', U'0'},      {U'9', U'9'},  {kBackspace, kBackspace},
        {U'-', kDrop},     {U',', kDrop}, {U'.', kDrop},
        {U'a', kDrop},     {U' ', kDrop}, {U'+', kDrop},
        {13, kDrop},       {27, kDrop},   {1, kDrop},
        {U'\u0663', kDrop}};
    for (const auto& [typed, passed] : cases) EXPECT_EQ(FilterDigitKey(typed), passed) << static_cast<int>(typed);
}

TEST(KeyFilters, TableNumberTakesOnlyOneTwoThree) {
    const std::pair<char32_t, std::optional<char32_t>> cases[] = {
        {U'1', U'1'}, {U'2', U'2'}, {U'3', U'3'}, {U'0', kDrop}, {U'4', kDrop}, {kBackspace, kDrop}, {U'a', kDrop}};
    for (const auto& [typed, passed] : cases) EXPECT_EQ(FilterTableKey(typed), passed) << static_cast<int>(typed);
}

TEST(KeyFilters, GridCellsByColumn) {
    const struct {
        int column;
        char32_t typed, separator;
        std::optional<char32_t> passed;
    } cases[] = {
        {4, U'.', U',', U','},
        {4, U',', U',', U','},
        {4, U',', U'.', U'.'},
        {4, U'.', U'.', U'.'},
        {4, U'.', U'\u066B', kDrop},
        {4, U',', U'\u066B', kDrop},
        {4, U'\u066B', U'\u066B', kDrop},
        {4, U'-', U'.', U'-'},
        {4, U'7', U'.', U'7'},
        {4, kBackspace, U'.', kBackspace},
        {4, U'a', U'.', kDrop},
        {4, U' ', U'.', kDrop},
        {4, U'+', U'.', kDrop},
        {4, 13, U'.', kDrop},
        {4, 27, U'.', kDrop},
        {4, 1, U'.', kDrop},
        {0, U'-', U'.', kDrop},
        {0, U',', U',', kDrop},
        {0, U'.', U'.', kDrop},
        {0, U'5', U'.', U'5'},
        {0, kBackspace, U'.', kBackspace},
        {2, U'x', U'.', U'x'},  // the table columns are read-only, not filtered
    };
    for (const auto& c : cases)
        EXPECT_EQ(FilterGridKey(c.column, c.typed, c.separator), c.passed)
            << "column " << c.column << " char " << static_cast<int>(c.typed);
}

}  // namespace
}  // namespace tc
