// The Win32 window driven with real messages: clicks, keys, characters and combo box notices.
#include "support/window_cases.h"
#include "win32_support.h"
// The common controls' header after windows.h, which it needs.
#include <commctrl.h>

#include <cstring>
#include <map>
#include <optional>

#include "cli/cli_support.h"

namespace win32 {
namespace {

RECT ClientRectOf(HWND parent, HWND control) {
    RECT rect;
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::string ClassOf(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return tc::win32::Utf8(name);
}

std::vector<std::string> ComboItems(HWND combo) {
    std::vector<std::string> items;
    const auto count = ::SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t text[64] = {};
        ::SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        items.push_back(tc::win32::Utf8(text));
    }
    return items;
}

HWND ComboEdit(HWND combo) {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    ::GetComboBoxInfo(combo, &info);
    return info.hwndItem;
}

const tc::ComboField& FieldOf(const tc::GridModel& model, tc::Combo combo) {
    switch (combo) {
        case tc::Combo::SensorAngle: return model.sensor;
        case tc::Combo::TableNumber: return model.table;
        case tc::Combo::SparkDuration: return model.spark;
    }
    return model.sensor;
}

TEST_F(WindowTest, EveryRowOfTheLayoutIsItsControlInPlaceWithItsStartText) {
    RECT client;
    ::GetClientRect(window->Handle(), &client);
    EXPECT_EQ(client.right, 873);
    EXPECT_EQ(client.bottom, 535);
    const auto style = ::GetWindowLongW(window->Handle(), GWL_STYLE);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_EQ(Text(window->Handle()), "Перерасчет угла опережения ФУОЗ DA-VED  v0.98");
    // Shown and activated, the window gives the text box the focus.
    EXPECT_EQ(::GetFocus(), window->Memo1);

    tc::GridModel start;
    start.Fill();
    const std::map<tc::FormControl::Kind, std::string> classes = {{tc::FormControl::Memo, "Edit"},
                                                                  {tc::FormControl::Button, "Button"},
                                                                  {tc::FormControl::Grid, "TcStringGrid"},
                                                                  {tc::FormControl::Combo, "ComboBox"},
                                                                  {tc::FormControl::Chart, "TcAdvanceChart"},
                                                                  {tc::FormControl::Label, "Static"}};
    // Every system control in the window's font, which the memo has too.
    const LRESULT font = ::SendMessageW(window->Memo1, WM_GETFONT, 0, 0);
    ASSERT_NE(font, 0);
    for (const tc::FormControl& control : tc::kForm1Layout) {
        SCOPED_TRACE(control.name);
        HWND hwnd = window->Control(control.name);
        ASSERT_NE(hwnd, nullptr);
        EXPECT_EQ(::GetParent(hwnd), window->Handle());
        EXPECT_EQ(ClassOf(hwnd), classes.at(control.kind));
        if (control.kind != tc::FormControl::Grid && control.kind != tc::FormControl::Chart) {
            EXPECT_EQ(::SendMessageW(hwnd, WM_GETFONT, 0, 0), font);
        }
        const RECT at = ClientRectOf(window->Handle(), hwnd);
        EXPECT_EQ(at.left, control.x);
        EXPECT_EQ(at.top, control.y);
        if (control.kind == tc::FormControl::Label)
            EXPECT_GE(at.right - at.left, control.width);  // a wider font may only widen it
        else
            EXPECT_EQ(at.right - at.left, control.width);
        EXPECT_EQ(at.bottom - at.top, control.height);  // a combo box closed
        const bool tabStop = ::GetWindowLongW(hwnd, GWL_STYLE) & WS_TABSTOP;
        EXPECT_EQ(tabStop, control.TakesFocus());

        if (control.combo) {
            const tc::ComboField& field = FieldOf(start, *control.combo);
            EXPECT_EQ(Text(hwnd), field.text);
            EXPECT_EQ(ComboItems(hwnd), field.items);
            const auto limit = ::SendMessageW(ComboEdit(hwnd), EM_GETLIMITTEXT, 0, 0);
            if (field.maxLength > 0) {
                EXPECT_EQ(limit, field.maxLength);
            }
        } else if (control.kind == tc::FormControl::Chart) {
            EXPECT_EQ(window->Chart1->Title(), tc::UpdateChartTitle(tc::kRussian, 0, ""));
        } else if (control.text) {
            EXPECT_EQ(Text(hwnd), tc::ElementText(*control.text, tc::kRussian));
        } else if (control.kind == tc::FormControl::Memo) {
            EXPECT_EQ(Text(hwnd), "");
        }
    }
    // Button1's tip names the file to choose.
    wchar_t tip[64] = {};
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = window->Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(window->Button1);
    tool.lpszText = tip;
    ::SendMessageW(window->Tooltip, TTM_GETTEXTW, 64, reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(tc::win32::Utf8(tip), "Выберите CDI.asm");
}

TEST_F(WindowTest, TabAndShiftTabWalkTheControlsInTheirOrder) {
    const std::vector<std::string> expected = {"Button1", "StringGrid1", "ComboBox1", "Button2",
                                               "Button3", "Button4",     "ComboBox2", "Button5",
                                               "Button6", "Button7",     "ComboBox3", "Memo1"};
    ::SetFocus(window->Memo1);
    std::vector<std::string> seen;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        Key(VK_TAB);
        seen.push_back(Focused());
    }
    EXPECT_EQ(seen, expected);
    std::vector<std::string> back;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        HeldKey shift(VK_SHIFT);
        Key(VK_TAB);
        back.push_back(Focused());
    }
    std::vector<std::string> reversed(expected.rbegin() + 1, expected.rend());
    reversed.push_back(expected.back());
    EXPECT_EQ(back, reversed);
}

TEST_F(WindowTest, GridHasTheLayoutsColumnsRowsHeadersAndSpeeds) {
    const tc::win32::StringGrid& grid = *window->StringGrid1;
    const int widths[] = {45, 36, 36, 36, 36};
    int left = 0;
    for (int column = 0; column < 5; ++column) {
        const RECT cell = grid.CellRect(column, 1);
        EXPECT_EQ(cell.left, left) << column;
        EXPECT_EQ(cell.right - cell.left, widths[column]) << column;
        left = cell.right;
    }
    EXPECT_EQ(grid.CellRect(0, 0).bottom, 16);
    EXPECT_EQ(grid.CellRect(0, 1).top, 16);
    EXPECT_EQ(grid.CellRect(0, 1).bottom - grid.CellRect(0, 1).top, 14);
    EXPECT_EQ(grid.CellRect(0, 32).bottom, 16 + 32 * 14);
    // Every row fits: no scroll bar.
    EXPECT_FALSE(::GetWindowLongW(grid.Handle(), GWL_STYLE) & WS_VSCROLL);
    const std::tuple<int, int, const char*> cells[] = {
        {0, 0, "об/мин"}, {4, 0, "УОЗ"}, {0, 1, "460"}, {0, 27, "10600"}, {0, 32, "19500"}};
    for (const auto& [column, row, text] : cells) EXPECT_EQ(Cell(column, row), text);
}

TEST_F(WindowTest, SpeedOfRowOneIsNeverEditableButTheOthersTakeDigitsOnly) {
    ::SetFocus(window->StringGrid1->Handle());
    Pump(window.get());
    EXPECT_EQ(window->StringGrid1->Editor(), nullptr);
    Type("9");
    EXPECT_EQ(Cell(0, 1), "460");
    ClickCell(0, 1);
    Type("12");
    EXPECT_EQ(Cell(0, 1), "460");

    TypeIntoCell(0, 2, "7-,.a 50");
    EXPECT_EQ(Cell(0, 2), "750");
    EXPECT_EQ(::GetFocus(), window->StringGrid1->Editor());
    Type("\b");
    EXPECT_EQ(Cell(0, 2), "75");

    // Table columns are read-only; the angle column is editable again afterwards.
    ClickCell(2, 5);
    EXPECT_EQ(window->StringGrid1->Editor(), nullptr);
    Type("3");
    EXPECT_EQ(Cell(2, 5), "");
    TypeIntoCell(4, 5, "-1.5");
    EXPECT_EQ(Cell(4, 5), "-1.5");
    EXPECT_EQ(Text(window->StringGrid1->Editor()), "-1.5");
}

struct SeparatorCase {
    const char* name;
    char32_t separator;
    const char* typed;
    const char* stored;
};

void PrintTo(const SeparatorCase& c, std::ostream* os) { *os << c.name; }

class AngleTyping : public WindowTest, public ::testing::WithParamInterface<SeparatorCase> {
protected:
    void SetUp() override { Open(GetParam().separator); }
};

TEST_P(AngleTyping, SeparatorKeysBecomeTheLocalesSeparator) {
    TypeIntoCell(4, 3, GetParam().typed);
    EXPECT_EQ(Cell(4, 3), GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(Separators, AngleTyping,
                         ::testing::Values(SeparatorCase{"PointToComma", U',', "19.3", "19,3"},
                                           SeparatorCase{"CommaStays", U',', "19,3", "19,3"},
                                           SeparatorCase{"CommaToPoint", U'.', "19,3", "19.3"},
                                           SeparatorCase{"LettersDropped", U'.', "1a+ 2", "12"},
                                           SeparatorCase{"ArabicSeparatorDropped", U'\u066B', "19.3", "193"}),
                         [](const auto& info) { return std::string(info.param.name); });

using tc::test::ArrowCase;
using tc::test::ComboTyping;
using tc::test::kComboTypings;

class ComboKeys : public WindowTest, public ::testing::WithParamInterface<ComboTyping> {};

TEST_P(ComboKeys, PassOnlyWhatTheBoxTakes) {
    const ComboTyping& c = GetParam();
    HWND combos[] = {window->ComboBox1, window->ComboBox2, window->ComboBox3};
    HWND combo = combos[c.combo - 1];
    HWND edit = ComboEdit(combo);
    ::PostMessageW(edit, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    ::PostMessageW(edit, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    Pump(window.get());
    ASSERT_EQ(::GetFocus(), edit);
    Key(VK_END);
    if (c.selectAll) {
        HeldKey shift(VK_SHIFT);
        Key(VK_HOME);
    }
    Type(c.keys);
    EXPECT_EQ(Text(combo), c.shown);
    const tc::GridModel& model = window->Core().Model();
    const std::string held[] = {model.sensor.text, model.table.text, model.spark.text};
    EXPECT_EQ(held[c.combo - 1], c.shown);
}

INSTANTIATE_TEST_SUITE_P(Combos, ComboKeys, ::testing::ValuesIn(kComboTypings),
                         [](const auto& info) { return std::string(info.param.name); });

class EditorArrows : public WindowTest, public ::testing::WithParamInterface<ArrowCase> {};

TEST_P(EditorArrows, LeaveTheTextOnlyAtItsEnds) {
    const ArrowCase& c = GetParam();
    TypeIntoCell(c.column, c.row, "12");
    for (const char key : std::string_view(c.keys)) {
        switch (key) {
            case '<':
            case '(': Key(VK_LEFT); break;  // the keypad's Left is VK_LEFT too
            case '>': Key(VK_RIGHT); break;
            case '[': Key(VK_HOME); break;
            case ']': Key(VK_END); break;
            case '^': Key(VK_UP); break;
            case 'v': Key(VK_DOWN); break;
            case '{': {
                HeldKey shift(VK_SHIFT);
                Key(VK_HOME);
                break;
            }
            default: Type(std::string(1, key));
        }
    }
    EXPECT_EQ(window->StringGrid1->Column(), c.endColumn);
    EXPECT_EQ(window->StringGrid1->Row(), c.endRow);
    EXPECT_EQ(Cell(c.column, c.row), c.text);
}

INSTANTIATE_TEST_SUITE_P(Keys, EditorArrows, ::testing::ValuesIn(tc::test::kEditorArrows),
                         [](const auto& info) { return std::string(info.param.name); });

// A source opened through the File button: the sample from the examples.
class LoadedWindow : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        file = folder / "CDI.asm";
        cli::WriteFile(file, cli::Sample());
        chooser.answers.push_back(file.string());
        Click(window->Button1);
        ASSERT_TRUE(messages.all.empty());
    }
    cli::Folder folder;
    cli::fs::path file;
};

TEST_F(LoadedWindow, TheTextBoxShowsTheSourceInCrLfLinesFromWindows1251) {
    const std::string shown = Text(window->Memo1);
    EXPECT_EQ(shown.substr(0, 60), cli::Sample().substr(0, 60));
    EXPECT_NE(shown.find("\r\n"), std::string::npos);
    EXPECT_EQ(shown.find("\r\r"), std::string::npos);
    EXPECT_EQ(Text(window->ComboBox3), "66");  // the sample's spark duration
    EXPECT_EQ(window->Chart1->Title(), "График УОЗ, файл: CDI.asm. Внимание, с подстроечным резистором!");
}

TEST_F(LoadedWindow, RefreshDrawsTheStairsRedAndGreenWithMarkersInTheirColours) {
    TypeIntoCell(4, 5, "-");
    Click(window->Button4);
    const tc::win32::AdvanceChart& chart = *window->Chart1;
    ASSERT_EQ(chart.Points().size(), 32u);
    ASSERT_EQ(chart.Steps().size(), 31u);
    EXPECT_EQ(chart.Steps()[0].color, tc::kRed);
    EXPECT_EQ(chart.Steps()[3].color, tc::kGreen);  // the step that leads to row 5
    EXPECT_EQ(chart.Axes(), tc::AxesFor(chart.Points()));
    // As drawn: each marker's centre, and up and down it, in its point's colour.
    for (const int i : {3, 4, 5}) {
        const tc::PlotPoint& point = chart.Points()[static_cast<std::size_t>(i)];
        const POINT centre = chart.ToPixel(point.x, point.y);
        const COLORREF colour = RGB(point.color.r, point.color.g, point.color.b);
        for (int dy = -2; dy <= 2; ++dy)
            EXPECT_EQ(chart.PixelAt(centre.x, centre.y + dy), colour) << "point " << i << ", " << dy << " px off";
    }
    EXPECT_EQ(chart.Points()[4].color, tc::kGreen);
    // The screen shows that drawing too: the change asked for a repaint.
    const POINT green = chart.ToPixel(chart.Points()[4].x, chart.Points()[4].y);
    HDC screen = ::GetDC(chart.Handle());
    EXPECT_EQ(::GetPixel(screen, green.x, green.y), RGB(tc::kGreen.r, tc::kGreen.g, tc::kGreen.b));
    ::ReleaseDC(chart.Handle(), screen);
    // A step's level stretch, half-way, in the colour of the point it leads to.
    const tc::Step& step = chart.Steps()[30];
    const POINT from = chart.ToPixel(step.x0, step.y0), to = chart.ToPixel(step.x1, step.y0);
    ASSERT_GT(to.x - from.x, 8);
    EXPECT_EQ(chart.PixelAt((from.x + to.x) / 2, from.y), RGB(step.color.r, step.color.g, step.color.b));

    // A bad angle in row 3 leaves rows 1 and 2 plotted.
    TypeIntoCell(4, 3, "1-2");
    Click(window->Button4);
    EXPECT_EQ(messages.all, (std::vector<Message>{{"app", "'1-2' is not a valid floating point value."}}));
    EXPECT_EQ(window->Chart1->Points().size(), 2u);
    EXPECT_EQ(window->Chart1->Steps().size(), 1u);
}

TEST_F(LoadedWindow, AngleCellsArePaintedYellowTheCurrentCellHighlighted) {
    ClickCell(0, 7);
    const tc::win32::StringGrid& grid = *window->StringGrid1;
    RECT client;
    ::GetClientRect(grid.Handle(), &client);
    HDC screen = ::GetDC(grid.Handle());
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, client.right, client.bottom);
    ::ReleaseDC(grid.Handle(), screen);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    grid.Paint(dc);
    const auto pixel = [&](int column, int row) {
        const RECT cell = grid.CellRect(column, row);
        return ::GetPixel(dc, cell.right - 3, cell.bottom - 3);
    };
    for (const int row : {1, 20, 32}) EXPECT_EQ(pixel(4, row), RGB(255, 255, 0)) << row;
    EXPECT_NE(pixel(4, 0), RGB(255, 255, 0));
    EXPECT_EQ(pixel(0, 11), ::GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(pixel(0, 7), ::GetSysColor(COLOR_HIGHLIGHT));
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
}

TEST_F(LoadedWindow, ComboPicksRefillTheAngleColumn) {
    const std::string before = Cell(4, 11);
    PickItem(window->ComboBox2, 1);
    EXPECT_EQ(Text(window->ComboBox2), "2");
    EXPECT_EQ(window->Core().Model().table.text, "2");
    EXPECT_NE(Cell(4, 11), before);
    PickItem(window->ComboBox2, 0);
    EXPECT_EQ(Cell(4, 11), before);
    PickItem(window->ComboBox1, 0);
    EXPECT_EQ(window->Core().Model().sensor.text, "40");
    EXPECT_TRUE(messages.all.empty());
}

TEST_F(LoadedWindow, SaveWritesTheTypedAnglesIntoTheFile) {
    TypeIntoCell(4, 2, "19.3");
    Click(window->Button5);
    EXPECT_TRUE(messages.all.empty());
    EXPECT_NE(cli::ReadFile(file), cli::Sample());
    TypeIntoCell(4, 3, "80");
    const std::string saved = cli::ReadFile(file);
    Click(window->Button5);
    EXPECT_EQ(messages.all, (std::vector<Message>{{"warning", "Превышен предел 52° выше датчика"}}));
    EXPECT_EQ(cli::ReadFile(file), saved);
}

TEST_F(LoadedWindow, CompileStartsCmdWithTheAssemblerInTheFilesFolder) {
    Click(window->Button6);
    ASSERT_EQ(desktop.started.size(), 1u);
    EXPECT_EQ(desktop.started[0].program, "cmd.exe");
    EXPECT_EQ(desktop.started[0].nativeArguments, "/k avrasm2 -fI \"CDI.asm\"");
    EXPECT_EQ(cli::fs::path(tc::win32::Wide(desktop.started[0].workingDirectory)), folder.Path());
}

TEST_F(WindowTest, HelpHandsHelpChmToTheDesktopAndSaysNothing) {
    Click(window->Button3);
    EXPECT_EQ(desktop.documents, std::vector<std::string>{"Help.chm"});
    EXPECT_TRUE(messages.all.empty());
}

TEST_F(WindowTest, LanguageRoundTripRestoresEveryText) {
    const auto texts = [&] {
        std::vector<std::string> all;
        for (HWND b : {window->Button1, window->Button2, window->Button3, window->Button4, window->Button5,
                       window->Button6, window->Button7})
            all.push_back(Text(b));
        for (HWND l : {window->Label1, window->Label2, window->Label3}) all.push_back(Text(l));
        all.push_back(window->Chart1->Title());
        all.push_back(Cell(0, 0));
        all.push_back(Cell(4, 0));
        all.push_back(Text(window->Handle()));
        return all;
    };
    const auto russian = texts();
    Click(window->Button7);
    EXPECT_EQ(texts(),
              (std::vector<std::string>{"File", "Save to table", "Help", "Refresh", "Save to file", "Compile HEX File",
                                        "Russian", "Sensor angle", "Table", "Spark, us", "Timing graph", "RPM", "angle",
                                        "Ignition timing calculator for DA-VED project v0.98"}));
    Click(window->Button4);
    EXPECT_EQ(messages.all.back().text, "Missing data");
    Click(window->Button7);
    EXPECT_EQ(texts(), russian);
    // Each label shows its whole text again on the screen, as a fresh painting of it does.
    const auto pixels = [](HWND label) {
        RECT client;
        ::GetClientRect(label, &client);
        HDC dc = ::GetDC(label);
        std::vector<COLORREF> all;
        for (int y = 0; y < client.bottom; ++y)
            for (int x = 0; x < client.right; ++x) all.push_back(::GetPixel(dc, x, y));
        ::ReleaseDC(label, dc);
        return all;
    };
    for (HWND label : {window->Label1, window->Label2, window->Label3}) {
        const auto shown = pixels(label);
        ::RedrawWindow(label, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        EXPECT_TRUE(shown == pixels(label)) << Text(label) << ": the screen shows other pixels";
    }
}

// A Cyrillic name, through the real file layer and the chart title.
TEST_F(WindowTest, CyrillicFileNamesOpenAndSave) {
    cli::Folder folder;
    const cli::fs::path file = folder.Path() / cli::fs::path(tc::win32::Wide("Прошивка.asm"));
    cli::WriteFile(file, cli::Sample());
    chooser.answers.push_back(tc::win32::Utf8(file.wstring()));
    Click(window->Button1);
    EXPECT_TRUE(messages.all.empty());
    EXPECT_EQ(window->Core().SourceFileName(), "Прошивка.asm");
    // Too long for the chart with the warning: the name gives way in its middle, between characters.
    EXPECT_EQ(window->Chart1->Title().rfind("График УОЗ, файл: Прош", 0), 0u) << window->Chart1->Title();
    EXPECT_NE(window->Chart1->Title().find("….asm. Внимание"), std::string::npos) << window->Chart1->Title();
    TypeIntoCell(4, 2, "19.3");
    Click(window->Button5);
    EXPECT_TRUE(messages.all.empty());
    EXPECT_NE(cli::ReadFile(file), cli::Sample());
}

TEST_F(WindowTest, ANewDpiScalesTheLayout) {
    const struct {
        int dpi;
        RECT button1, grid;
        int clientWidth, clientHeight, column0;
    } cases[] = {
        {144, {24, 24, 146, 74}, {312, 24, 614, 782}, 1310, 803, 68},
        {120, {20, 20, 121, 61}, {260, 20, 511, 651}, 1091, 669, 56},
        {96, {16, 16, 97, 49}, {208, 16, 409, 521}, 873, 535, 45},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dpi);
        RECT suggested{0, 0, c.clientWidth + 40, c.clientHeight + 60};
        ASSERT_TRUE(::IsWindow(window->Handle()));
        ::SendMessageW(window->Handle(), WM_DPICHANGED, MAKEWPARAM(c.dpi, c.dpi), reinterpret_cast<LPARAM>(&suggested));
        ASSERT_TRUE(::IsWindow(window->Handle()));
        RECT client;
        ::GetClientRect(window->Handle(), &client);
        EXPECT_EQ(client.right, c.clientWidth);
        EXPECT_EQ(client.bottom, c.clientHeight);
        const RECT button = ClientRectOf(window->Handle(), window->Button1);
        EXPECT_EQ(button.left, c.button1.left);
        EXPECT_EQ(button.top, c.button1.top);
        EXPECT_EQ(button.right, c.button1.right);
        EXPECT_EQ(button.bottom, c.button1.bottom);
        const RECT grid = ClientRectOf(window->Handle(), window->StringGrid1->Handle());
        EXPECT_EQ(grid.left, c.grid.left);
        EXPECT_EQ(grid.bottom, c.grid.bottom);
        EXPECT_EQ(window->StringGrid1->CellRect(0, 1).right, c.column0);
        // No tick label is cut at the chart's edges: its outer columns stay blank.
        RECT chart;
        ::GetClientRect(window->Chart1->Handle(), &chart);
        for (const LONG x : {0L, chart.right - 1})
            for (LONG y = 0; y < chart.bottom; ++y) ASSERT_EQ(window->Chart1->PixelAt(x, y), RGB(255, 255, 255)) << x;
    }
}

TEST_F(WindowTest, CloseDestroysTheWindowThroughItsHandler) {
    ::SendMessageW(window->Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(window->Handle(), nullptr);
}

class EditKeys : public LoadedWindow {
protected:
    std::vector<std::string> Column(int column) {
        std::vector<std::string> cells;
        for (int row = 1; row <= 32; ++row) cells.push_back(Cell(column, row));
        return cells;
    }
    // The editor shows its cell's text.
    void ExpectEditorShowsItsCell(const char* name) {
        HWND editor = window->StringGrid1->Editor();
        ASSERT_NE(editor, nullptr) << name;
        EXPECT_EQ(Text(editor), Cell(window->StringGrid1->Column(), window->StringGrid1->Row())) << name;
    }
};

TEST_F(EditKeys, CtrlCCopiesTheTableAndCtrlVPastesItsAnglesBack) {
    const std::vector<std::string> angles = Column(4);
    ClickCell(4, 7);
    ASSERT_NE(window->StringGrid1->Editor(), nullptr);
    SetClipboardText("stale");
    CtrlKey('C');
    const std::string copied = ClipboardText();
    EXPECT_EQ(tc::win32::Wide(copied), tc::win32::WithCrLf(tc::win32::Wide(window->Core().CopyTable())));
    EXPECT_EQ(copied.rfind("об/мин\tтаб.1\tтаб.2\tтаб.3\tУОЗ\r\n460\t", 0), 0u) << copied;
    EXPECT_EQ(Cell(4, 7), angles[6]) << "the editor's own copy does not reach the cell";

    TypeIntoCell(4, 3, "5");
    TypeIntoCell(4, 30, "6");
    ClickCell(4, 1);
    CtrlKey('V');
    EXPECT_TRUE(messages.all.empty());
    EXPECT_EQ(Column(4), angles);
    ExpectEditorShowsItsCell("the open editor shows the pasted value");
}

TEST_F(EditKeys, CtrlVPastesAColumnFromTheCurrentCellDown) {
    const struct {
        const char* name;
        int column, row;
        const char* clipboard;
        std::vector<std::string> cells;  // from the row down
    } cases[] = {
        {"angles with either separator", 4, 5, "12,5\r\n-\r\n13.5\r\n", {"12.5", "-", "13.5"}},
        {"speeds", 0, 2, "700\n800\n", {"700", "800"}},
        {"a spreadsheet's lines, last field", 4, 31, "a\tb\r\n1\t22\r\n2\t23\r\n", {"22", "23"}},
        {"Cyrillic header skipped", 4, 1, "УОЗ\r\n7\r\n", {"7"}},
    };
    for (const auto& c : cases) {
        SetClipboardText(c.clipboard);
        ClickCell(c.column, c.row);
        CtrlKey('V');
        for (std::size_t n = 0; n < c.cells.size(); ++n)
            EXPECT_EQ(Cell(c.column, c.row + static_cast<int>(n)), c.cells[n]) << c.name;
        EXPECT_TRUE(messages.all.empty()) << c.name;
        ExpectEditorShowsItsCell(c.name);
    }
}

TEST_F(EditKeys, ARefusedPasteSaysWhyAndChangesNothing) {
    for (const auto& c : tc::test::kRefusedPastes) {
        const tc::GridModel before = window->Core().Model();
        messages.all.clear();
        SetClipboardText(c.clipboard);
        ClickCell(c.column, c.row);
        CtrlKey('V');
        EXPECT_EQ(messages.all, (std::vector<Message>{{"warning", c.said}})) << c.name;
        EXPECT_TRUE(window->Core().Model().grid == before.grid) << c.name;
        EXPECT_FALSE(window->Core().CanUndo()) << c.name;
    }
}

// Keys after typing 12 into the angle of row 5: whether rows 5 and 6 then hold what was typed.
// Keys: v Down, z Ctrl+Z, y Ctrl+Y, Z Ctrl+Shift+Z, 3 typed.
struct UndoCase {
    const char* name;
    const char* keys;
    bool row5Typed, row6Typed;
};

void PrintTo(const UndoCase& c, std::ostream* os) { *os << c.name; }

class UndoKeys : public EditKeys, public ::testing::WithParamInterface<UndoCase> {};

TEST_P(UndoKeys, CtrlZUndoesTheEditorsTypingFirstThenTheGrids) {
    const UndoCase& c = GetParam();
    const std::string row5 = Cell(4, 5), row6 = Cell(4, 6);
    TypeIntoCell(4, 5, "12");
    ASSERT_EQ(Cell(4, 5), "12");
    for (const char key : std::string_view(c.keys)) {
        switch (key) {
            case 'v': Key(VK_DOWN); break;
            case 'z': CtrlKey('Z'); break;
            case 'y': CtrlKey('Y'); break;
            case 'Z': CtrlKey('Z', true); break;
            default: Type(std::string(1, key));
        }
    }
    EXPECT_EQ(Cell(4, 5), c.row5Typed ? "12" : row5);
    EXPECT_EQ(Cell(4, 6), c.row6Typed ? "3" : row6);
    ExpectEditorShowsItsCell(c.name);
    EXPECT_TRUE(messages.all.empty());
}

INSTANTIATE_TEST_SUITE_P(Keys, UndoKeys,
                         ::testing::Values(UndoCase{"TypeDownCtrlZBringsTheAngleBack", "vz", false, false},
                                           UndoCase{"CtrlZInTheEditor", "z", false, false},
                                           UndoCase{"CtrlYTypesItAgain", "vzy", true, false},
                                           UndoCase{"CtrlShiftZAsWell", "vzZ", true, false},
                                           UndoCase{"TheEditorsOwnRedo", "zy", true, false},
                                           UndoCase{"TheNextCellsTypingGoesFirst", "v3z", true, false},
                                           UndoCase{"ThenTheFirstCells", "v3zz", false, false},
                                           UndoCase{"AChangeAfterAnUndoDropsTheRedo", "vz3y", false, true},
                                           UndoCase{"NothingToRedo", "y", true, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LoadedWindow, ClosingWithChangesAsksAndDoesWhatTheAnswerSays) {
    // What Save to file writes for the same change.
    tc::test::Harness twin;
    twin.Load(cli::Sample(), "/fw/CDI.asm");
    twin.SetCell(4, 5, "12");
    ASSERT_TRUE(twin.Show(twin.core.Save()));
    const std::string saved = twin.files.files.at("/fw/CDI.asm");
    ASSERT_NE(saved, cli::Sample());

    const struct {
        const char* name;
        const char* typed;                 // into the angle of row 5; none: nothing changed
        std::optional<tc::Answer> answer;  // none: nothing is asked
        bool closed;
        std::string file;
        std::vector<Message> said;
    } cases[] = {
        {"nothing changed", nullptr, std::nullopt, true, cli::Sample(), {}},
        {"yes saves", "12", tc::Answer::Yes, true, saved, {}},
        {"no leaves the file", "12", tc::Answer::No, true, cli::Sample(), {}},
        {"cancel keeps the window", "12", tc::Answer::Cancel, false, cli::Sample(), {}},
        {"yes, but the save refuses",
         "80",
         tc::Answer::Yes,
         false,
         cli::Sample(),
         {{"warning", "Превышен предел 52° выше датчика"}}},
    };
    for (const auto& c : cases) {
        cli::WriteFile(file, cli::Sample());
        Open();
        chooser.answers.push_back(file.string());
        Click(window->Button1);
        messages.all.clear();
        questions.asked.clear();
        if (c.typed) TypeIntoCell(4, 5, c.typed);
        if (c.answer) questions.answers.push_back(*c.answer);
        // The system menu's Close, as the close button and Alt+F4 send it.
        ::PostMessageW(window->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
        Pump(window.get());
        EXPECT_EQ(window->Handle() == nullptr, c.closed) << c.name;
        EXPECT_EQ(questions.asked.size(), c.answer ? 1u : 0u) << c.name;
        if (c.answer) {
            EXPECT_EQ(questions.asked.front().text, "Сохранить изменения в файле CDI.asm?") << c.name;
        }
        EXPECT_EQ(cli::ReadFile(file), c.file) << c.name;
        EXPECT_EQ(messages.all, c.said) << c.name;
        questions.answers.clear();
    }
}

TEST_F(WindowTest, TheDesktopFindsHelpInTheCurrentFolderAndBesideTheProgram) {
    tc::win32::SystemDesktop system;
    cli::Folder folder;
    cli::WriteFile(folder / "Here.chm", "x");
    cli::fs::create_directory(folder / "Folder.chm");
    const cli::fs::path before = cli::fs::current_path();
    cli::fs::current_path(folder.Path());
    const struct {
        const char* name;
        bool here;
    } cases[] = {{"Here.chm", true}, {"Missing.chm", false}, {"Folder.chm", false}};
    for (const auto& c : cases) EXPECT_EQ(system.InCurrentFolder(c.name), c.here) << c.name;
    cli::fs::current_path(before);

    wchar_t program[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, program, MAX_PATH);
    const cli::fs::path beside = cli::fs::path(program).parent_path() / "TcBesideTest.chm";
    cli::WriteFile(beside, "x");
    EXPECT_EQ(cli::fs::path(tc::win32::Wide(system.InstalledDocument("TcBesideTest.chm"))), beside);
    cli::fs::remove(beside);
    EXPECT_EQ(system.InstalledDocument("TcBesideTest.chm"), "");
}

TEST(SystemFunction, FindsWhatTheWindowLoadsLateAndNothingElse) {
    const struct {
        const char* name;
        const wchar_t* library;
        const char* function;
        bool found;
    } cases[] = {
        {"the open dialog", L"comdlg32.dll", "GetOpenFileNameW", true},
        {"the help", L"shell32.dll", "ShellExecuteW", true},
        {"the arguments", L"shell32.dll", "CommandLineToArgvW", true},
        {"a missing function", L"shell32.dll", "NoSuchFunctionW", false},
        {"a missing library", L"nosuchlibrary.dll", "GetOpenFileNameW", false},
    };
    for (const auto& c : cases) EXPECT_EQ(tc::os::SystemFunction(c.library, c.function) != nullptr, c.found) << c.name;
}

}  // namespace
}  // namespace win32
