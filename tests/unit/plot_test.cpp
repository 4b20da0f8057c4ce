#include "chart/plot.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "table/numbers.h"

namespace tc {
namespace {

// Start-up speeds with the given angle texts; rows past the list get "10".
AdvanceGrid GridWithAngles(std::initializer_list<const char*> angles) {
    GridModel model;
    model.Fill();
    int row = 1;
    for (const char* angle : angles) model.grid.SetCell(4, row++, angle);
    for (; row <= 32; ++row) model.grid.SetCell(4, row, "10");
    return model.grid;
}

TEST(PlotSeries, KeepsAscendingSpeedWithEqualSpeedsInArrivalOrder) {
    PlotSeries series;
    const PlotPoint added[] = {{3000, 1, kRed}, {1000, 2, kRed}, {3000, 3, kGreen}, {500, 4, kRed}, {3000, 5, kRed}};
    for (const auto& p : added) series.Add(p);
    const std::vector<PlotPoint> expected = {
        {500, 4, kRed}, {1000, 2, kRed}, {3000, 1, kRed}, {3000, 3, kGreen}, {3000, 5, kRed}};
    EXPECT_EQ(series.Points(), expected);
}

TEST(PlotAngleColumn, NumericRowsAreRedInRowOrder) {
    AdvanceGrid grid = GridWithAngles({"12.5", "-3", "0"});
    PlotSeries series;
    series.Add({1, 1, kGreen});  // an earlier plot goes
    PlotAngleColumn(grid, U'.', series);
    ASSERT_EQ(series.Points().size(), 32u);
    EXPECT_EQ(series.Points()[0], (PlotPoint{460, 12.5, kRed}));
    EXPECT_EQ(series.Points()[1], (PlotPoint{600, -3, kRed}));
    EXPECT_EQ(series.Points()[2], (PlotPoint{800, 0, kRed}));
    EXPECT_EQ(series.Points()[31], (PlotPoint{19500, 10, kRed}));
}

TEST(PlotAngleColumn, NoAngleRowsAreGreenAtTheLastAngleAbove) {
    const struct {
        std::initializer_list<const char*> angles;
        std::vector<PlotPoint> first;
    } cases[] = {
        {{"-", "12.5"}, {{460, 0, kGreen}, {600, 12.5, kRed}}},
        {{"1", "2", "3", "12.5", "-", "-", "-", "4"},
         {{460, 1, kRed},
          {600, 2, kRed},
          {800, 3, kRed},
          {1000, 12.5, kRed},
          {1200, 12.5, kGreen},
          {1500, 12.5, kGreen},
          {1800, 12.5, kGreen},
          {2000, 4, kRed}}},
        {{"-", "-", "7"}, {{460, 0, kGreen}, {600, 0, kGreen}, {800, 7, kRed}}},
    };
    for (const auto& c : cases) {
        PlotSeries series;
        PlotAngleColumn(GridWithAngles(c.angles), U'.', series);
        const std::vector<PlotPoint> first(series.Points().begin(),
                                           series.Points().begin() + static_cast<long>(c.first.size()));
        EXPECT_EQ(first, c.first);
    }
}

TEST(PlotAngleColumn, ReadsTheLocaleSeparator) {
    PlotSeries series;
    PlotAngleColumn(GridWithAngles({"19,3", "-0,7"}), U',', series);
    EXPECT_EQ(series.Points()[0].y, 19.3);
    EXPECT_EQ(series.Points()[1].y, -0.7);
}

TEST(PlotAngleColumn, SpeedsOutOfOrderArePlottedAscending) {
    AdvanceGrid grid = GridWithAngles({"1", "2", "3", "-", "5"});
    grid.SetCell(0, 2, "5000");
    grid.SetCell(0, 4, "5000");  // a "-" row at 3
    grid.SetCell(0, 5, "700");
    PlotSeries series;
    PlotAngleColumn(grid, U'.', series);
    const auto& p = series.Points();
    ASSERT_EQ(p.size(), 32u);
    EXPECT_EQ(p[0], (PlotPoint{460, 1, kRed}));
    EXPECT_EQ(p[1], (PlotPoint{700, 5, kRed}));
    EXPECT_EQ(p[2], (PlotPoint{800, 3, kRed}));
    EXPECT_EQ(p[3], (PlotPoint{1500, 10, kRed}));
    // rows 2 and 4 share 5000 and keep their row order
    const auto at5000 = std::find_if(p.begin(), p.end(), [](const PlotPoint& q) { return q.x == 5000; });
    ASSERT_NE(at5000, p.end());
    EXPECT_EQ(at5000[0], (PlotPoint{5000, 2, kRed}));
    EXPECT_EQ(at5000[1], (PlotPoint{5000, 3, kGreen}));
    for (std::size_t i = 1; i < p.size(); ++i) EXPECT_LE(p[i - 1].x, p[i].x);
}

TEST(PlotAngleColumn, ABadCellLeavesThePointsBeforeIt) {
    const struct {
        int column, row;
        const char* text;
        const char* error;
        std::size_t pointsLeft;
    } cases[] = {
        {4, 3, "", "'' is not a valid floating point value.", 2},
        {4, 1, "--", "'--' is not a valid floating point value.", 0},
        {4, 20, "1-2", "'1-2' is not a valid floating point value.", 19},
        {0, 5, "", "'' is not a valid integer value.", 4},
        {0, 32, "19.5", "'19.5' is not a valid integer value.", 31},
    };
    for (const auto& c : cases) {
        AdvanceGrid grid = GridWithAngles({});
        grid.SetCell(c.column, c.row, c.text);
        PlotSeries series;
        try {
            PlotAngleColumn(grid, U'.', series);
            ADD_FAILURE() << "no error for " << c.column << "," << c.row;
        } catch (const ConversionError& error) {
            EXPECT_EQ(error.what(), std::string(c.error));
        }
        EXPECT_EQ(series.Points().size(), c.pointsLeft) << c.column << "," << c.row;
    }
}

TEST(UpdateChartTitle, AllSixRows) {
    const struct {
        unsigned language, trimmer;
        const char* file;
        const char* title;
    } cases[] = {
        {0, 0, "", "График УОЗ"},
        {0, 1, "", "График УОЗ"},
        {0, 0, "CDI.asm", "График УОЗ, файл: CDI.asm"},
        {0, 1, "CDI.asm", "График УОЗ, файл: CDI.asm. Внимание, с подстроечным резистором!"},
        {1, 0, "", "Timing graph"},
        {1, 1, "", "Timing graph"},
        {1, 0, "CDI.asm", "Timing graph, file: CDI.asm"},
        {1, 1, "CDI.asm", "Timing graph, file: CDI.asm. Attention, with adjust resistor!"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(UpdateChartTitle(c.language, c.trimmer, c.file), c.title) << c.language << c.trimmer << c.file;
}

}  // namespace
}  // namespace tc
