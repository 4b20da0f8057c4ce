#include "firmware/writer.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>

#include "test_support.h"

namespace tc {
namespace {

using test::Firmware;
using test::FirmwareValues;
using test::Harness;
using test::MakeFirmware;
using test::Message;

const std::string kPath = "/fw/CDI.asm";
// ";сравнение РОН с контстантой", ";множитель" and ";в ОЗУ, " in Windows-1251
const std::string kSpeedComment =
    "\t;\xF1\xF0\xE0\xE2\xED\xE5\xED\xE8\xE5 \xD0\xCE\xCD \xF1 \xEA\xEE\xED\xF2\xF1\xF2\xE0\xED\xF2\xEE\xE9";
const std::string kEntryComment = "\t;\xEC\xED\xEE\xE6\xE8\xF2\xE5\xEB\xFC";
const std::string kStorePrefix = "st X+, R16\t;\xE2 \xCE\xC7\xD3, ";

std::unique_ptr<Harness> Loaded(const Firmware& fw, char32_t separator = U'.') {
    auto h = std::make_unique<Harness>(separator);
    h->Load(fw.Bytes(), kPath);
    EXPECT_TRUE(h->messages.all.empty());
    return h;
}

std::vector<std::string> SavedLines(Harness& h) { return test::SplitLines(h.files.files.at(kPath)); }

TEST(SparkCodeOf, RoundsHalvesToEven) {
    const std::pair<int, long long> cases[] = {{65, 11},  {63, 10},  {69, 12}, {75, 12}, {50, 8},
                                               {100, 17}, {200, 33}, {66, 11}, {0, 0}};
    for (const auto& [spark, code] : cases) EXPECT_EQ(SparkCodeOf(spark), code) << spark;
}

TEST(SpeedCodeOf, RoundsHalvesToEven) {
    const std::pair<int, long long> cases[] = {{460, 0},    {1200, 157}, {1875, 192},
                                               {2000, 196}, {3125, 218}, {20000, 249}};
    for (const auto& [speed, code] : cases) EXPECT_EQ(SpeedCodeOf(speed), code) << speed;
}

TEST(SaveToFile, SparkLines) {
    const std::pair<const char*, const char*> cases[] = {{"65", "11"}, {"63", "10"},  {"69", "12"},  {"75", "12"},
                                                         {"50", "8"},  {"100", "17"}, {"200", "33"}, {"065", "11"}};
    const Firmware fw = MakeFirmware();
    for (const auto& [spark, code] : cases) {
        auto h = Loaded(fw);
        h->core.SetSparkDuration(spark);
        h->Show(h->core.Save());
        ASSERT_TRUE(h->messages.all.empty()) << spark;
        const auto lines = SavedLines(*h);
        EXPECT_EQ(lines[fw.Index("cpi R18,")], std::string("cpi R18, ") + code + "\t\t;" + spark + "mks");
        EXPECT_EQ(lines[fw.Index("cpi R19,")], std::string("cpi R19, ") + code + "\t\t;" + spark + "mks");
    }
}

TEST(SaveToFile, SpeedLines) {
    const std::pair<const char*, const char*> cases[] = {{"460", "0"},    {"1200", "157"}, {"1875", "192"},
                                                         {"2000", "196"}, {"3125", "218"}, {"20000", "249"}};
    const Firmware fw = MakeFirmware();
    for (const auto& [speed, code] : cases) {
        auto h = Loaded(fw);
        h->SetCell(0, 20, speed);  // row 20 is the 13th speed line
        h->SetCell(0, 1, "5");     // row 1 never reaches the source
        h->Show(h->core.Save());
        ASSERT_TRUE(h->messages.all.empty()) << speed;
        EXPECT_EQ(SavedLines(*h)[fw.Index("cpi R21,", 12)], std::string("cpi R21, ") + code + kSpeedComment);
    }
}

TEST(SaveToFile, TableLinesFromTheStoredAngles) {
    const struct {
        char32_t separator;
        const char* angle;
        const char* code;
        const char* comment;
    } cases[] = {
        {U'.', "8.1", "17", "8.1"},    {U'.', "20", "0", "20"},       {U'.', "-105.3", "179", "-105.3"},
        {U'.', "71.8", "181", "71.8"}, {U'.', "58.5", "200", "58.5"}, {U'.', "20.2", "255", "20"},
        {U'.', "-", "180", "-"},       {U',', "8,1", "17", "8,1"},    {U',', "-105,6", "179", "-105,3"},
    };
    const Firmware fw = MakeFirmware();
    for (const auto& c : cases) {
        auto h = Loaded(fw, c.separator);
        h->SetCell(4, 9, c.angle);
        h->Show(h->core.Save());
        ASSERT_TRUE(h->messages.all.empty()) << c.angle;
        const auto lines = SavedLines(*h);
        const std::size_t at = fw.Index("ldi R16,", 8);
        EXPECT_EQ(lines[at], std::string("ldi R16, ") + c.code + kEntryComment) << c.angle;
        EXPECT_EQ(lines[at + 1], kStorePrefix + c.comment + "\xB0") << c.angle;
    }
}

TEST(SaveToFile, TableCellTextIsWrittenAsItStands) {
    const Firmware fw = MakeFirmware();
    auto h = Loaded(fw);
    h->SetCell(2, 5, "012");  // table 2 is not the selected one, so it is not restored from angles
    h->Show(h->core.Save());
    const auto lines = SavedLines(*h);
    const std::size_t at = fw.Index("ldi R16,", 32 + 4);
    EXPECT_EQ(lines[at], "ldi R16, 012" + kEntryComment);
    EXPECT_EQ(lines[at + 1], kStorePrefix + "11.6\xB0");
}

TEST(SaveToFile, CommentAnglesFollowTheSensorAngle) {
    const Firmware fw = MakeFirmware();
    auto h = Loaded(fw);
    h->Show(h->core.SetSensorAngle("35"));
    h->SetCell(4, 1, "8.1");  // stored as 38, whose angle is 8.4
    h->Show(h->core.Save());
    ASSERT_TRUE(h->messages.all.empty());
    const auto lines = SavedLines(*h);
    EXPECT_EQ(lines[fw.Index("ldi R16,")], "ldi R16, 38" + kEntryComment);
    EXPECT_EQ(lines[fw.Index("ldi R16,") + 1], kStorePrefix + "8.4\xB0");
    EXPECT_EQ(lines[fw.Index("ldi R16,", 32 + 4) + 1], kStorePrefix + "70.7\xB0");  // code 204
}

TEST(SaveToFile, RewritesExactlyTheLinesItRead) {
    FirmwareValues old;
    old.ownFormat = false;
    Firmware fw = MakeFirmware(old);
    Firmware expected = MakeFirmware();
    for (Firmware* f : {&fw, &expected}) {  // long lines are kept whole
        f->Insert(f->Index(";блок"), ";" + std::string(200, '=') + " cpi R18, 99");
        f->Insert(f->Index("FuozTable2:") + 1, "; " + std::string(120, 'x') + " end");
    }
    const std::string tail =
        "\x1A"
        "after the end\r\n";
    auto h = std::make_unique<Harness>();
    h->Load(fw.Bytes() + tail, kPath);
    h->Show(h->core.Save());
    EXPECT_TRUE(h->messages.all.empty());
    // every rewritten line now has the writer's layout; every other line is as it was
    EXPECT_EQ(h->files.files.at(kPath), expected.Bytes() + tail);
}

// The layout a save hands back, which the next save starts from, is the rewritten text's own.
TEST(SaveToFile, TheLayoutGivenBackIsTheRewrittenTexts) {
    FirmwareValues other;
    other.ownFormat = false;
    Firmware longLines = MakeFirmware();
    longLines.Insert(longLines.Index("FuozTable1:") + 3, "; " + std::string(300, 'x'));
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"own format", MakeFirmware().Bytes()},
        {"other comments and tabs", MakeFirmware(other).Bytes()},
        {"long lines, LF only, tail", longLines.Bytes("\n") + "\x1A"
                                                              "tail"},
    };
    for (const auto& c : cases) {
        auto h = std::make_unique<Harness>();
        h->Load(c.bytes, kPath);
        h->SetCell(1, 5, "200");
        const SourceText& source = h->core.Source();
        const RewriteResult scanned = RewriteSource(source, ScanSource(source), h->core.Model(), U'.');
        ASSERT_FALSE(scanned.refusal) << c.what << ": " << Render(*scanned.refusal, kEnglish);
        EXPECT_EQ(scanned.layout, ScanSource(scanned.text)) << c.what;
        // The same bytes read anew give the same rewrite: nothing but the text and the grid counts.
        const SourceText again = SourceText::FromFileBytes(source.ToFileBytes());
        const RewriteResult given = RewriteSource(again, ScanSource(again), h->core.Model(), U'.');
        EXPECT_EQ(given.text.ToFileBytes(), scanned.text.ToFileBytes()) << c.what;
        EXPECT_EQ(given.layout, scanned.layout) << c.what;
    }
}

// The spark line, one filler line, then the second spark line at the given distance.
Firmware SecondSparkAt(std::size_t distance) {
    Firmware fw = MakeFirmware();
    const std::size_t spark = fw.Index("cpi R18,");
    while (!fw.lines[spark + 1].starts_with("cpi R19,")) fw.Erase(spark + 1);
    // "cpi R18, 11\t\t;66mks" takes 21 positions, the filler its length plus 2
    fw.Insert(spark + 1, ";" + std::string(distance - 21 - 2 - 1, 'x'));
    fw.lines[spark + 2] = "cpi R19, 10\t\t;60mks";
    return fw;
}

TEST(SaveToFile, SecondSparkLineWithin250PositionsOfTheFirst) {
    for (const std::size_t distance : {250u, 251u}) {
        const Firmware fw = SecondSparkAt(distance);
        auto h = Loaded(fw);
        h->Show(h->core.Save());
        ASSERT_TRUE(h->messages.all.empty());
        const auto lines = SavedLines(*h);
        EXPECT_EQ(lines[fw.Index("cpi R19,")], distance == 250 ? "cpi R19, 11\t\t;66mks" : "cpi R19, 10\t\t;60mks");
        EXPECT_EQ(lines[fw.Index("cpi R21,")], "cpi R21, 249" + kSpeedComment);
    }
}

// The second spark line is looked for after the first one is rewritten: within reach of
// the rewritten line's start, in the text as it is then.
TEST(SaveToFile, SecondSparkLineWithinReachOfTheRewrittenFirst) {
    const std::string kRewritten = "cpi R18, 11\t\t;66mks";  // 19 characters
    const struct {
        const char* name;
        std::string first;  // the first spark line before the save
        std::size_t apart;  // from its match to the second line's, before the save
        bool secondRewritten;
    } cases[] = {
        {"grows by 8, pushed past the reach", "cpi R18, 11", 246, false},
        {"grows by 8, at the edge of the reach", "cpi R18, 11", 242, true},
        {"shrinks by 10, drawn into the reach", kRewritten + " ; old txt", 255, true},
        {"shrinks by 10, still past the reach", kRewritten + " ; old txt", 261, false},
        {"same length, one past the reach", kRewritten, 251, false},
        {"indented: counted from the rewritten line's start", "\t" + kRewritten, 250, true},
        {"indented: one past the rewritten line's reach", "\t" + kRewritten, 251, false},
        {"shrinks by 32, the next line close behind", std::string(40, ' ') + "cpi R18, 11", 16, true},
        {"one on the first line goes with it, the next one counts", kRewritten + " ; cpi R19, 5", 100, true},
    };
    for (const auto& c : cases) {
        Firmware fw = MakeFirmware();
        const std::size_t spark = fw.Index("cpi R18,");
        while (!fw.lines[spark + 1].starts_with("cpi R19,")) fw.Erase(spark + 1);
        fw.lines[spark] = c.first;
        // from the match: the rest of its line and CR LF, then a filler line and its CR LF
        const std::size_t tail = c.first.size() - c.first.find("cpi R18,") + 2;
        fw.Insert(spark + 1, ";" + std::string(c.apart - tail - 2 - 1, 'x'));
        fw.lines[spark + 2] = "cpi R19, 10\t\t;60mks";
        auto h = Loaded(fw);
        h->Show(h->core.Save());
        if (!h->messages.all.empty()) {
            ADD_FAILURE() << c.name << ": the save was refused";
            continue;
        }
        const auto lines = SavedLines(*h);
        EXPECT_EQ(lines[spark], kRewritten) << c.name;
        EXPECT_EQ(lines[spark + 2], c.secondRewritten ? "cpi R19, 11\t\t;66mks" : "cpi R19, 10\t\t;60mks") << c.name;
        // Saved again unchanged, the file stays as it is.
        const std::string once = h->files.files.at(kPath);
        h->Show(h->core.Save());
        EXPECT_EQ(h->files.files.at(kPath), once) << c.name;
    }
}

TEST(SaveToFile, CommentedOutLinesCountWhereTheReaderCountedThem) {
    Firmware fw = MakeFirmware();
    fw.Insert(fw.Index(";блок"), "; cpi R18, 5 old spark");          // above the marker
    fw.Insert(fw.Index("cpi R21,"), ";cpi R21, 240 old threshold");  // taken for row 32
    const std::size_t lastSpeed = fw.Index("cpi R21,", 30);          // no longer read
    auto h = Loaded(fw);
    h->Show(h->core.Save());
    ASSERT_TRUE(h->messages.all.empty());
    const auto lines = SavedLines(*h);
    const auto before = test::SplitLines(fw.Bytes());
    EXPECT_EQ(lines[fw.Index("; cpi R18,")], before[fw.Index("; cpi R18,")]);
    EXPECT_EQ(lines[fw.Index("cpi R18,")], "cpi R18, 11\t\t;66mks");
    EXPECT_EQ(lines[fw.Index(";cpi R21,")], "cpi R21, 240" + kSpeedComment);
    EXPECT_EQ(lines[fw.Index("cpi R21,", 0)], "cpi R21, 249" + kSpeedComment);  // now row 31
    EXPECT_EQ(lines[lastSpeed], before[lastSpeed]);
}

TEST(SaveToFile, WithoutASecondSparkLineTheSpeedsStayOnTheLinesRead) {
    FirmwareValues values;
    values.secondSparkLine = false;
    values.ownFormat = false;
    const Firmware fw = MakeFirmware(values);
    auto h = Loaded(fw);
    h->Show(h->core.Save());
    ASSERT_TRUE(h->messages.all.empty());
    const auto lines = SavedLines(*h);
    for (int k = 0; k < 31; ++k)
        EXPECT_EQ(lines[fw.Index("\tcpi R21,", k)],
                  "cpi R21, " + std::to_string(test::kSampleSpeedCodes[static_cast<std::size_t>(k)]) + kSpeedComment)
            << k;
    values.ownFormat = true;
    EXPECT_EQ(h->files.files.at(kPath), MakeFirmware(values).Bytes());
}

std::string SampleBytes() {
    std::ifstream in(std::string(TIMINGCALC_EXAMPLES) + "/CDI.asm", std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

TEST(SaveToFile, TheSampleComesBackByteForByte) {
    const std::string sample = SampleBytes();
    ASSERT_GT(sample.size(), 10000u);
    Harness h;
    h.Load(sample, kPath);
    EXPECT_TRUE(h.messages.all.empty());
    EXPECT_EQ(h.core.Model().spark.text, "66");
    h.Show(h.core.Save());
    EXPECT_EQ(h.files.files.at(kPath), sample);
    h.Show(h.core.Save());
    EXPECT_EQ(h.files.files.at(kPath), sample);
    EXPECT_EQ(h.files.writes, 2);
    EXPECT_TRUE(h.messages.all.empty());
}

TEST(SaveToFile, SavingTwiceGivesTheSameBytes) {
    FirmwareValues old;
    old.ownFormat = false;
    auto h = Loaded(MakeFirmware(old));
    h->SetCell(4, 3, "25.5");
    h->SetCell(0, 10, "2600");
    h->core.SetSparkDuration("100");
    h->Show(h->core.Save());
    const std::string first = h->files.files.at(kPath);
    h->Show(h->core.Save());
    EXPECT_EQ(h->files.files.at(kPath), first);
    EXPECT_TRUE(h->messages.all.empty());
}

TEST(SaveToFile, RefusedSavesWriteNothing) {
    const auto edited = [](auto edit) {
        Firmware fw = MakeFirmware();
        edit(fw);
        return fw;
    };
    const auto none = [](Firmware&) {};
    const Firmware conflict = edited([](Firmware& fw) { fw.Erase(fw.Index("st X+", 32 + 4)); });
    const Firmware lastLine = edited([](Firmware& fw) {
        while (!fw.lines.back().starts_with("ldi R16,")) fw.lines.pop_back();
    });
    // A label that shares its line with the first entry would be erased by that entry's line.
    const Firmware labelOnEntry = edited([](Firmware& fw) {
        const std::size_t label = fw.Index("FuozTable2:");
        fw.lines[label] += " " + fw.lines[label + 1];
        fw.Erase(label + 1);
    });
    // A field that ends its line reads on into the next, where the scan resumes: the longer
    // rewritten line would let the next scan find the speed line it skipped before.
    const Firmware shortField = edited([](Firmware& fw) {
        const std::size_t first = fw.Index("cpi R21,");
        fw.lines[first] = "cpi R21,";
        fw.Insert(first + 1, "cpi R21, 7");
    });
    const struct {
        const char* what;
        Firmware fw;
        int column, row;
        const char* text;
        std::string warning;  // empty: any warning
    } cases[] = {
        {"missing data", edited(none), 4, 11, "", "Данные не определены"},
        {"below range", edited(none), 4, 7, "-106", "Превышен предел 125° ниже датчика"},
        {"above range", edited(none), 4, 7, "73", "Превышен предел 52° выше датчика"},
        {"speed 459", edited(none), 0, 20, "459", "Обороты не ниже холостых, 460/мин"},
        {"speed 20001", edited(none), 0, 2, "20001", "Превышены обороты 20000/мин"},
        {"no label 2", edited([](Firmware& fw) { fw.Erase(fw.Index("FuozTable2:")); }), 0, 1, "460",
         test::MissingItem("FuozTable2:", kRussian)},
        {"20 entries", edited([](Firmware& fw) {
             for (int k = 0; k < 24; ++k) fw.Erase(fw.Index("FuozTable3:") + 41);
         }),
         0, 1, "460", test::TooFewEntries(20, "FuozTable3:", kRussian)},
        {"spark line too far",
         edited([](Firmware& fw) { fw.Insert(fw.Index(";блок") + 1, ";" + std::string(160, '-')); }), 0, 1, "460",
         test::Said(Diagnostic::Kind::SparkLineMissing, kRussian)},
        {"two items on a line", conflict, 0, 1, "460",
         test::AtLine(Diagnostic::Kind::LayoutConflict, conflict.Index("ldi R16,", 32 + 5) + 1, kRussian)},
        {"entry on the last line", lastLine, 0, 1, "460",
         test::AtLine(Diagnostic::Kind::LayoutConflict, lastLine.lines.size(), kRussian)},
        {"label on an entry's line", labelOnEntry, 0, 1, "460",
         test::AtLine(Diagnostic::Kind::ErasedItem, labelOnEntry.Index("FuozTable2:") + 1, kRussian, "FuozTable2:")},
        {"a field read into the next line", shortField, 0, 32, "15000",
         test::AtLine(Diagnostic::Kind::MovedItem, shortField.Index("cpi R21,") + 2, kRussian)},
    };
    for (const auto& c : cases) {
        auto h = std::make_unique<Harness>();
        h->Load(c.fw.Bytes(), kPath);
        h->messages.all.clear();  // the load's own warnings
        h->SetCell(c.column, c.row, c.text);
        const std::string sourceBefore = h->core.Source().Text();
        h->Show(h->core.Save());
        ASSERT_EQ(h->messages.all.size(), 1u) << c.what;
        EXPECT_EQ(h->messages.all[0].kind, "warning") << c.what;
        if (!c.warning.empty()) {
            EXPECT_EQ(h->messages.all[0].text, c.warning) << c.what;
        }
        EXPECT_EQ(h->files.writes, 0) << c.what;
        EXPECT_EQ(h->files.files.at(kPath), c.fw.Bytes()) << c.what;
        EXPECT_EQ(h->core.Source().Text(), sourceBefore) << c.what;
    }
}

TEST(SaveToFile, AnglesLeftFromAnEarlierLoadDoNotWriteOverAnUnreadableSource) {
    auto h = Loaded(MakeFirmware());
    Firmware changed = MakeFirmware();
    changed.Erase(changed.Index(";блок"));
    h->files.files[kPath] = changed.Bytes();
    h->Show(h->core.OpenSource());  // cancelled: the same file again, now without its marker
    ASSERT_EQ(h->messages.all.size(), 1u);
    ASSERT_FALSE(h->Cell(4, 11).empty());
    h->Show(h->core.Save());
    ASSERT_EQ(h->messages.all.size(), 2u);
    EXPECT_EQ(h->messages.all[1], (Message{"warning", test::MissingItem(";блок задержки искры", kRussian)}));
    EXPECT_EQ(h->files.writes, 0);
}

TEST(SaveToFile, RefusalsSpeakTheCurrentLanguage) {
    auto h = Loaded(MakeFirmware());
    h->core.SwitchLanguage();
    h->SetCell(0, 20, "459");
    h->Show(h->core.Save());
    h->SetCell(0, 20, "20001");
    h->Show(h->core.Save());
    EXPECT_EQ(h->messages.all,
              (std::vector<Message>{{"warning", "RPM not lower 460/min"}, {"warning", "RPM over range 20000/min"}}));
}

TEST(SaveToFile, ATextThatDoesNotConvertChangesNothing) {
    const struct {
        int column, row;
        const char* text;
        const char* error;
    } cases[] = {{3, 10, "", "'' is not a valid integer value."},
                 {0, 5, "", "'' is not a valid integer value."},
                 {4, 5, "1-2", "'1-2' is not a valid floating point value."}};
    for (const auto& c : cases) {
        auto h = Loaded(MakeFirmware());
        h->SetCell(c.column, c.row, c.text);
        const std::string sourceBefore = h->core.Source().Text();
        h->Show(h->core.Save());
        EXPECT_EQ(h->messages.all, (std::vector<Message>{{"app", c.error}}));
        EXPECT_EQ(h->files.writes, 0);
        EXPECT_EQ(h->core.Source().Text(), sourceBefore);
    }
    auto h = Loaded(MakeFirmware());
    h->core.SetSparkDuration("");
    h->Show(h->core.Save());
    EXPECT_EQ(h->messages.all, (std::vector<Message>{{"app", "'' is not a valid integer value."}}));
    EXPECT_EQ(h->files.writes, 0);
}

TEST(SaveToFile, AFailedWriteKeepsTheRewrittenText) {
    const Firmware fw = MakeFirmware();
    auto h = Loaded(fw);
    h->files.writeError = "Permission denied";
    h->SetCell(4, 1, "8.1");
    h->Show(h->core.Save());
    EXPECT_EQ(h->messages.all,
              (std::vector<Message>{{"app", "Cannot create file \"/fw/CDI.asm\". Permission denied"}}));
    EXPECT_EQ(h->files.files.at(kPath), fw.Bytes());
    EXPECT_EQ(test::SplitLines(h->core.Source().Text())[fw.Index("ldi R16,")], "ldi R16, 17" + kEntryComment);
    // The text kept is whole, layout included: once the store works again, the save goes through.
    h->files.writeError.reset();
    h->messages.all.clear();
    h->Show(h->core.Save());
    EXPECT_TRUE(h->messages.all.empty());
    EXPECT_EQ(h->files.files.at(kPath), h->core.Source().ToFileBytes());
    EXPECT_EQ(test::SplitLines(h->files.files.at(kPath))[fw.Index("ldi R16,")], "ldi R16, 17" + kEntryComment);
}

TEST(SaveToFile, ARewriteThatWouldNotReadBackIsRefusedBeforeAnyWrite) {
    // A field that ends its line reads on into the next: the longer rewritten line moves what the next scan finds.
    Firmware fw = MakeFirmware();
    const std::size_t first = fw.Index("cpi R21,");
    fw.lines[first] = "cpi R21,";
    fw.Insert(first + 1, "cpi R21, 7");
    auto h = std::make_unique<Harness>();
    h->Load(fw.Bytes(), kPath);
    h->messages.all.clear();
    h->files.writeError = "Permission denied";
    h->SetCell(0, 32, "15000");
    h->Show(h->core.Save());
    ASSERT_EQ(h->messages.all.size(), 1u);
    EXPECT_EQ(h->messages.all[0],
              (Message{"warning", test::AtLine(Diagnostic::Kind::MovedItem, fw.Index("cpi R21,") + 2, kRussian)}));
    EXPECT_EQ(h->files.writes, 0);
    EXPECT_EQ(h->files.files.at(kPath), fw.Bytes());
}

}  // namespace
}  // namespace tc
