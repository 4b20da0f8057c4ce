#include "firmware/reader.h"

#include <gtest/gtest.h>

#include "table/numbers.h"
#include "test_support.h"

namespace tc {
namespace {

using test::Firmware;
using test::FirmwareValues;
using test::MakeFirmware;

TEST(ReadNumberField, TakesUpToThreeDigitsBehindOneSeparator) {
    const struct {
        const char* line;
        const char* before;
        const char* after;
    } cases[] = {
        {"cpi R18, 75", "9", "75"},  // then the line end
        {"ldi R16,\t200 ; x", "9", "200"}, {"ldi R16, 0", "123", "0"},
        {"cpi R18,75", "9", "5"},    // right after the comma: the first digit is skipped
        {"ldi R16,$15", "9", "15"},  // hexadecimal digits read as decimal
        {"ldi R16,$1F", "9", "1"},         {"ldi R16, 1234", "9", "123"},
        {"ldi R16, x5", "12", "125"},  // first examined character not a digit: appended to the old text
        {"ldi R16,  7", "12", "127"},      {"ldi R16, -5", "3", "35"},
        {"ldi R16, 1 5", "9", "15"},                                  // a non-digit does not end the field
        {"ldi R16, ", "42", "42"},         {"ldi R16,", "42", "42"},  // the text ends inside the field
    };
    for (const auto& c : cases) {
        const SourceText source = SourceText::FromFileBytes(c.line);
        std::string target = c.before;
        ReadNumberField(source, 0, target);
        EXPECT_EQ(target, c.after) << c.line;
    }
}

TEST(SpeedOfCode, TenTimesTheRoundedQuotient) {
    const std::pair<int, long long> cases[] = {{0, 460},     {205, 2340}, {230, 4690}, {250, 23440},
                                               {249, 19530}, {60, 600},   {228, 4340}, {300, -2600}};
    for (const auto& [code, speed] : cases) EXPECT_EQ(SpeedOfCode(code), speed) << code;
    try {
        SpeedOfCode(255);
        ADD_FAILURE() << "255 divides by zero";
    } catch (const ConversionError& error) {
        EXPECT_STREQ(error.what(), "Floating point division by zero");
    }
}

// Runs the reader on a model at start-up.
struct Read {
    GridModel model;
    unsigned trimmer;
    std::vector<std::string> warnings;
    ScanStop stop;

    explicit Read(const std::string& bytes, unsigned language = kRussian, unsigned trimmerBefore = 0)
        : trimmer(trimmerBefore) {
        model.Fill();
        model.grid.SetCell(0, 1, "5");  // row 1 is set to the idle speed whatever it held
        Diagnostics said;
        const SourceText source = SourceText::FromFileBytes(bytes);
        const ReadResult read = ReadSource(source, ScanSource(source), model, trimmer, said);
        stop = read.stop;
        for (const Diagnostic& d : said) warnings.push_back(Render(d, language));
        // The headers carry the digit of each label read, as the core writes them.
        for (std::size_t t = 0; t < 3; ++t)
            if (read.labelDigits[t])
                model.grid.SetCell(static_cast<int>(t) + 1, 0, TableHeader(*read.labelDigits[t], language));
    }
    const std::string& Cell(int column, int row) const { return model.grid.Cell(column, row); }
};

TEST(ReadSource, TakesEveryItemOfACompleteSource) {
    for (const std::string lineBreak : {"\r\n", "\n"}) {
        const Read read(MakeFirmware().Bytes(lineBreak));
        EXPECT_EQ(read.stop, ScanStop::Complete);
        EXPECT_TRUE(read.warnings.empty());
        EXPECT_EQ(read.model.spark.text, "66");
        const std::pair<int, const char*> speeds[] = {{1, "460"},   {2, "600"},    {3, "800"},   {4, "1000"},
                                                      {17, "4340"}, {31, "16740"}, {32, "19530"}};
        for (const auto& [row, speed] : speeds) EXPECT_EQ(read.Cell(0, row), speed) << row;
        const test::Tables tables = test::DistinctTables();
        for (int t = 1; t <= 3; ++t) {
            EXPECT_EQ(read.Cell(t, 0), "таб." + std::to_string(t));
            for (int r = 1; r <= 32; ++r)
                EXPECT_EQ(read.Cell(t, r),
                          std::to_string(tables[static_cast<std::size_t>(t - 1)][static_cast<std::size_t>(r - 1)]))
                    << t << "/" << r;
        }
        EXPECT_EQ(read.trimmer, 1u);
        EXPECT_EQ(read.Cell(4, 11), "");  // the angle column is the form's to fill
    }
}

TEST(ReadSource, EnglishHeaders) {
    const Read read(MakeFirmware().Bytes(), kEnglish);
    EXPECT_EQ(read.Cell(1, 0), "Tab.1");
    EXPECT_EQ(read.Cell(3, 0), "Tab.3");
}

// The marker line, one filler line, then the spark line at the given distance.
Firmware SparkAt(std::size_t distance) {
    FirmwareValues values;
    values.sparkCode = 12;
    Firmware fw = MakeFirmware(values);
    const std::size_t marker = fw.Index(";блок");
    while (!fw.lines[marker + 1].starts_with("cpi R18,")) fw.Erase(marker + 1);
    // the marker line takes 22 positions, the filler its length plus 2
    fw.Insert(marker + 1, ";" + std::string(distance - 22 - 2 - 1, 'x'));
    return fw;
}

TEST(ReadSource, SparkLineIsLookedForWithin165PositionsOfTheMarker) {
    const Read found(SparkAt(165).Bytes());
    EXPECT_EQ(found.model.spark.text, "72");
    EXPECT_TRUE(found.warnings.empty());

    const Read missed(SparkAt(166).Bytes());
    EXPECT_EQ(missed.model.spark.text, "65");  // kept, not multiplied
    ASSERT_EQ(missed.warnings.size(), 1u);
    EXPECT_EQ(missed.warnings[0], test::Said(Diagnostic::Kind::SparkLineMissing, kRussian));
    EXPECT_EQ(missed.stop, ScanStop::Complete);  // the rest is read all the same
    EXPECT_EQ(missed.Cell(0, 32), "19530");
    EXPECT_EQ(missed.Cell(3, 32), "196");
}

TEST(ReadSource, TrimmerFlagFromTheLastInstructionBeforeTheFirstLabel) {
    const struct {
        std::vector<std::string> lines;
        unsigned before, after;
    } cases[] = {
        {{";sbi ADCSRA, ADEN"}, 1, 0},
        {{"; sbi ADCSRA, ADEN"}, 0, 1},
        {{"\tsbi ADCSRA, ADEN"}, 0, 1},
        {{";\tsbi ADCSRA, ADEN"}, 0, 1},
        {{"sbi ADCSRA, ADEN", ";sbi ADCSRA, ADEN"}, 1, 0},
        {{";sbi ADCSRA, ADEN", "\tsbi ADCSRA, ADEN ; on"}, 0, 1},
        {{}, 0, 0},
        {{}, 1, 1},
    };
    for (const auto& c : cases) {
        FirmwareValues values;
        values.trimmerLine = "";
        Firmware fw = MakeFirmware(values);
        std::size_t at = fw.Index("AdcInit:") + 1;
        for (const auto& line : c.lines) fw.Insert(at++, line);
        const Read read(fw.Bytes(), kRussian, c.before);
        EXPECT_EQ(read.trimmer, c.after) << (c.lines.empty() ? "none" : c.lines.back());
    }
}

TEST(ReadSource, TrimmerInstructionsOutsideTheirStretchDoNotCount) {
    FirmwareValues values;
    values.trimmerLine = "\tsbi ADCSRA, ADEN";
    Firmware after = MakeFirmware(values);
    after.Insert(after.Index("FuozTable1:") + 1, ";sbi ADCSRA, ADEN");
    EXPECT_EQ(Read(after.Bytes(), kRussian, 0).trimmer, 1u);

    values.trimmerLine = "";
    Firmware before = MakeFirmware(values);
    before.Insert(before.Index(";блок"), "\tsbi ADCSRA, ADEN");
    EXPECT_EQ(Read(before.Bytes(), kRussian, 0).trimmer, 0u);
}

TEST(ReadSource, TheNextSearchStartsAtTheFieldsThirdCharacter) {
    Firmware fw = MakeFirmware();
    const std::size_t at = fw.Index("ldi R16,", 4);
    fw.lines[at] = "ldi R16, 7ldi R16, 9";  // the inner match starts inside the field: not counted
    fw.lines[at + 2] = "ldi R16, 7 ldi R16, 9";
    const Read read(fw.Bytes());
    EXPECT_EQ(read.Cell(1, 5), "7");
    EXPECT_EQ(read.Cell(1, 6), "7");
    EXPECT_EQ(read.Cell(1, 7), "9");
    EXPECT_EQ(read.Cell(1, 8), "6");
}

TEST(ReadSource, AnEntryOnTheLabelLineCounts) {
    Firmware fw = MakeFirmware();
    fw.lines[fw.Index("FuozTable2:")] = "FuozTable2:ldi R16, 99";
    const Read read(fw.Bytes());
    EXPECT_EQ(read.Cell(2, 0), "таб.2");
    EXPECT_EQ(read.Cell(2, 1), "99");
    EXPECT_EQ(read.Cell(2, 2), "200");
}

TEST(ReadSource, ACommentedOutEntryShiftsItsTable) {
    Firmware fw = MakeFirmware();
    fw.Insert(fw.Index("FuozTable2:") + 1, "; ldi R16, 99\told value");
    const Read read(fw.Bytes());
    EXPECT_EQ(read.stop, ScanStop::Complete);
    EXPECT_EQ(read.Cell(2, 1), "99");
    EXPECT_EQ(read.Cell(2, 2), "200");
    EXPECT_EQ(read.Cell(2, 32), "230");  // the last real value, 255, is not read
    EXPECT_EQ(read.Cell(3, 1), "165");
    EXPECT_EQ(read.Cell(3, 32), "196");
}

// Table 3 keeps only its first `count` entries.
void TruncateTable3(Firmware& fw, int count) {
    const std::size_t first = fw.Index("FuozTable3:") + 1 + 2 * static_cast<std::size_t>(count);
    for (int k = count; k < 32; ++k) {
        fw.Erase(first);
        fw.Erase(first);
    }
}

TEST(ReadSource, AMissingItemStopsThePassWithOneWarning) {
    FirmwareValues values;  // rows 3 and 2 read apart from their start-up speeds
    values.speedCodes[29] = 100;
    values.speedCodes[30] = 50;
    const auto edited = [values](auto edit) {
        Firmware fw = MakeFirmware(values);
        edit(fw);
        return fw;
    };
    const struct {
        const char* what;
        Firmware fw;
        ScanStop stop;
        std::vector<const char*> named;
        int speedRowsRead;  // from row 32 down
        int tablesRead;
    } cases[] = {
        {"marker",
         edited([](Firmware& fw) { fw.Erase(fw.Index(";блок")); }),
         ScanStop::Marker,
         {"блок задержки искры"},
         0,
         0},
        {"30 speeds",
         edited([](Firmware& fw) { fw.Erase(fw.Index("cpi R21,", 30)); }),
         ScanStop::Speeds,
         {"cpi R21,", "30", "31"},
         30,
         0},
        {"no speeds",
         edited([](Firmware& fw) {
             for (int k = 0; k < 31; ++k) fw.Erase(fw.Index("cpi R21,"));
         }),
         ScanStop::Speeds,
         {"cpi R21,", "0", "31"},
         0,
         0},
        {"label 1",
         edited([](Firmware& fw) { fw.Erase(fw.Index("FuozTable1:")); }),
         ScanStop::Label1,
         {"FuozTable1:"},
         31,
         0},
        {"label 2",
         edited([](Firmware& fw) { fw.Erase(fw.Index("FuozTable2:")); }),
         ScanStop::Label2,
         {"FuozTable2:"},
         31,
         1},
        {"20 entries",
         edited([](Firmware& fw) { TruncateTable3(fw, 20); }),
         ScanStop::Entries3,
         {"ldi R16,", "20", "32", "FuozTable3:"},
         31,
         3},
    };
    for (const auto& c : cases) {
        const Read read(c.fw.Bytes(), kRussian, 7);
        EXPECT_EQ(read.stop, c.stop) << c.what;
        ASSERT_EQ(read.warnings.size(), 1u) << c.what;
        for (const char* piece : c.named)
            EXPECT_NE(read.warnings[0].find(piece), std::string::npos) << c.what << ": " << piece;
        // the rows read are converted, the others keep the start-up speeds
        EXPECT_EQ(read.Cell(0, 32), c.speedRowsRead >= 1 ? "19530" : "19500") << c.what;
        EXPECT_EQ(read.Cell(0, 3), c.speedRowsRead >= 30 ? "760" : "800") << c.what;
        EXPECT_EQ(read.Cell(0, 2), c.speedRowsRead >= 31 ? "570" : "600") << c.what;
        if (c.stop != ScanStop::Marker) {
            EXPECT_EQ(read.Cell(0, 1), "460") << c.what;
        }
        EXPECT_EQ(read.model.spark.text, c.stop == ScanStop::Marker ? "65" : "66") << c.what;
        for (int t = 1; t <= 3; ++t) EXPECT_EQ(read.Cell(t, 1).empty(), t > c.tablesRead) << c.what << " table " << t;
        EXPECT_EQ(read.trimmer, c.speedRowsRead == 31 ? 1u : 7u) << c.what;
    }
}

TEST(ReadSource, AShortTableKeepsTheRowsItDidNotReach) {
    Firmware fw = MakeFirmware();
    TruncateTable3(fw, 20);
    GridModel model;
    model.Fill();
    model.grid.SetCell(3, 21, "old");
    unsigned trimmer = 0;
    Diagnostics said;
    const SourceText source = SourceText::FromFileBytes(fw.Bytes());
    ReadSource(source, ScanSource(source), model, trimmer, said);
    EXPECT_EQ(model.grid.Cell(3, 20), "184");
    EXPECT_EQ(model.grid.Cell(3, 21), "old");
}

TEST(ReadSource, LongLinesAndCtrlZ) {
    Firmware fw = MakeFirmware();
    fw.Insert(0, ";" + std::string(300, '-') + " cpi R21, 1");  // before the marker: not a speed line
    const Read longLines(fw.Bytes());
    EXPECT_EQ(longLines.stop, ScanStop::Complete);
    EXPECT_EQ(longLines.Cell(0, 32), "19530");

    // what follows a Ctrl-Z is not part of the text
    Firmware cut = MakeFirmware();
    const std::size_t label3 = cut.Index("FuozTable3:");
    cut.lines[label3] = "\x1A" + cut.lines[label3];
    const Read read(cut.Bytes());
    EXPECT_EQ(read.stop, ScanStop::Label3);
    EXPECT_EQ(read.Cell(3, 1), "");
    EXPECT_EQ(read.Cell(2, 32), "255");
}

}  // namespace
}  // namespace tc
