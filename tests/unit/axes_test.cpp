// The chart's frame and the window layout's arithmetic, shared by the Qt and the Win32 window.
#include "chart/axes.h"

#include <gtest/gtest.h>

#include "app/layout.h"
#include "app/source_view.h"

namespace tc {
namespace {

TEST(StepsOf, LevelThenUpOrDownInTheColourOfThePointLedTo) {
    const struct {
        const char* name;
        std::vector<PlotPoint> points;
        std::vector<Step> steps;
    } cases[] = {
        {"None", {}, {}},
        {"OnePoint", {{460, 1, kRed}}, {}},
        {"UpThenGreen",
         {{460, 1, kRed}, {600, 3, kRed}, {800, 3, kGreen}},
         {{460, 1, 600, 3, kRed}, {600, 3, 800, 3, kGreen}}},
        {"DownToRed", {{460, 5, kGreen}, {600, -2, kRed}}, {{460, 5, 600, -2, kRed}}},
    };
    for (const auto& c : cases) EXPECT_EQ(StepsOf(c.points), c.steps) << c.name;
}

TEST(NiceStep, RoundStepsOfAboutAFifthOfTheSpan) {
    const struct {
        const char* name;
        double span, step;
    } cases[] = {
        {"EmptyFrameSpeeds", 20000, 5000},
        {"EmptyFrameAngles", 40, 10},
        {"OneTwoFive", 9, 2},
        {"JustOverAFactor", 10.5, 5},
        {"TenfoldOfFive", 26, 10},
        {"Small", 0.4, 0.1},
        {"NoSpan", 0, 1},
        {"Negative", -3, 1},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(NiceStep(c.span), c.step) << c.name;
}

TEST(AxesFor, PaddedRangesOrTheEmptyFrame) {
    const std::vector<PlotPoint> sample = {{460, 12.5, kRed}, {5000, -3, kRed}, {19500, 30, kGreen}};
    const std::vector<PlotPoint> level = {{460, 10, kRed}, {19500, 10, kRed}};
    const std::vector<PlotPoint> zero = {{1000, 0, kRed}};
    const struct {
        const char* name;
        std::vector<PlotPoint> points;
        ChartAxes axes;
    } cases[] = {
        {"Empty", {}, {{0, 20000, 5000}, {0, 40, 10}}},
        {"Sample", sample, {{460 - 761.6, 19500 + 761.6, 5000}, {-3 - 1.32, 30 + 1.32, 10}}},
        {"LevelAnglesGetADegreeEachSide", level, {{460 - 761.6, 19500 + 761.6, 5000}, {9, 11, 0.5}}},
        {"OnePointAtZero", zero, {{960, 1040, 20}, {-1, 1, 0.5}}},
    };
    for (const auto& c : cases) {
        const ChartAxes axes = AxesFor(c.points);
        EXPECT_NEAR(axes.x.low, c.axes.x.low, 1e-9) << c.name;
        EXPECT_NEAR(axes.x.high, c.axes.x.high, 1e-9) << c.name;
        EXPECT_DOUBLE_EQ(axes.x.step, c.axes.x.step) << c.name;
        EXPECT_NEAR(axes.y.low, c.axes.y.low, 1e-9) << c.name;
        EXPECT_NEAR(axes.y.high, c.axes.y.high, 1e-9) << c.name;
        EXPECT_DOUBLE_EQ(axes.y.step, c.axes.y.step) << c.name;
    }
}

TEST(Ticks, MultiplesOfTheStepInsideTheAxis) {
    const struct {
        const char* name;
        Axis axis;
        std::vector<double> ticks;
    } cases[] = {
        {"Speeds", {-301.6, 20261.6, 5000}, {0, 5000, 10000, 15000, 20000}},
        {"EndsAreTicks", {9, 11, 0.5}, {9, 9.5, 10, 10.5, 11}},
        {"NegativeStart", {-3.3, 7.7, 2}, {-2, 0, 2, 4, 6}},
        {"NoStep", {0, 10, 0}, {}},
        {"Reversed", {10, 0, 1}, {}},
    };
    for (const auto& c : cases) {
        const std::vector<double> ticks = Ticks(c.axis);
        ASSERT_EQ(ticks.size(), c.ticks.size()) << c.name;
        for (std::size_t i = 0; i < ticks.size(); ++i) EXPECT_NEAR(ticks[i], c.ticks[i], 1e-9) << c.name;
    }
}

TEST(TickLabel, SpeedsWholeAnglesShortest) {
    const struct {
        double value;
        bool speed;
        const char* label;
    } cases[] = {
        {20000, true, "20000"},  {5000.4, true, "5000"}, {12.5, false, "12.5"},
        {0.1 * 3, false, "0.3"}, {-2, false, "-2"},      {0, false, "0"},
    };
    for (const auto& c : cases) EXPECT_EQ(TickLabel(c.value, c.speed), c.label) << c.value;
    // The zero tick of a range across zero is not "-0".
    for (double tick : Ticks({-1, 1, 0.5})) EXPECT_NE(TickLabel(tick, false), "-0");
}

TEST(FitTitle, TheFileNameGivesWayInItsMiddle) {
    // One unit per character, so the expected widths are counted by eye.
    const auto width = [](const std::string& text) {
        double n = 0;
        for (const unsigned char c : text) n += (c & 0xC0) != 0x80;
        return n;
    };
    const struct {
        const char* name;
        const char* title;
        const char* file;
        double room;
        const char* shown;
    } cases[] = {
        {"Fits", "G: ABCDEFGH!", "ABCDEFGH", 12, "G: ABCDEFGH!"},
        {"OneTooWide", "G: ABCDEFGH!", "ABCDEFGH", 11, "G: ABC\u2026FGH!"},
        {"OnlyTheMark", "G: ABCDEFGH!", "ABCDEFGH", 5, "G: \u2026!"},
        {"NotEvenTheRest", "G: ABCDEFGH!", "ABCDEFGH", 2, "G: \u2026!"},
        {"CutsBetweenCharacters", "x \u0416\u0417\u0418\u0419", "\u0416\u0417\u0418\u0419", 5, "x \u0416\u2026\u0419"},
        {"NoFileName", "G: ABCDEFGH!", "", 3, "G: ABCDEFGH!"},
        {"NameNotInTitle", "G: ABCDEFGH!", "XYZ", 3, "G: ABCDEFGH!"},
    };
    for (const auto& c : cases) EXPECT_EQ(FitTitle(c.title, c.file, c.room, width), c.shown) << c.name;
}

TEST(Scaled, RoundsToTheNearestPixel) {
    const struct {
        int pixels, dpi, scaled;
    } cases[] = {
        {873, 96, 873}, {873, 144, 1310}, {16, 120, 20}, {14, 144, 21}, {3, 192, 6}, {45, 120, 56}, {-3, 144, -5},
    };
    for (const auto& c : cases) EXPECT_EQ(Scaled(c.pixels, c.dpi), c.scaled) << c.pixels << " at " << c.dpi;
}

TEST(Layout, ControlsFitTheClientAreaAndTabOrderSkipsChartAndLabels) {
    int focusable = 0;
    for (const FormControl& c : kForm1Layout) {
        EXPECT_GE(c.x, 0) << c.name;
        EXPECT_LE(c.x + c.width, kClientWidth) << c.name;
        EXPECT_LE(c.y + c.height, kClientHeight) << c.name;
        focusable += c.TakesFocus();
    }
    EXPECT_EQ(focusable, 12);
    // The grid's columns and rows fit inside its control.
    int columns = 0;
    for (int column = 0; column < kGridColumns; ++column) columns += ColumnWidth(column);
    EXPECT_EQ(columns, 189);
    EXPECT_LE(columns, kForm1Layout[2].width);
    EXPECT_LE(kHeaderRowHeight + (kGridRows - 1) * kDefaultRowHeight, kForm1Layout[2].height);
}

TEST(ShownSource, LinesCappedWithANote) {
    const std::string longLine(1001, 'x');
    std::string big;
    for (int i = 0; i < 20000; ++i) big += std::string(100, 'y') + "\n";
    const struct {
        const char* name;
        std::string text;
        unsigned language;
        std::string lines, note;
    } cases[] = {
        {"CrLfAndLf", "a\r\nb\n", kRussian, "a\nb", ""},
        {"LoneCrStays", "a\rb\r\n", kRussian, "a\rb", ""},
        {"NoLastBreak", "a\r\n\r\nc", kRussian, "a\n\nc", ""},
        {"LongLineCut", longLine, kRussian, std::string(1000, 'x') + "\x85", ""},
        {"BigTextRussian", big, kRussian, "", "[показаны первые 10382 строк из 20000]"},
        {"BigTextEnglish", big, kEnglish, "", "[the first 10382 of 20000 lines are shown]"},
    };
    for (const auto& c : cases) {
        const SourceView view = ShownSource(c.text, c.language);
        if (!c.lines.empty()) {
            EXPECT_EQ(view.lines, c.lines) << c.name;
        }
        EXPECT_EQ(view.note, c.note) << c.name;
    }
}

}  // namespace
}  // namespace tc
