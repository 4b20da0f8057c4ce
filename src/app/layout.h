// The main window's layout, for every window that shows it: the client size,
// each control's place in Tab order, the grid's columns and rows, and the
// colours. A window scales these pixels of 96 DPI to its screen.
#pragma once

#include <array>
#include <optional>

#include "app/ports.h"
#include "chart/plot.h"
#include "table/grid.h"
#include "text/texts.h"

namespace tc {

inline constexpr int kClientWidth = 873;
inline constexpr int kClientHeight = 535;

// One control of the window. The table lists them in keyboard focus order,
// which is then the Tab order.
struct FormControl {
    enum Kind { Memo, Button, Grid, Combo, Chart, Label } kind;
    const char* name;
    int x, y, width, height;
    std::optional<Element> text;     // what a button or label shows
    std::optional<tc::Combo> combo;  // what a combo box shows

    // The chart takes no keyboard input and a label none either: Tab passes them by.
    constexpr bool TakesFocus() const { return kind != Chart && kind != Label; }
};

inline constexpr std::array<FormControl, 16> kForm1Layout = {{
    {FormControl::Memo, "Memo1", 16, 104, 177, 193, {}, {}},
    {FormControl::Button, "Button1", 16, 16, 81, 33, Element::OpenButton, {}},
    {FormControl::Grid, "StringGrid1", 208, 16, 201, 505, {}, {}},
    {FormControl::Combo, "ComboBox1", 136, 72, 49, 21, {}, tc::Combo::SensorAngle},
    {FormControl::Chart, "Chart1", 416, 16, 449, 505, Element::ChartTitle, {}},
    {FormControl::Button, "Button2", 16, 344, 177, 33, Element::StoreButton, {}},
    {FormControl::Button, "Button3", 16, 472, 177, 49, Element::HelpButton, {}},
    {FormControl::Button, "Button4", 120, 304, 73, 33, Element::PlotButton, {}},
    {FormControl::Combo, "ComboBox2", 64, 312, 41, 21, {}, tc::Combo::TableNumber},
    {FormControl::Button, "Button5", 16, 384, 177, 33, Element::SaveButton, {}},
    {FormControl::Button, "Button6", 16, 424, 177, 33, Element::CompileButton, {}},
    {FormControl::Button, "Button7", 112, 16, 81, 33, Element::LanguageButton, {}},
    {FormControl::Combo, "ComboBox3", 32, 72, 65, 21, {}, tc::Combo::SparkDuration},
    {FormControl::Label, "Label3", 32, 56, 58, 13, Element::SparkLabel, {}},
    {FormControl::Label, "Label1", 120, 56, 68, 13, Element::SensorLabel, {}},
    {FormControl::Label, "Label2", 24, 320, 28, 13, Element::TableLabel, {}},
}};

// The grid: the speed column is wider; the header row is taller than the others.
inline constexpr int kSpeedColumnWidth = 45;
inline constexpr int kDefaultColumnWidth = 36;
inline constexpr int kHeaderRowHeight = 16;
inline constexpr int kDefaultRowHeight = 14;
constexpr int ColumnWidth(int column) { return column == kSpeedColumn ? kSpeedColumnWidth : kDefaultColumnWidth; }

// The angle column is yellow whatever its state; the chart's points are kRed and kGreen.
inline constexpr Rgb kAngleColumnColor{255, 255, 0};
// A marker spans this many pixels each side of its centre pixel.
inline constexpr int kMarkerHalfSize = 3;
// The font of the original form: 8 points.
inline constexpr int kFontPoints = 8;

// A length of 96 DPI at another, rounded to the nearest pixel as the system rounds.
constexpr int Scaled(int pixels, int dpi) {
    const long long product = static_cast<long long>(pixels) * dpi;
    return static_cast<int>(product >= 0 ? (product + 48) / 96 : -((-product + 48) / 96));
}

}  // namespace tc
