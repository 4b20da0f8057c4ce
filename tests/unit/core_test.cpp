#include "app/core.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <stdexcept>

#include "test_support.h"

namespace tc {
namespace {

using test::Firmware;
using test::FirmwareValues;
using test::Harness;
using test::MakeFirmware;
using test::Message;
using Kind = Diagnostic::Kind;

const std::string kPath = "/fw/CDI.asm";
const std::string kTitleWithTrimmer = "График УОЗ, файл: CDI.asm. Внимание, с подстроечным резистором!";

std::vector<std::string> Column(const Harness& h, int column) {
    std::vector<std::string> texts;
    for (int r = 0; r <= 32; ++r) texts.push_back(h.Cell(column, r));
    return texts;
}

// Everything the window shows that a load may change.
struct Shown {
    std::vector<std::vector<std::string>> columns;
    std::string spark, title, fileName;
    std::size_t points;
    unsigned trimmer;
    friend bool operator==(const Shown&, const Shown&) = default;
};

Shown ShownBy(const Harness& h) {
    Shown s;
    for (int c = 0; c < 5; ++c) s.columns.push_back(Column(h, c));
    s.spark = h.core.Model().spark.text;
    s.title = h.core.TextOf(Element::ChartTitle);
    s.fileName = h.core.SourceFileName();
    s.points = h.core.Series().Points().size();
    s.trimmer = h.core.TrimmerFlag();
    return s;
}

TEST(Start, StartState) {
    Harness h;
    EXPECT_EQ(h.core.TextOf(Element::OpenButton), "Файл");
    EXPECT_EQ(h.core.TextOf(Element::LanguageButton), "English");
    EXPECT_EQ(h.core.TextOf(Element::ChartTitle), "График УОЗ");
    EXPECT_EQ(h.core.TextOf(Element::WindowCaption), "Перерасчет угла опережения ФУОЗ DA-VED  v0.98");
    EXPECT_EQ(h.Cell(0, 0), "об/мин");
    EXPECT_EQ(h.Cell(4, 0), "УОЗ");
    EXPECT_EQ(h.Cell(1, 0), "");
    EXPECT_EQ(h.Cell(0, 11), "2800");
    EXPECT_FALSE(h.core.Model().editing);  // the current cell (0, 1) holds the fixed 460
    EXPECT_TRUE(h.core.Source().Empty());
    EXPECT_EQ(h.core.SourcePath(), "");
    EXPECT_EQ(h.core.LanguageFlag(), 0u);
    EXPECT_EQ(h.core.TrimmerFlag(), 0u);
    EXPECT_TRUE(h.core.Series().Points().empty());
}

TEST(FileButton, CancelBeforeAnyFileChangesNothing) {
    Harness h;
    const Shown before = ShownBy(h);
    h.Show(h.core.OpenSource());
    EXPECT_EQ(h.chooser.proposed, (std::vector<std::string>{"CDI.asm"}));
    EXPECT_EQ(ShownBy(h), before);
    EXPECT_TRUE(h.messages.all.empty());
    EXPECT_EQ(h.core.SourcePath(), "");
}

TEST(FileButton, LoadsTheWholeRoad) {
    Harness h;
    const std::string longPath = "/" + std::string(90, 'd') + "/sub dir/CDI.asm";
    h.Load(MakeFirmware().Bytes(), longPath);
    EXPECT_TRUE(h.messages.all.empty());
    EXPECT_EQ(h.core.SourcePath(), longPath);  // kept whole
    EXPECT_EQ(h.core.SourceFileName(), "CDI.asm");
    EXPECT_EQ(h.core.Source().ToFileBytes(), MakeFirmware().Bytes());
    EXPECT_EQ(h.Cell(4, 1), "20");
    EXPECT_EQ(h.Cell(4, 2), "19.3");
    EXPECT_EQ(h.Cell(4, 32), "-1.7");
    ASSERT_EQ(h.core.Series().Points().size(), 32u);
    EXPECT_EQ(h.core.Series().Points().back(), (PlotPoint{19530, -1.7, kRed}));
    EXPECT_EQ(h.core.TrimmerFlag(), 1u);
    EXPECT_EQ(h.core.TextOf(Element::ChartTitle), kTitleWithTrimmer);
}

TEST(FileButton, CancelAfterALoadReadsTheSameFileAgain) {
    Harness h;
    h.Load(MakeFirmware().Bytes(), kPath);
    FirmwareValues changed;
    changed.tables[0][0] = 10;
    h.files.files[kPath] = MakeFirmware(changed).Bytes();
    h.Show(h.core.OpenSource());  // cancelled
    EXPECT_EQ(h.chooser.proposed, (std::vector<std::string>{"CDI.asm", kPath}));
    EXPECT_EQ(h.Cell(1, 1), "10");
    EXPECT_EQ(h.Cell(4, 1), "13");
    EXPECT_EQ(h.core.Source().ToFileBytes(), MakeFirmware(changed).Bytes());
}

TEST(FileButton, AFileThatDoesNotOpen) {
    for (unsigned language : {kRussian, kEnglish}) {
        Harness h;
        h.Load(MakeFirmware().Bytes(), kPath);
        if (language == kEnglish) h.core.SwitchLanguage();
        const Shown before = ShownBy(h);
        h.chooser.answers.push_back("/fw/gone.asm");
        h.Show(h.core.OpenSource());
        const std::string text =
            (language == kEnglish ? "No file found " : "Ошибка доступа к файлу ") + std::string("/fw/gone.asm");
        EXPECT_EQ(h.messages.all, (std::vector<Message>{{"error", text}}));
        EXPECT_EQ(ShownBy(h), before);
        EXPECT_TRUE(h.core.Source().Empty());
        EXPECT_EQ(h.core.SourcePath(), "/fw/gone.asm");
    }
}

TEST(FileButton, AReadErrorIsTheGeneralErrorReport) {
    Harness h;
    const Shown before = ShownBy(h);
    h.files.readErrors["/fw/bad.asm"] = "I/O error 103";
    h.chooser.answers.push_back("/fw/bad.asm");
    h.Show(h.core.OpenSource());
    EXPECT_EQ(h.messages.all, (std::vector<Message>{{"app", "I/O error 103"}}));
    EXPECT_EQ(ShownBy(h), before);
    EXPECT_TRUE(h.core.Source().Empty());
}

TEST(FileButton, AnEntryWithoutAngleIsAGreenPointAtTheAngleAbove) {
    Harness h;
    h.core.ChooseTable("3");
    h.Load(MakeFirmware().Bytes(), kPath);
    EXPECT_EQ(h.Cell(4, 15), "-105.3");
    EXPECT_EQ(h.Cell(4, 16), "-");
    EXPECT_EQ(h.Cell(4, 17), "71.8");
    const auto& points = h.core.Series().Points();
    EXPECT_EQ(points[15], (PlotPoint{std::stod(h.Cell(0, 16)), -105.3, kGreen}));
    EXPECT_EQ(points[16].color, kRed);
}

TEST(FileButton, AnEmptyFileIsOnlyReported) {
    Harness h;
    const Shown before = ShownBy(h);
    h.Load("", "/fw/empty.asm");
    EXPECT_EQ(h.messages.all, (std::vector<Message>{{"warning", "Файл пуст: /fw/empty.asm"}}));
    EXPECT_EQ(ShownBy(h), before);
}

TEST(FileButton, AnIncompleteSourceFillsTheAnglesOnlyFromAFullColumn) {
    const auto without = [](const char* label) {
        Firmware fw = MakeFirmware();
        fw.Erase(fw.Index(label));
        return fw.Bytes();
    };
    const struct {
        const char* what;
        std::string bytes;
        const char* table;
        bool filled;
    } cases[] = {
        {"no label 2, table 1", without("FuozTable2:"), "1", true},
        {"no label 2, table 2", without("FuozTable2:"), "2", false},
        {"no marker", without(";блок"), "1", false},
    };
    for (const auto& c : cases) {
        Harness h;
        h.core.ChooseTable(c.table);
        h.Load(c.bytes, kPath);
        EXPECT_EQ(h.messages.all.size(), 1u) << c.what;
        EXPECT_EQ(h.Cell(4, 11).empty(), !c.filled) << c.what;
        EXPECT_EQ(h.core.Series().Points().size(), c.filled ? 32u : 0u) << c.what;
        EXPECT_EQ(h.core.SourceFileName(), "CDI.asm") << c.what;
        EXPECT_NE(h.core.TextOf(Element::ChartTitle), "График УОЗ") << c.what;
    }
}

TEST(FileButton, AfterAnIncompleteScanEveryRowOfTheColumnMustHoldACode) {
    Firmware withoutLabel2 = MakeFirmware();
    withoutLabel2.Erase(withoutLabel2.Index("FuozTable2:"));
    for (const bool emptyRow1 : {false, true}) {
        Harness h;
        h.Load(MakeFirmware().Bytes(), kPath);
        h.core.ChooseTable("2");
        h.SetCell(4, 11, "");
        if (emptyRow1) h.SetCell(2, 1, "");
        h.messages.all.clear();
        h.Load(withoutLabel2.Bytes(), "/fw/other.asm");
        EXPECT_EQ(h.messages.all, (std::vector<Message>{{"warning", test::MissingItem("FuozTable2:", kRussian)}}));
        // column 2 still holds the earlier file's codes, unless one of them is gone
        EXPECT_EQ(h.Cell(4, 11).empty(), emptyRow1) << emptyRow1;
    }
}

TEST(FileButton, SpeedCode255EndsTheLoad) {
    FirmwareValues values;
    values.speedCodes[12] = 255;  // row 20
    Harness h;
    h.Load(MakeFirmware(values).Bytes(), kPath);
    EXPECT_EQ(h.messages.all, (std::vector<Message>{{"app", "Floating point division by zero"}}));
    EXPECT_EQ(h.Cell(0, 21), "5860");  // converted before it
    EXPECT_EQ(h.Cell(0, 20), "255");
    EXPECT_EQ(h.Cell(1, 1), "");
    EXPECT_EQ(h.core.TextOf(Element::ChartTitle), "График УОЗ");
}

TEST(FileButton, FileNameByThePlatformsRules) {
    Harness windows(U',', true);
    windows.Load(MakeFirmware().Bytes(), "C:\\fw\\CDI.asm");
    EXPECT_EQ(windows.core.SourceFileName(), "CDI.asm");
    EXPECT_EQ(windows.Cell(4, 2), "19,3");

    Harness posix;
    posix.Load(MakeFirmware().Bytes(), "C:\\fw\\CDI.asm");
    EXPECT_EQ(posix.core.SourceFileName(), "C:\\fw\\CDI.asm");
}

struct CountingObserver : CoreObserver {
    int cells = 0, sources = 0, plots = 0, titles = 0, sparks = 0;
    std::set<std::pair<int, int>> changed;
    void CellChanged(int column, int row) override {
        ++cells;
        changed.emplace(column, row);
    }
    void ComboChanged(Combo combo) override { sparks += combo == Combo::SparkDuration; }
    void SourceChanged() override { ++sources; }
    void PlotChanged() override { ++plots; }
    void TextChanged(Element element) override { titles += element == Element::ChartTitle; }
};

TEST(CoreObserver, IsToldOfWhatTheWindowMustRedraw) {
    Harness h;
    CountingObserver seen;
    h.core.SetObserver(&seen);
    seen = {};  // what it was shown when it came
    const GridModel before = h.core.Model();
    h.Load(MakeFirmware().Bytes(), kPath);
    EXPECT_GE(seen.sources, 2);  // emptied, then loaded
    // Each cell whose text differs is told once, and no other: three tables, the
    // angles, the table headers and the speeds that are not the start-up ones.
    std::set<std::pair<int, int>> differ;
    for (int row = 0; row < kGridRows; ++row)
        for (int column = 0; column < kGridColumns; ++column)
            if (before.grid.Cell(column, row) != h.Cell(column, row)) differ.emplace(column, row);
    EXPECT_GE(differ.size(), std::size_t{3 * 32 + 32 + 3 + 20});
    EXPECT_EQ(seen.changed, differ);
    EXPECT_EQ(seen.cells, static_cast<int>(differ.size()));
    EXPECT_EQ(seen.plots, 1);
    EXPECT_EQ(seen.titles, 1);
    EXPECT_GE(seen.sparks, 1);

    seen = {};
    h.SetCell(4, 1, "8.1");
    h.files.writeError = "disk full";
    h.Show(h.core.Save());
    EXPECT_EQ(seen.sources, 1);  // the rewritten text is shown although the write failed
    EXPECT_EQ(seen.plots, 1);

    seen = {};
    h.SetCell(4, 3, "");
    h.Show(h.core.Plot());
    EXPECT_EQ(seen.plots, 1);  // a partial plot is shown too
}

TEST(SaveToTable, ChecksPlotsThenStores) {
    Harness h;
    h.Load(MakeFirmware().Bytes(), kPath);
    h.SetCell(4, 11, "");
    EXPECT_FALSE(h.Show(h.core.StoreAngles()));
    EXPECT_EQ(h.messages.all, (std::vector<Message>{{"warning", "Данные не определены"}}));
    EXPECT_EQ(h.core.Series().Points()[10].y, 13.0);  // the old curve stays

    h.messages.all.clear();
    h.SetCell(4, 11, "15.1");
    h.SetCell(4, 3, "30");
    h.SetCell(4, 7, "73");
    EXPECT_FALSE(h.Show(h.core.StoreAngles()));
    EXPECT_EQ(h.messages.all, (std::vector<Message>{{"warning", "Превышен предел 52° выше датчика"}}));
    EXPECT_EQ(h.core.Series().Points()[2].y, 30.0);  // replotted before storing
    EXPECT_EQ(h.Cell(1, 3), "241");
    EXPECT_EQ(h.Cell(1, 11), "10");  // after the bad row: old code

    h.messages.all.clear();
    h.SetCell(4, 7, "-");
    EXPECT_TRUE(h.Show(h.core.StoreAngles()));
    EXPECT_TRUE(h.messages.all.empty());
    EXPECT_EQ(h.Cell(1, 7), "180");
    EXPECT_EQ(h.Cell(1, 11), "7");
}

TEST(GraphButton, MissingDataAndPartialPlots) {
    Harness h;
    h.Load(MakeFirmware().Bytes(), kPath);
    h.SetCell(4, 3, "");
    h.Show(h.core.Plot());
    EXPECT_EQ(h.messages.all, (std::vector<Message>{{"app", "'' is not a valid floating point value."}}));
    EXPECT_EQ(h.core.Series().Points().size(), 2u);

    h.messages.all.clear();
    h.SetCell(4, 3, "18");
    h.SetCell(4, 11, "");
    h.Show(h.core.Plot());
    EXPECT_EQ(h.messages.all, (std::vector<Message>{{"warning", "Данные не определены"}}));
    EXPECT_EQ(h.core.Series().Points().size(), 2u);
}

TEST(ComboBoxes, RefillTheAngleColumnOnceItHoldsData) {
    Harness h;
    h.Show(h.core.ChooseTable("2"));
    EXPECT_EQ(Column(h, 4), Column(Harness(), 4));  // nothing before data

    h.core.ChooseTable("1");
    h.Load(MakeFirmware().Bytes(), kPath);
    h.Show(h.core.ChooseTable("2"));
    EXPECT_EQ(h.Cell(4, 1), "58.5");
    EXPECT_EQ(h.Cell(4, 32), "20");
    EXPECT_EQ(h.core.Series().Points()[0].y, 58.5);

    h.Show(h.core.SetSensorAngle("25"));
    EXPECT_EQ(h.Cell(4, 1), "63.5");
    EXPECT_EQ(h.Cell(2, 1), "200");  // the codes stay

    h.Show(h.core.SetSensorAngle(""));
    EXPECT_EQ(h.messages.all, (std::vector<Message>{{"app", "'' is not a valid integer value."}}));
}

TEST(CompileButton, StartsTheAssemblerOnTheOpenedFile) {
    Harness h;
    h.Show(h.core.Compile());
    EXPECT_TRUE(h.desktop.started.empty());
    EXPECT_TRUE(h.messages.all.empty());

    h.Load(MakeFirmware().Bytes(), "/home/u/my fw.asm");
    h.Show(h.core.Compile());
    ASSERT_EQ(h.desktop.started.size(), 1u);
    EXPECT_EQ(h.desktop.started[0].arguments.back(), "my fw.asm");
    EXPECT_EQ(h.desktop.started[0].workingDirectory, "/home/u");

    h.desktop.startSucceeds = false;
    h.Show(h.core.Compile());
    h.desktop.onPath.clear();
    h.Show(h.core.Compile());
    EXPECT_EQ(h.desktop.started.size(), 2u);
    EXPECT_EQ(h.messages.all, (std::vector<Message>(2, {"warning", test::Said(Kind::NoTerminal, kRussian)})));
}

TEST(CompileButton, VerifiesTheImageWhenTheCommandLineToolIsBeside) {
    const struct {
        const char* name;
        std::string beside;
        std::size_t arguments;
    } cases[] = {{"installed beside", "/opt/timingcalc/timingcalc-cli", 7}, {"not installed", "", 6}};
    for (const auto& c : cases) {
        Harness h;
        h.desktop.cliBeside = c.beside;
        h.Load(MakeFirmware().Bytes(), "/home/u/CDI.asm");
        h.Show(h.core.Compile());
        ASSERT_EQ(h.desktop.started.size(), 1u) << c.name;
        const auto& arguments = h.desktop.started[0].arguments;
        EXPECT_EQ(arguments.size(), c.arguments) << c.name;
        EXPECT_EQ(arguments.back(), c.beside.empty() ? "CDI.asm" : c.beside) << c.name;
        EXPECT_EQ(arguments[3].find("verify") != std::string::npos, !c.beside.empty()) << c.name;
    }
}

TEST(HelpButton, CurrentFolderFirstThenTheInstalledHelp) {
    const std::string onLinux = "/usr/share/timingcalc/Help.chm";
    const std::string onWindows = "C:\\Program Files\\timingcalc\\Help.chm";
    const struct {
        const char* name;
        bool inCurrentFolder;
        std::string installed;
        std::string opened;
    } cases[] = {
        {"only in the current folder", true, "", "Help.chm"},
        {"the current folder's wins over the installed", true, onLinux, "Help.chm"},
        {"installed on Linux", false, onLinux, onLinux},
        {"installed beside the program on Windows", false, onWindows, onWindows},
        {"nowhere: the desktop reports it, as before", false, "", "Help.chm"},
    };
    for (const auto& c : cases) {
        Harness h;
        if (c.inCurrentFolder) h.desktop.currentFolder.insert("Help.chm");
        if (!c.installed.empty()) h.desktop.installed["Help.chm"] = c.installed;
        h.core.ShowHelp();
        EXPECT_EQ(h.desktop.documents, (std::vector<std::string>{c.opened})) << c.name;
        EXPECT_TRUE(h.messages.all.empty()) << c.name;
    }
}

TEST(LanguageButton, SwitchesEveryTextAndBack) {
    Harness h;
    Harness start;
    h.core.SwitchLanguage();
    EXPECT_EQ(h.core.LanguageFlag(), 1u);
    EXPECT_EQ(h.core.TextOf(Element::CompileButton), "Compile HEX File");
    EXPECT_EQ(h.core.TextOf(Element::SparkLabel), "Spark, us");
    EXPECT_EQ(h.core.TextOf(Element::ChartTitle), "Timing graph");
    EXPECT_EQ(h.core.TextOf(Element::WindowCaption), "Ignition timing calculator for DA-VED project v0.98");
    EXPECT_EQ(h.Cell(0, 0), "RPM");
    EXPECT_EQ(h.Cell(4, 0), "angle");
    EXPECT_EQ(h.Cell(1, 0), "");  // no source chosen yet
    h.Show(h.core.Plot());
    EXPECT_EQ(h.messages.all, (std::vector<Message>{{"warning", "Missing data"}}));

    h.core.SwitchLanguage();
    for (std::size_t i = 0; i < kElementCount; ++i)
        EXPECT_EQ(h.core.TextOf(static_cast<Element>(i)), start.core.TextOf(static_cast<Element>(i))) << i;
    EXPECT_EQ(Column(h, 0), Column(start, 0));
    EXPECT_EQ(Column(h, 4), Column(start, 4));
}

TEST(LanguageButton, TableHeadersOnceAFileWasChosen) {
    Harness h;
    h.chooser.answers.push_back("/fw/gone.asm");
    h.Show(h.core.OpenSource());
    h.core.SwitchLanguage();
    EXPECT_EQ(h.Cell(1, 0), "Tab.1");
    EXPECT_EQ(h.Cell(3, 0), "Tab.3");
    EXPECT_EQ(h.core.TextOf(Element::ChartTitle), "Timing graph");

    Harness loaded;
    loaded.Load(MakeFirmware().Bytes(), kPath);
    loaded.core.SwitchLanguage();
    EXPECT_EQ(loaded.Cell(2, 0), "Tab.2");
    EXPECT_EQ(loaded.core.TextOf(Element::ChartTitle), "Timing graph, file: CDI.asm. Attention, with adjust resistor!");
    loaded.core.SwitchLanguage();
    EXPECT_EQ(loaded.Cell(2, 0), "таб.2");
    EXPECT_EQ(loaded.core.TextOf(Element::ChartTitle), kTitleWithTrimmer);
}

struct EditingObserver : CoreObserver {
    std::vector<bool> told;
    std::vector<std::pair<int, int>> cells;
    std::vector<Combo> combos;
    void EditingChanged(bool editing) override { told.push_back(editing); }
    void CellChanged(int column, int row) override { cells.emplace_back(column, row); }
    void ComboChanged(Combo combo) override { combos.push_back(combo); }
};

TEST(CoreObserver, HearsOfEachSwitchOfTheEditingOptionOnce) {
    Harness h;
    EditingObserver seen;
    h.core.SelectCell(4, 1);  // an editable cell, as before any selection
    h.core.SetObserver(&seen);
    seen.told.clear();  // what the observer was shown when it came
    const struct { int column, row; } steps[] = {{2, 5}, {3, 5}, {4, 5}, {0, 1}, {0, 2}, {1, 1}};
    for (const auto& s : steps) h.core.SelectCell(s.column, s.row);
    EXPECT_EQ(seen.told, (std::vector<bool>{false, true, false, true, false}));
}

TEST(CoreObserver, IsToldOfEverythingWhenItComes) {
    Harness h;
    h.Load(MakeFirmware().Bytes(), kPath);
    EditingObserver seen;
    h.core.SetObserver(&seen);
    EXPECT_EQ(seen.cells.size(), std::size_t{kGridColumns * kGridRows}) << "every cell differs from an empty grid";
    EXPECT_EQ(seen.combos.size(), 3u);
}

TEST(CoreObserver, ATypedTextIsNotSentBackToTheViewThatTypedIt) {
    Harness h;
    h.Load(MakeFirmware().Bytes(), kPath);
    EditingObserver seen;
    h.core.SetObserver(&seen);
    seen = {};
    h.SetCell(4, 5, "12.5");
    h.Show(h.core.SetSparkDuration("70"));
    EXPECT_TRUE(seen.cells.empty());
    EXPECT_TRUE(seen.combos.empty());
    EXPECT_EQ(h.Cell(4, 5), "12.5");
    EXPECT_EQ(h.core.Model().spark.text, "70");

    h.Show(h.core.SetSensorAngle("25"));  // refills the other rows of the angle column
    EXPECT_TRUE(seen.combos.empty());
    EXPECT_EQ(seen.cells.size(), 32u);
}

TEST(Edit, OnlyTheSensorAngleAndTableNumberRefillTheAngles) {
    const struct {
        const char* name;
        Field field;
        std::string text;
        std::string angleRow1;
    } cases[] = {
        {"sensor angle", {Field::SensorAngle}, "25", "25"},      {"table number", {Field::TableNumber}, "2", "58.5"},
        {"spark duration", {Field::SparkDuration}, "100", "20"}, {"speed cell", {Field::Cell, 0, 5}, "1300", "20"},
        {"another angle", {Field::Cell, 4, 2}, "1", "20"},
    };
    for (const auto& c : cases) {
        Harness h;
        h.Load(MakeFirmware().Bytes(), kPath);
        EXPECT_TRUE(h.Show(h.core.Edit(c.field, c.text))) << c.name;
        EXPECT_EQ(h.Cell(4, 1), c.angleRow1) << c.name;
        EXPECT_TRUE(h.messages.all.empty()) << c.name;
    }
}

TEST(Edit, ACellOutsideTheGridChangesNothing) {
    Harness h;
    EXPECT_THROW(h.core.Edit({Field::Cell, 5, 1}, "1"), std::out_of_range);
    EXPECT_THROW(h.core.Edit({Field::Cell, 0, 33}, "1"), std::out_of_range);
}

// What each operation reports as data, so that a front end needs no message count.
TEST(Outcome, EachOperationSaysHowItEnded) {
    Firmware noLabel2 = MakeFirmware();
    noLabel2.Erase(noLabel2.Index("FuozTable2:"));
    const struct {
        const char* name;
        std::function<Outcome(Harness&)> run;
        Outcome::Status status;
        std::vector<Kind> said;
    } cases[] = {
        {"open a whole source", [](Harness& h) { return h.core.OpenSource(kPath); }, Outcome::Done, {}},
        {"open a source without a label",
         [&](Harness& h) {
             h.files.files["/fw/part.asm"] = noLabel2.Bytes();
             return h.core.OpenSource("/fw/part.asm");
         },
         Outcome::Incomplete,
         {Kind::MissingItem}},
        {"open a file that is not there",
         [](Harness& h) { return h.core.OpenSource("/fw/none.asm"); },
         Outcome::Failed,
         {Kind::FileAccess}},
        {"store without angles",
         [](Harness& h) {
             h.SetCell(4, 11, "");
             return h.core.StoreAngles();
         },
         Outcome::Refused,
         {Kind::MissingData}},
        {"store an angle too low",
         [](Harness& h) {
             h.core.OpenSource(kPath);
             h.SetCell(4, 3, "-200");
             return h.core.StoreAngles();
         },
         Outcome::Refused,
         {Kind::BelowRange}},
        {"plot a text that is no number",
         [](Harness& h) {
             h.core.OpenSource(kPath);
             h.SetCell(4, 3, "x");
             return h.core.Plot();
         },
         Outcome::Failed,
         {Kind::Failure}},
        {"save a speed too high",
         [](Harness& h) {
             h.core.OpenSource(kPath);
             h.SetCell(0, 5, "20001");
             return h.core.Save();
         },
         Outcome::Refused,
         {Kind::RpmTooHigh}},
        {"save to a full disk",
         [](Harness& h) {
             h.core.OpenSource(kPath);
             h.files.writeError = "disk full";
             return h.core.SaveAs("/fw/out.asm");
         },
         Outcome::Failed,
         {Kind::CannotCreate}},
        {"save",
         [](Harness& h) {
             h.core.OpenSource(kPath);
             return h.core.SaveAs("/fw/out.asm");
         },
         Outcome::Done,
         {}},
    };
    for (const auto& c : cases) {
        Harness h;
        h.files.files[kPath] = MakeFirmware().Bytes();
        const Outcome outcome = c.run(h);
        EXPECT_EQ(outcome.status, c.status) << c.name;
        std::vector<Kind> said;
        for (const Diagnostic& d : outcome.diagnostics) said.push_back(d.kind);
        EXPECT_EQ(said, c.said) << c.name;
        EXPECT_EQ(outcome.Ok(), c.status == Outcome::Done) << c.name;
    }
}

TEST(Outcome, ASaveThatFailsNamesThePathAndTheReason) {
    Harness h;
    h.Load(MakeFirmware().Bytes(), kPath);
    h.files.writeError = "disk full";
    h.Show(h.core.SaveAs("/fw/out.asm"));
    EXPECT_EQ(h.messages.all, (std::vector<Message>{{"app", "Cannot create file \"/fw/out.asm\". disk full"}}));
}

TEST(Outcome, TheMessagesComeInTheLanguageCurrentWhenTheyAreShown) {
    Harness h;
    const Outcome refused = h.core.Plot();
    h.core.SwitchLanguage();
    h.Show(refused);
    EXPECT_EQ(h.messages.all, (std::vector<Message>{{"warning", "Missing data"}}));
}

}  // namespace
}  // namespace tc
