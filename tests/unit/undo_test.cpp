// What is unsaved, undo and redo, copy and paste, and the question before
// changes would be lost: the core with a small source in memory.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>

#include "app/core.h"
#include "table/clipboard.h"
#include "test_support.h"

namespace tc {
namespace {

using test::Harness;
using test::MakeFirmware;
using Kind = Diagnostic::Kind;

const std::string kPath = "/fw/CDI.asm";

// Table 1 row r holds code r - 1: row 5 is code 4, the angle 17.2 at sensor 20.
constexpr const char* kAngle5 = "17.2";
constexpr const char* kCode5 = "4";

struct Loaded : Harness {
    explicit Loaded(char32_t separator = U'.') : Harness(separator) { Load(MakeFirmware().Bytes(), kPath); }
    // Types the text into the cell one character at a time, as the window hands it over.
    void Type(int column, int row, const std::string& text) {
        core.SelectCell(column, row);
        for (std::size_t n = 1; n <= text.size(); ++n) SetCell(column, row, text.substr(0, n));
    }
    bool Saved() const { return files.files.at(kPath) == MakeFirmware().Bytes(); }
};

using Action = std::function<void(Loaded&)>;

TEST(Unsaved, FollowsTheValuesNotTheOperations) {
    const struct {
        const char* name;
        Action act;
        bool unsaved;
    } cases[] = {
        {"just opened", [](Loaded&) {}, false},
        {"a typed angle", [](Loaded& h) { h.Type(4, 5, "10"); }, true},
        {"a typed speed", [](Loaded& h) { h.Type(0, 7, "2100"); }, true},
        {"typed and typed back", [](Loaded& h) { h.Type(4, 5, "10"), h.Type(4, 5, kAngle5); }, false},
        {"the language switched", [](Loaded& h) { h.core.SwitchLanguage(); }, false},
        {"plotted", [](Loaded& h) { h.core.Plot(); }, false},
        {"another cell selected", [](Loaded& h) { h.core.SelectCell(4, 9); }, false},
        {"the sensor angle", [](Loaded& h) { h.core.SetSensorAngle("30"); }, true},
        {"the spark duration", [](Loaded& h) { h.core.SetSparkDuration("100"); }, true},
        {"another table and back", [](Loaded& h) { h.core.ChooseTable("2"), h.core.ChooseTable("1"); }, false},
        {"unchanged angles stored", [](Loaded& h) { h.core.StoreAngles(); }, false},
        {"a typed angle stored", [](Loaded& h) { h.Type(4, 5, "10"), h.core.StoreAngles(); }, true},
        {"a typed angle saved", [](Loaded& h) { h.Type(4, 5, "10"), h.core.Save(); }, false},
        {"a save refused", [](Loaded& h) { h.Type(4, 5, "99"), h.core.Save(); }, true},
        {"a save that could not write",
         [](Loaded& h) {
             h.files.writeError = "Disk full";
             h.Type(4, 5, "10"), h.core.Save();
         },
         true},
        {"saved to another file", [](Loaded& h) { h.Type(4, 5, "10"), h.core.SaveAs("/fw/other.asm"); }, true},
        {"a paste", [](Loaded& h) { h.core.Paste(4, 5, "10\n11\n"); }, true},
        {"a refused paste", [](Loaded& h) { h.core.Paste(4, 5, "10\n1x\n"); }, false},
        {"typed, then undone", [](Loaded& h) { h.Type(4, 5, "10"), h.core.Undo(); }, false},
        {"opened again after typing", [](Loaded& h) { h.Type(4, 5, "10"), h.core.OpenSource(kPath); }, false},
    };
    for (const auto& c : cases) {
        Loaded h;
        c.act(h);
        EXPECT_EQ(h.core.Unsaved(), c.unsaved) << c.name;
    }
}

TEST(Unsaved, NothingWithoutAnOpenedSource) {
    Harness h;
    h.SetCell(4, 5, "10");
    h.Show(h.core.SetSensorAngle("30"));
    EXPECT_FALSE(h.core.Unsaved());
    h.files.files[kPath] = "";  // an empty file does not open
    h.Show(h.core.OpenSource(kPath));
    h.SetCell(4, 5, "12");
    EXPECT_FALSE(h.core.Unsaved());
}

// After the steps: what the grid and the combo boxes hold, and what is left to undo and redo.
struct After {
    std::string angle5 = kAngle5, angle6 = "16.5", code5 = kCode5, sensor = "20", spark = "66";
    std::string plot5 = kAngle5;  // the angle of the curve's fifth point
    bool unsaved = false, canUndo = false, canRedo = false;
    friend bool operator==(const After&, const After&) = default;
};

void PrintTo(const After& a, std::ostream* os) {
    *os << "angle5 " << a.angle5 << ", angle6 " << a.angle6 << ", code5 " << a.code5 << ", sensor " << a.sensor
        << ", spark " << a.spark << ", plot5 " << a.plot5 << ", unsaved " << a.unsaved << ", undo " << a.canUndo
        << ", redo " << a.canRedo;
}

After Now(const Loaded& h) {
    const GridModel& m = h.core.Model();
    const auto& points = h.core.Series().Points();
    char plot5[32] = "";
    if (points.size() > 4) std::snprintf(plot5, sizeof plot5, "%g", points[4].y);
    return {h.Cell(4, 5), h.Cell(4, 6),     h.Cell(1, 5),     m.sensor.text,   m.spark.text,
            plot5,        h.core.Unsaved(), h.core.CanUndo(), h.core.CanRedo()};
}

After Changed(std::function<void(After&)> change) {
    After after;
    change(after);
    return after;
}

TEST(Undo, StepsBackAndForward) {
    const auto undo = [](Loaded& h) { h.Show(h.core.Undo()); };
    const auto redo = [](Loaded& h) { h.Show(h.core.Redo()); };
    const struct {
        const char* name;
        std::vector<Action> steps;
        After after;
    } cases[] = {
        {"nothing to undo", {undo, redo}, {}},
        {"a typed cell is one step", {[](Loaded& h) { h.Type(4, 5, "12.5"); }, undo}, Changed([](After& a) {
             a.canRedo = true;
         })},
        {"and comes back with redo", {[](Loaded& h) { h.Type(4, 5, "12.5"); }, undo, redo}, Changed([](After& a) {
             a.angle5 = "12.5", a.unsaved = a.canUndo = true;
         })},
        {"typing back to the start is no step", {[](Loaded& h) { h.Type(4, 5, "1"), h.SetCell(4, 5, kAngle5); }}, {}},
        {"type, move down, type, undo: the second cell",
         {[](Loaded& h) { h.Type(4, 5, "10"), h.Type(4, 6, "11"); }, undo},
         Changed([](After& a) { a.angle5 = "10", a.unsaved = a.canUndo = a.canRedo = true; })},
        {"type, move down, undo: the first cell",
         {[](Loaded& h) { h.Type(4, 5, "10"), h.core.SelectCell(4, 6); }, undo},
         Changed([](After& a) { a.canRedo = true; })},
        {"a new change drops the redo steps",
         {[](Loaded& h) { h.Type(4, 5, "10"); }, undo, [](Loaded& h) { h.Type(4, 6, "11"); }},
         Changed([](After& a) { a.angle6 = "11", a.unsaved = a.canUndo = true; })},
        {"a paste is one step", {[](Loaded& h) { h.core.Paste(4, 5, "1\n2\n"); }, undo}, Changed([](After& a) {
             a.canRedo = true;
         })},
        {"a refused paste is none", {[](Loaded& h) { h.core.Paste(4, 5, "1\nx\n"); }}, {}},
        {"Save to table is a step of its own",
         {[](Loaded& h) { h.Type(4, 5, "10"), h.core.StoreAngles(); }, undo},
         Changed([](After& a) { a.angle5 = "10", a.unsaved = a.canUndo = a.canRedo = true; })},
        {"stored codes", {[](Loaded& h) { h.Type(4, 5, "10"), h.core.StoreAngles(); }}, Changed([](After& a) {
             a.angle5 = a.plot5 = "10", a.code5 = "14", a.unsaved = a.canUndo = true;
         })},
        {"a sensor angle with its refill", {[](Loaded& h) { h.core.SetSensorAngle("30"); }}, Changed([](After& a) {
             a.angle5 = a.plot5 = "27.2", a.angle6 = "26.5", a.sensor = "30", a.unsaved = a.canUndo = true;
         })},
        {"undone with its refill", {[](Loaded& h) { h.core.SetSensorAngle("30"); }, undo}, Changed([](After& a) {
             a.canRedo = true;
         })},
        {"and redone with it", {[](Loaded& h) { h.core.SetSensorAngle("30"); }, undo, redo}, Changed([](After& a) {
             a.angle5 = a.plot5 = "27.2", a.angle6 = "26.5", a.sensor = "30", a.unsaved = a.canUndo = true;
         })},
        {"a sensor angle its keys could not type is none", {[](Loaded& h) { h.core.SetSensorAngle("3a"); }}, {}},
        {"nor one too long", {[](Loaded& h) { h.core.SetSensorAngle("123"); }}, {}},
        {"nor a table number past 3", {[](Loaded& h) { h.core.ChooseTable("7"); }}, {}},
        {"typing a sensor angle is one step",
         {[](Loaded& h) { h.core.SetSensorAngle("3"), h.core.SetSensorAngle("35"); }, undo},
         Changed([](After& a) { a.canRedo = true; })},
        {"the spark duration", {[](Loaded& h) { h.core.SetSparkDuration("100"); }, undo, redo}, Changed([](After& a) {
             a.spark = "100", a.unsaved = a.canUndo = true;
         })},
        {"a save is no step: undo makes it unsaved",
         {[](Loaded& h) { h.Type(4, 5, "10"), h.core.Save(); }, undo},
         Changed([](After& a) { a.angle5 = "10", a.unsaved = a.canUndo = a.canRedo = true; })},
        {"and redo makes it saved again",
         {[](Loaded& h) { h.Type(4, 5, "10"), h.core.Save(); }, undo, redo},
         Changed([](After& a) { a.angle5 = a.plot5 = "10", a.code5 = "14", a.canUndo = true; })},
        {"back past the save",
         {[](Loaded& h) { h.Type(4, 5, "10"), h.core.Save(); }, undo, undo},
         Changed([](After& a) { a.unsaved = a.canRedo = true; })},
        {"an open drops every step",
         {[](Loaded& h) { h.Type(4, 5, "10"), h.Type(4, 6, "11"), h.core.OpenSource(kPath); }},
         {}},
    };
    for (const auto& c : cases) {
        Loaded h;
        for (const Action& step : c.steps) step(h);
        EXPECT_EQ(Now(h), c.after) << c.name;
        EXPECT_TRUE(h.messages.all.empty()) << c.name;
    }
}

TEST(Undo, KeepsTheLatestThousandSteps) {
    Loaded h;
    for (int i = 0; i < 1005; ++i) h.Type(4, 1 + i % 2, std::to_string(i % 40));
    int undone = 0;
    while (h.core.CanUndo()) h.core.Undo(), ++undone;
    EXPECT_EQ(undone, 1000);
    EXPECT_EQ(h.Cell(4, 1), "4");  // the value after the fifth step
}

TEST(Undo, HeadersFollowTheLanguageNotTheSteps) {
    Loaded h;
    h.Type(4, 5, "10");
    h.core.SwitchLanguage();
    h.core.Undo();
    EXPECT_EQ(h.Cell(4, 0), "angle");
    EXPECT_EQ(h.Cell(1, 0), "Tab.1");
    EXPECT_EQ(h.Cell(4, 5), kAngle5);
}

struct PasteCase {
    const char* name;
    int column, row;
    std::string text;
    std::vector<std::string> cells;  // from the row down, when it is pasted
    std::optional<Diagnostic> refusal;
};

Diagnostic NotANumber(std::size_t line, std::string literal) {
    return {.kind = Kind::PasteNotANumber, .literal = std::move(literal), .line = line};
}
Diagnostic TooMany(std::size_t lines, std::size_t left) {
    return {.kind = Kind::PasteTooMany, .found = lines, .needed = left};
}

TEST(Paste, TakesAColumnOrNothing) {
    const std::string table = "об/мин\tтаб.1\tтаб.2\tтаб.3\tУОЗ\n460\t0\t200\t165\t20\n600\t1\t201\t166\t19,3\n";
    std::string full;
    for (int n = 0; n < 32; ++n) full += std::to_string(n) + "\n";
    const PasteCase cases[] = {
        {"one value a line", 4, 5, "10\n11.5\n-\n", {"10", "11.5", "-"}, {}},
        {"no line break at the end", 4, 5, "10\n11", {"10", "11"}, {}},
        {"CR LF lines", 4, 5, "10\r\n11\r\n", {"10", "11"}, {}},
        {"CR alone ends a line too", 4, 5, "10\r11\r", {"10", "11"}, {}},
        {"trailing empty lines are none", 4, 31, "10\n11\n\n\r\n", {"10", "11"}, {}},
        {"a decimal comma", 4, 5, "11,5", {"11.5"}, {}},
        {"negative angles", 4, 5, "-5.5\n-12", {"-5.5", "-12"}, {}},
        {"blanks around a value", 4, 5, " 10 \n", {"10"}, {}},
        {"the last field of tab-separated lines",
         4,
         1,
         "460\t0\t200\t165\t20\n600\t1\t201\t166\t19,3\n",
         {"20", "19.3"},
         {}},
        {"a header line is skipped", 4, 1, table, {"20", "19.3"}, {}},
        {"a header of its own", 4, 1, "angle\n12\n", {"12"}, {}},
        {"only a header", 4, 1, "УОЗ\n", {}, {}},
        {"all 32 rows", 4, 1, full, {}, {}},
        {"the speed column", 0, 2, "700\n800\n", {"700", "800"}, {}},
        {"the speeds of a copied table", 0, 2, "x\ty\n\t700\n\t800", {"700", "800"}, {}},
        {"a bad value names its line", 4, 5, "10\n11\n1x\n", {}, NotANumber(3, "1x")},
        {"lines count with the header", 4, 5, "УОЗ\n10\n1x\n", {}, NotANumber(3, "1x")},
        {"a first line with a digit is no header", 4, 5, "1x\n10\n", {}, NotANumber(1, "1x")},
        {"an empty line inside", 4, 5, "10\n\n11\n", {}, NotANumber(2, "")},
        {"two separators", 4, 5, "1.2.3", {}, NotANumber(1, "1.2.3")},
        {"two minus signs", 4, 5, "10\n--", {}, NotANumber(2, "--")},
        {"a plus sign is not typed either", 4, 5, "+5", {}, NotANumber(1, "+5")},
        {"no spark in the speed column", 0, 5, "-", {}, NotANumber(1, "-")},
        {"no fraction in the speed column", 0, 5, "700,5", {}, NotANumber(1, "700,5")},
        {"no speed that is no integer", 0, 5, "99999999999", {}, NotANumber(1, "99999999999")},
        {"too many lines", 4, 1, full + "32\n", {}, TooMany(33, 32)},
        {"too many below the cell", 4, 32, "1\n2\n", {}, TooMany(2, 1)},
        {"not the fixed 460", 0, 1, "500", {}, Diagnostic{.kind = Kind::PasteWrongCell}},
        {"not a table column", 2, 5, "10", {}, Diagnostic{.kind = Kind::PasteWrongCell}},
    };
    for (const auto& c : cases) {
        Loaded h;
        const GridModel before = h.core.Model();
        const Outcome outcome = h.core.Paste(c.column, c.row, c.text);
        if (c.refusal) {
            EXPECT_EQ(outcome.status, Outcome::Refused) << c.name;
            EXPECT_EQ(outcome.diagnostics, Diagnostics{*c.refusal}) << c.name;
            EXPECT_EQ(h.core.Model(), before) << c.name;
            continue;
        }
        EXPECT_TRUE(outcome.Ok()) << c.name;
        EXPECT_TRUE(outcome.diagnostics.empty()) << c.name;
        for (std::size_t n = 0; n < c.cells.size(); ++n)
            EXPECT_EQ(h.Cell(c.column, c.row + static_cast<int>(n)), c.cells[n]) << c.name << ", value " << n;
        if (c.cells.empty() && c.text != full) {
            EXPECT_EQ(h.core.Model(), before) << c.name;
        }
    }
}

TEST(Paste, DecimalSeparatorsBecomeTheLocales) {
    for (const char32_t separator : {U'.', U','}) {
        Loaded h(separator);
        EXPECT_TRUE(h.core.Paste(4, 1, "1.5\n2,5\n").Ok());
        const std::string sep = separator == U'.' ? "." : ",";
        EXPECT_EQ(h.Cell(4, 1), "1" + sep + "5");
        EXPECT_EQ(h.Cell(4, 2), "2" + sep + "5");
        // And the save reads them.
        EXPECT_TRUE(h.core.StoreAngles().Ok());
    }
}

TEST(Copy, TheWholeTablePastesBackUnchanged) {
    Loaded h(U',');
    const std::string copied = h.core.CopyTable();
    // The header row, then 32 rows of five fields, each line ended by "\n".
    EXPECT_TRUE(copied.starts_with("об/мин\tтаб.1\tтаб.2\tтаб.3\tУОЗ\n460\t0\t200\t165\t20\n600\t1\t201\t166\t19,3\n"))
        << copied;
    EXPECT_EQ(std::count(copied.begin(), copied.end(), '\n'), 33);
    EXPECT_EQ(std::count(copied.begin(), copied.end(), '\t'), 33 * 4);
    h.core.Paste(4, 3, "5\n6\n");
    const GridModel changed = h.core.Model();
    for (const int column : {kAngleColumn, kSpeedColumn}) {
        EXPECT_TRUE(h.core.Paste(column, column == kAngleColumn ? 1 : 2, CopyText(changed.grid)).status ==
                    (column == kAngleColumn ? Outcome::Done : Outcome::Refused));
    }
    EXPECT_EQ(h.core.Model(), changed) << "the angles pasted over themselves";
    h.core.Paste(4, 1, copied);
    EXPECT_EQ(h.core.CopyTable(), copied);
}

TEST(ConfirmLeave, AsksOnlyAboutChangesAndDoesWhatTheAnswerSays) {
    const std::optional<Answer> none;
    const struct {
        const char* name;
        bool change;
        std::optional<Answer> answer;  // none: nothing is asked
        Outcome::Status status;
        bool written;  // the file holds the change afterwards
        Action setup = [](Loaded&) {};
    } cases[] = {
        {"nothing changed", false, none, Outcome::Done, false},
        {"yes saves", true, Answer::Yes, Outcome::Done, true},
        {"no leaves the file", true, Answer::No, Outcome::Done, false},
        {"cancel keeps all", true, Answer::Cancel, Outcome::Refused, false},
        {"yes, but the save is refused", true, Answer::Yes, Outcome::Refused, false,
         [](Loaded& h) { h.Type(4, 6, "99"); }},
        {"yes, but the write fails", true, Answer::Yes, Outcome::Failed, false,
         [](Loaded& h) { h.files.writeError = "Disk full"; }},
    };
    for (const auto& c : cases) {
        Loaded h;
        if (c.change) h.Type(4, 5, "10");
        c.setup(h);
        if (c.answer) h.questions.answers.push_back(*c.answer);
        const GridModel before = h.core.Model();
        const Outcome outcome = h.core.ConfirmLeave();
        EXPECT_EQ(outcome.status, c.status) << c.name;
        EXPECT_EQ(h.questions.asked.size(), c.answer ? 1U : 0U) << c.name;
        EXPECT_EQ(!h.Saved(), c.written) << c.name;
        EXPECT_EQ(h.core.Unsaved(), c.change && !c.written) << c.name;
        if (c.status != Outcome::Done) {
            EXPECT_EQ(h.core.Model().grid.Cell(4, 5), before.grid.Cell(4, 5)) << c.name;
        }
    }
}

TEST(ConfirmLeave, AsksByNameInTheCurrentLanguage) {
    Loaded h;
    h.Type(4, 5, "10");
    h.core.ConfirmLeave();
    h.core.SwitchLanguage();
    h.core.ConfirmLeave();
    ASSERT_EQ(h.questions.asked.size(), 2U);
    EXPECT_EQ(h.questions.asked[0], SaveChangesQuestion("CDI.asm", kRussian));
    EXPECT_EQ(h.questions.asked[1], SaveChangesQuestion("CDI.asm", kEnglish));
}

TEST(ConfirmLeave, WithNoOneToAskTheChangesStay) {
    test::ScriptedChooser chooser;
    test::MemoryFiles files;
    test::RecordingDesktop desktop;
    Core core(Ports{chooser, files, desktop}, U'.');
    core.Start();
    files.files[kPath] = MakeFirmware().Bytes();
    core.OpenSource(kPath);
    core.Edit({Field::Cell, 4, 5}, "10");
    EXPECT_EQ(core.ConfirmLeave().status, Outcome::Refused);
    EXPECT_EQ(files.writes, 0);
}

TEST(ConfirmLeave, FileAsksBeforeTheOpenDialog) {
    const struct {
        const char* name;
        Answer answer;
        bool dialog;  // the open dialog was shown
    } cases[] = {
        {"cancel", Answer::Cancel, false},
        {"no", Answer::No, true},
        {"yes", Answer::Yes, true},
    };
    for (const auto& c : cases) {
        Loaded h;
        h.files.files["/fw/B.asm"] = MakeFirmware().Bytes();
        h.Type(4, 5, "10");
        h.questions.answers.push_back(c.answer);
        h.chooser.proposed.clear();
        h.chooser.answers.push_back("/fw/B.asm");
        const Outcome outcome = h.core.OpenSource();
        EXPECT_EQ(outcome.Ok(), c.dialog) << c.name;
        EXPECT_EQ(h.chooser.proposed.size(), c.dialog ? 1U : 0U) << c.name;
        EXPECT_EQ(h.core.SourcePath(), c.dialog ? "/fw/B.asm" : kPath) << c.name;
        EXPECT_EQ(h.Cell(4, 5), c.dialog ? kAngle5 : "10") << c.name;
        EXPECT_EQ(h.Saved(), c.answer != Answer::Yes) << c.name;
        EXPECT_FALSE(h.core.Source().Text().empty()) << c.name;
    }
}

}  // namespace
}  // namespace tc
