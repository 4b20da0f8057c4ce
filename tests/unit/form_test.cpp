#include "app/form.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace tc {
namespace {

using test::Firmware;
using test::FirmwareValues;
using test::Harness;
using test::MakeFirmware;
using test::Message;

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
    s.spark = h.form.Model().spark.text;
    s.title = h.form.TextOf(Element::ChartTitle);
    s.fileName = h.form.SourceFileName();
    s.points = h.form.Series().Points().size();
    s.trimmer = h.form.TrimmerFlag();
    return s;
}

TEST(FormCreate, StartState) {
    Harness h;
    EXPECT_EQ(h.form.TextOf(Element::Button1), "Файл");
    EXPECT_EQ(h.form.TextOf(Element::Button7), "English");
    EXPECT_EQ(h.form.TextOf(Element::ChartTitle), "График УОЗ");
    EXPECT_EQ(h.form.TextOf(Element::WindowCaption), "Перерасчет угла опережения ФУОЗ DA-VED  v0.98");
    EXPECT_EQ(h.Cell(0, 0), "об/мин");
    EXPECT_EQ(h.Cell(4, 0), "УОЗ");
    EXPECT_EQ(h.Cell(1, 0), "");
    EXPECT_EQ(h.Cell(0, 11), "2800");
    EXPECT_FALSE(h.form.Model().editing);  // the current cell (0, 1) holds the fixed 460
    EXPECT_TRUE(h.form.Source().Empty());
    EXPECT_EQ(h.form.SourcePath(), "");
    EXPECT_EQ(h.form.LanguageFlag(), 0u);
    EXPECT_EQ(h.form.TrimmerFlag(), 0u);
    EXPECT_TRUE(h.form.Series().Points().empty());
}

TEST(FileButton, CancelBeforeAnyFileChangesNothing) {
    Harness h;
    const Shown before = ShownBy(h);
    h.form.Button1Click();
    EXPECT_EQ(h.chooser.proposed, (std::vector<std::string>{"CDI.asm"}));
    EXPECT_EQ(ShownBy(h), before);
    EXPECT_TRUE(h.messages.shown.empty());
    EXPECT_EQ(h.form.SourcePath(), "");
}

TEST(FileButton, LoadsTheWholeRoad) {
    Harness h;
    const std::string longPath = "/" + std::string(90, 'd') + "/sub dir/CDI.asm";
    h.Load(MakeFirmware().Bytes(), longPath);
    EXPECT_TRUE(h.messages.shown.empty());
    EXPECT_EQ(h.form.SourcePath(), longPath);  // kept whole
    EXPECT_EQ(h.form.SourceFileName(), "CDI.asm");
    EXPECT_EQ(h.form.Source().ToFileBytes(), MakeFirmware().Bytes());
    EXPECT_EQ(h.Cell(4, 1), "20");
    EXPECT_EQ(h.Cell(4, 2), "19.3");
    EXPECT_EQ(h.Cell(4, 32), "-1.7");
    ASSERT_EQ(h.form.Series().Points().size(), 32u);
    EXPECT_EQ(h.form.Series().Points().back(), (PlotPoint{19530, -1.7, kRed}));
    EXPECT_EQ(h.form.TrimmerFlag(), 1u);
    EXPECT_EQ(h.form.TextOf(Element::ChartTitle), kTitleWithTrimmer);
}

TEST(FileButton, CancelAfterALoadReadsTheSameFileAgain) {
    Harness h;
    h.Load(MakeFirmware().Bytes(), kPath);
    FirmwareValues changed;
    changed.tables[0][0] = 10;
    h.files.files[kPath] = MakeFirmware(changed).Bytes();
    h.form.Button1Click();  // cancelled
    EXPECT_EQ(h.chooser.proposed, (std::vector<std::string>{"CDI.asm", kPath}));
    EXPECT_EQ(h.Cell(1, 1), "10");
    EXPECT_EQ(h.Cell(4, 1), "13");
    EXPECT_EQ(h.form.Source().ToFileBytes(), MakeFirmware(changed).Bytes());
}

TEST(FileButton, AFileThatDoesNotOpen) {
    for (unsigned language : {kRussian, kEnglish}) {
        Harness h;
        h.Load(MakeFirmware().Bytes(), kPath);
        if (language == kEnglish) h.form.Button7Click();
        const Shown before = ShownBy(h);
        h.chooser.answers.push_back("/fw/gone.asm");
        h.form.Button1Click();
        const std::string text = (language == kEnglish ? "No file found " : "Ошибка доступа к файлу ") + std::string("/fw/gone.asm");
        EXPECT_EQ(h.messages.shown, (std::vector<Message>{{Message::Error, text}}));
        EXPECT_EQ(ShownBy(h), before);
        EXPECT_TRUE(h.form.Source().Empty());
        EXPECT_EQ(h.form.SourcePath(), "/fw/gone.asm");
    }
}

TEST(FileButton, AReadErrorIsTheGeneralErrorReport) {
    Harness h;
    const Shown before = ShownBy(h);
    h.files.readErrors["/fw/bad.asm"] = "I/O error 103";
    h.chooser.answers.push_back("/fw/bad.asm");
    h.form.Button1Click();
    EXPECT_EQ(h.messages.shown, (std::vector<Message>{{Message::AppError, "I/O error 103"}}));
    EXPECT_EQ(ShownBy(h), before);
    EXPECT_TRUE(h.form.Source().Empty());
}

TEST(FileButton, AnEntryWithoutAngleIsAGreenPointAtTheAngleAbove) {
    Harness h;
    h.form.Model().table.SetText("3");
    h.Load(MakeFirmware().Bytes(), kPath);
    EXPECT_EQ(h.Cell(4, 15), "-105.3");
    EXPECT_EQ(h.Cell(4, 16), "-");
    EXPECT_EQ(h.Cell(4, 17), "71.8");
    const auto& points = h.form.Series().Points();
    EXPECT_EQ(points[15], (PlotPoint{std::stod(h.Cell(0, 16)), -105.3, kGreen}));
    EXPECT_EQ(points[16].color, kRed);
}

TEST(FileButton, AnEmptyFileIsOnlyReported) {
    Harness h;
    const Shown before = ShownBy(h);
    h.Load("", "/fw/empty.asm");
    EXPECT_EQ(h.messages.shown, (std::vector<Message>{{Message::Warning, "Файл пуст: /fw/empty.asm"}}));
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
        h.form.Model().table.SetText(c.table);
        h.Load(c.bytes, kPath);
        EXPECT_EQ(h.messages.shown.size(), 1u) << c.what;
        EXPECT_EQ(h.Cell(4, 11).empty(), !c.filled) << c.what;
        EXPECT_EQ(h.form.Series().Points().size(), c.filled ? 32u : 0u) << c.what;
        EXPECT_EQ(h.form.SourceFileName(), "CDI.asm") << c.what;
        EXPECT_NE(h.form.TextOf(Element::ChartTitle), "График УОЗ") << c.what;
    }
}

TEST(FileButton, AfterAnIncompleteScanEveryRowOfTheColumnMustHoldACode) {
    Firmware withoutLabel2 = MakeFirmware();
    withoutLabel2.Erase(withoutLabel2.Index("FuozTable2:"));
    for (const bool emptyRow1 : {false, true}) {
        Harness h;
        h.Load(MakeFirmware().Bytes(), kPath);
        h.form.Model().table.SetText("2");
        h.SetCell(4, 11, "");
        if (emptyRow1) h.SetCell(2, 1, "");
        h.messages.shown.clear();
        h.Load(withoutLabel2.Bytes(), "/fw/other.asm");
        EXPECT_EQ(h.messages.shown, (std::vector<Message>{{Message::Warning, MissingItem("FuozTable2:", kRussian)}}));
        // column 2 still holds the earlier file's codes, unless one of them is gone
        EXPECT_EQ(h.Cell(4, 11).empty(), emptyRow1) << emptyRow1;
    }
}

TEST(FileButton, SpeedCode255EndsTheLoad) {
    FirmwareValues values;
    values.speedCodes[12] = 255;  // row 20
    Harness h;
    h.Load(MakeFirmware(values).Bytes(), kPath);
    EXPECT_EQ(h.messages.shown, (std::vector<Message>{{Message::AppError, "Floating point division by zero"}}));
    EXPECT_EQ(h.Cell(0, 21), "5860");  // converted before it
    EXPECT_EQ(h.Cell(0, 20), "255");
    EXPECT_EQ(h.Cell(1, 1), "");
    EXPECT_EQ(h.form.TextOf(Element::ChartTitle), "График УОЗ");
}

TEST(FileButton, FileNameByThePlatformsRules) {
    test::RecordingMessages messages;
    test::ScriptedChooser chooser;
    test::MemoryFiles files;
    test::RecordingDesktop desktop;
    Form windows(Ports{messages, chooser, files, desktop}, U',', true);
    windows.FormCreate();
    files.files["C:\\fw\\CDI.asm"] = MakeFirmware().Bytes();
    chooser.answers.push_back("C:\\fw\\CDI.asm");
    windows.Button1Click();
    EXPECT_EQ(windows.SourceFileName(), "CDI.asm");
    EXPECT_EQ(windows.Model().grid.Cell(4, 2), "19,3");

    Harness posix;
    posix.Load(MakeFirmware().Bytes(), "C:\\fw\\CDI.asm");
    EXPECT_EQ(posix.form.SourceFileName(), "C:\\fw\\CDI.asm");
}

struct CountingObserver : FormObserver {
    int cells = 0, sources = 0, plots = 0, titles = 0, sparks = 0;
    void CellChanged(int, int) override { ++cells; }
    void ComboTextChanged(int number) override { sparks += number == 3; }
    void SourceChanged() override { ++sources; }
    void PlotChanged() override { ++plots; }
    void TextChanged(Element element) override { titles += element == Element::ChartTitle; }
};

TEST(FormObserver, IsToldOfWhatTheWindowMustRedraw) {
    Harness h;
    CountingObserver seen;
    h.form.SetObserver(&seen);
    h.Load(MakeFirmware().Bytes(), kPath);
    EXPECT_GE(seen.sources, 2);  // emptied, then loaded
    EXPECT_GE(seen.cells, 3 * 32 + 31 + 32);
    EXPECT_EQ(seen.plots, 1);
    EXPECT_EQ(seen.titles, 1);
    EXPECT_GE(seen.sparks, 1);

    seen = {};
    h.SetCell(4, 1, "8.1");
    h.files.writeError = "disk full";
    h.form.Button5Click();
    EXPECT_EQ(seen.sources, 1);  // the rewritten text is shown although the write failed
    EXPECT_EQ(seen.plots, 1);

    seen = {};
    h.SetCell(4, 3, "");
    h.form.Button4Click();
    EXPECT_EQ(seen.plots, 1);  // a partial plot is shown too
}

TEST(SaveToTable, ChecksPlotsThenStores) {
    Harness h;
    h.Load(MakeFirmware().Bytes(), kPath);
    h.SetCell(4, 11, "");
    EXPECT_FALSE(h.form.Button2Click());
    EXPECT_EQ(h.messages.shown, (std::vector<Message>{{Message::Warning, "Данные не определены"}}));
    EXPECT_EQ(h.form.Series().Points()[10].y, 13.0);  // the old curve stays

    h.messages.shown.clear();
    h.SetCell(4, 11, "15.1");
    h.SetCell(4, 3, "30");
    h.SetCell(4, 7, "73");
    EXPECT_FALSE(h.form.Button2Click());
    EXPECT_EQ(h.messages.shown, (std::vector<Message>{{Message::Warning, "Превышен предел 52° выше датчика"}}));
    EXPECT_EQ(h.form.Series().Points()[2].y, 30.0);  // replotted before storing
    EXPECT_EQ(h.Cell(1, 3), "241");
    EXPECT_EQ(h.Cell(1, 11), "10");  // after the bad row: old code

    h.messages.shown.clear();
    h.SetCell(4, 7, "-");
    EXPECT_TRUE(h.form.Button2Click());
    EXPECT_TRUE(h.messages.shown.empty());
    EXPECT_EQ(h.Cell(1, 7), "180");
    EXPECT_EQ(h.Cell(1, 11), "7");
}

TEST(GraphButton, MissingDataAndPartialPlots) {
    Harness h;
    h.Load(MakeFirmware().Bytes(), kPath);
    h.SetCell(4, 3, "");
    h.form.Button4Click();
    EXPECT_EQ(h.messages.shown, (std::vector<Message>{{Message::AppError, "'' is not a valid floating point value."}}));
    EXPECT_EQ(h.form.Series().Points().size(), 2u);

    h.messages.shown.clear();
    h.SetCell(4, 3, "18");
    h.SetCell(4, 11, "");
    h.form.Button4Click();
    EXPECT_EQ(h.messages.shown, (std::vector<Message>{{Message::Warning, "Данные не определены"}}));
    EXPECT_EQ(h.form.Series().Points().size(), 2u);
}

TEST(ComboBoxes, RefillTheAngleColumnOnceItHoldsData) {
    Harness h;
    h.form.Model().table.SetText("2");
    h.form.ComboBox2Change();
    EXPECT_EQ(Column(h, 4), Column(Harness(), 4));  // nothing before data

    h.form.Model().table.SetText("1");
    h.Load(MakeFirmware().Bytes(), kPath);
    h.form.Model().table.SetText("2");
    h.form.ComboBox2Change();
    EXPECT_EQ(h.Cell(4, 1), "58.5");
    EXPECT_EQ(h.Cell(4, 32), "20");
    EXPECT_EQ(h.form.Series().Points()[0].y, 58.5);

    h.form.Model().sensor.SetText("25");
    h.form.ComboBox1Change();
    EXPECT_EQ(h.Cell(4, 1), "63.5");
    EXPECT_EQ(h.Cell(2, 1), "200");  // the codes stay

    h.form.Model().sensor.SetText("");
    h.form.ComboBox1Change();
    EXPECT_EQ(h.messages.shown, (std::vector<Message>{{Message::AppError, "'' is not a valid integer value."}}));
}

TEST(CompileButton, StartsTheAssemblerOnTheOpenedFile) {
    Harness h;
    h.form.Button6Click();
    EXPECT_TRUE(h.desktop.started.empty());
    EXPECT_TRUE(h.messages.shown.empty());

    h.Load(MakeFirmware().Bytes(), "/home/u/my fw.asm");
    h.form.Button6Click();
    ASSERT_EQ(h.desktop.started.size(), 1u);
    EXPECT_EQ(h.desktop.started[0].arguments.back(), "my fw.asm");
    EXPECT_EQ(h.desktop.started[0].workingDirectory, "/home/u");

    h.desktop.startSucceeds = false;
    h.form.Button6Click();
    h.desktop.onPath.clear();
    h.form.Button6Click();
    EXPECT_EQ(h.desktop.started.size(), 2u);
    EXPECT_EQ(h.messages.shown, (std::vector<Message>(2, {Message::Warning, Text(Msg::NoTerminal, kRussian)})));
}

TEST(HelpButton, HandsTheDocumentToTheDesktop) {
    Harness h;
    h.form.Button3Click();
    EXPECT_EQ(h.desktop.documents, (std::vector<std::string>{"Help.chm"}));
    EXPECT_TRUE(h.messages.shown.empty());
}

TEST(LanguageButton, SwitchesEveryTextAndBack) {
    Harness h;
    Harness start;
    h.form.Button7Click();
    EXPECT_EQ(h.form.LanguageFlag(), 1u);
    EXPECT_EQ(h.form.TextOf(Element::Button6), "Compile HEX File");
    EXPECT_EQ(h.form.TextOf(Element::Label3), "Spark, us");
    EXPECT_EQ(h.form.TextOf(Element::ChartTitle), "Timing graph");
    EXPECT_EQ(h.form.TextOf(Element::WindowCaption), "Ignition timing calculator for DA-VED project v0.98");
    EXPECT_EQ(h.Cell(0, 0), "RPM");
    EXPECT_EQ(h.Cell(4, 0), "angle");
    EXPECT_EQ(h.Cell(1, 0), "");  // no source chosen yet
    h.form.Button4Click();
    EXPECT_EQ(h.messages.shown, (std::vector<Message>{{Message::Warning, "Missing data"}}));

    h.form.Button7Click();
    for (std::size_t i = 0; i < kElementCount; ++i)
        EXPECT_EQ(h.form.TextOf(static_cast<Element>(i)), start.form.TextOf(static_cast<Element>(i))) << i;
    EXPECT_EQ(Column(h, 0), Column(start, 0));
    EXPECT_EQ(Column(h, 4), Column(start, 4));
}

TEST(LanguageButton, TableHeadersOnceAFileWasChosen) {
    Harness h;
    h.chooser.answers.push_back("/fw/gone.asm");
    h.form.Button1Click();
    h.form.Button7Click();
    EXPECT_EQ(h.Cell(1, 0), "Tab.1");
    EXPECT_EQ(h.Cell(3, 0), "Tab.3");
    EXPECT_EQ(h.form.TextOf(Element::ChartTitle), "Timing graph");

    Harness loaded;
    loaded.Load(MakeFirmware().Bytes(), kPath);
    loaded.form.Button7Click();
    EXPECT_EQ(loaded.Cell(2, 0), "Tab.2");
    EXPECT_EQ(loaded.form.TextOf(Element::ChartTitle), "Timing graph, file: CDI.asm. Attention, with adjust resistor!");
    loaded.form.Button7Click();
    EXPECT_EQ(loaded.Cell(2, 0), "таб.2");
    EXPECT_EQ(loaded.form.TextOf(Element::ChartTitle), kTitleWithTrimmer);
}

}  // namespace
}  // namespace tc
