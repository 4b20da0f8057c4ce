// timingcalc-cli's set over FILE when another program changed FILE between
// the open and the save: the command runs in this process on the real file
// layer, and the change is made on the disk right before the save reads the
// file again.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sstream>

#include "cli/json.h"
#include "cli/options.h"
#include "cli/run.h"
#include "cli_support.h"
#include "run_in_process.h"
#include "os/files.h"
#include "table/conversion.h"

namespace cli {
namespace {

// The disk, with what another program does to the file just before the second read.
class ChangingFiles : public tc::FileStore {
public:
    ChangingFiles(std::string path, std::function<void()> change)
        : path_(std::move(path)), change_(std::move(change)) {}
    ReadResult Read(const std::string& path) override {
        if (path == path_ && ++reads_ == 2) change_();
        return disk_.Read(path);
    }
    std::optional<std::string> Write(const std::string& path, std::span<const std::string_view> pieces) override {
        return disk_.Write(path, pieces);
    }

private:
    std::string path_;
    std::function<void()> change_;
    int reads_ = 0;
    tc::os::DiskFiles disk_;
};

const std::string kComment = "; CDI.asm - ";
const std::string kMyComment = "; my notes on CDI.asm - ";

// Table 1, row 1 as another program wrote it; the grid's code must win.
std::string OtherCode(const std::string& bytes) {
    const auto span = FindEntry(bytes, 1, 1);
    EXPECT_TRUE(span.has_value());
    std::string changed = bytes;
    if (span) changed.replace(span->code, span->codeLength, "99");
    return changed;
}

struct Change {
    const char* name;
    std::function<std::string(const std::string&)> outside;  // the file as the other program left it; empty: deleted
    bool merged;                                             // the save went into the changed file
    bool refused;                                            // nothing was written
    const char* ru;                                          // the message, empty for none
    const char* en;
};

void PrintTo(const Change& c, std::ostream* os) { *os << c.name; }

const Change kChanges[] = {
    {"Unchanged", [](const std::string& bytes) { return bytes; }, false, false, "", ""},
    {"CommentChanged", [](const std::string& bytes) { return ReplaceOnce(bytes, kComment, kMyComment); }, true, false,
     "Warning: Файл \"@FILE@\" изменился на диске после открытия; его другие изменения сохранены, а значения "
     "таблицы записаны в него\n",
     "Warning: The file \"@FILE@\" had changed on disk since it was opened; its other changes were kept, and the "
     "table's values were written into it\n"},
    {"TableLineChanged", [](const std::string& bytes) { return OtherCode(ReplaceOnce(bytes, kComment, kMyComment)); },
     true, false,
     "Warning: Файл \"@FILE@\" изменился на диске после открытия; его другие изменения сохранены, а значения "
     "таблицы записаны в него\n",
     "Warning: The file \"@FILE@\" had changed on disk since it was opened; its other changes were kept, and the "
     "table's values were written into it\n"},
    {"TruncatedBeforeTable3", [](const std::string& bytes) { return bytes.substr(0, bytes.find("FuozTable3:")); },
     false, true,
     "Warning: Файл \"@FILE@\" изменился на диске после открытия и больше не читается полностью; файл не записан. "
     "В исходном тексте не найдено: \"FuozTable3:\"\ntimingcalc-cli: nothing written\n",
     "Warning: The file \"@FILE@\" has changed on disk since it was opened and no longer reads completely; the "
     "file is not written. Not found in the source: \"FuozTable3:\"\ntimingcalc-cli: nothing written\n"},
    {"Deleted", nullptr, false, false, "", ""},
};

class SetOverAChangedFile : public ::testing::TestWithParam<Change> {};

TEST_P(SetOverAChangedFile, KeepsWhatChangedOutsideOrWritesNothing) {
    const Change& c = GetParam();
    for (const std::string language : {"ru", "en"}) {
        SCOPED_TRACE(language);
        Folder folder;
        const fs::path file = folder / "CDI.asm";
        const std::string path = tc::os::Utf8Of(file);
        // What set makes of the sample when nothing changes outside.
        WriteFile(file, Sample());
        tc::os::DiskFiles disk;
        std::ostringstream ignored;
        ASSERT_EQ(tc::cli::Run({"set", path, "--spark", "72"}, disk, ignored, ignored), 0);
        const std::string saved = ReadFile(file);

        WriteFile(file, Sample());
        std::string outside;
        ChangingFiles files(path, [&] {
            if (!c.outside) return fs::remove(file), void();
            outside = c.outside(Sample());
            WriteFile(file, outside);
        });
        std::ostringstream out, err;
        const int status = tc::cli::Run({"set", path, "--spark", "72", "--language", language}, files, out, err);

        EXPECT_EQ(status, c.refused ? 1 : 0);
        EXPECT_EQ(out.str(), "");
        EXPECT_EQ(err.str(), ReplaceAll(language == "ru" ? c.ru : c.en, "@FILE@", path));
        const std::string expected = c.refused ? outside : c.merged ? ReplaceOnce(saved, kComment, kMyComment) : saved;
        EXPECT_EQ(ReadFile(file), expected);
        EXPECT_EQ(folder.Names(), std::vector<std::string>{"CDI.asm"}) << "no temporary file is left behind";
    }
}

INSTANTIATE_TEST_SUITE_P(Cli, SetOverAChangedFile, ::testing::ValuesIn(kChanges),
                         [](const auto& info) { return std::string(info.param.name); });

// --- spreadsheets, previews and comparisons --------------------------------------

// The sample's spreadsheet as show --csv writes it, as lines without their CR LF.
std::vector<std::string> SampleCsvLines(const std::string& path) {
    const Ran shown = RunIn({"show", path, "--csv"});
    EXPECT_EQ(shown.status, 0) << shown.err;
    std::vector<std::string> lines;
    std::istringstream in(shown.out);
    for (std::string line; std::getline(in, line);) lines.push_back(line.substr(0, line.find('\r')));
    return lines;
}

std::string Joined(const std::vector<std::string>& lines, const std::string& lineBreak) {
    std::string out;
    for (const auto& line : lines) out += line + lineBreak;
    return out;
}

struct CsvForm {
    const char* name;
    std::function<std::string(std::vector<std::string>)> write;  // from the sample's lines, row 5 at 15 degrees
};

void PrintTo(const CsvForm& c, std::ostream* os) { *os << c.name; }

std::vector<std::string> Row5At15(std::vector<std::string> lines) {
    lines[5] = lines[5].substr(0, lines[5].rfind(',')) + ",15";
    return lines;
}

// As LibreOffice Calc and Excel save it with Russian settings: semicolons and decimal commas.
std::string Russian(std::vector<std::string> lines) {
    for (auto& line : lines) {
        std::replace(line.begin(), line.end(), ',', ';');
        std::replace(line.begin(), line.end(), '.', ',');
    }
    return Joined(lines, "\r\n");
}

const CsvForm kCsvForms[] = {
    {"AsShowWritesIt", [](auto lines) { return Joined(Row5At15(lines), "\r\n"); }},
    {"LineFeedsOnly", [](auto lines) { return Joined(Row5At15(lines), "\n"); }},
    {"ByteOrderMark", [](auto lines) { return "\xEF\xBB\xBF" + Joined(Row5At15(lines), "\r\n"); }},
    {"OneColumnOfAngles",
     [](auto lines) {
         lines = Row5At15(lines);
         lines.erase(lines.begin());
         for (auto& line : lines) line = line.substr(line.rfind(',') + 1);
         return Joined(lines, "\n");
     }},
    {"OneColumnOfDecimalCommas",
     [](auto lines) {
         lines = Row5At15(lines);
         lines.erase(lines.begin());
         for (auto& line : lines) {
             line = line.substr(line.rfind(',') + 1);
             std::replace(line.begin(), line.end(), '.', ',');
         }
         return Joined(lines, "\r\n");
     }},
    {"OneColumnOfDecimalCommasUnderAHeader",
     [](auto lines) {
         lines = Row5At15(lines);
         lines[0] = "angle";
         for (std::size_t row = 1; row < lines.size(); ++row) {
             lines[row] = lines[row].substr(lines[row].rfind(',') + 1);
             std::replace(lines[row].begin(), lines[row].end(), '.', ',');
         }
         return Joined(lines, "\n");
     }},
    {"EmptyRowsAfterTheTable", [](auto lines) { return Joined(Row5At15(lines), "\r\n") + ",,,,\r\n, ,\r\n\r\n"; }},
    {"WithoutHeader",
     [](auto lines) {
         lines = Row5At15(lines);
         lines.erase(lines.begin());
         return Joined(lines, "\n");
     }},
    {"RussianSettings", [](auto lines) { return Russian(Row5At15(lines)); }},
    {"QuotedDecimalCommas",
     [](auto lines) {
         lines = Row5At15(lines);
         for (auto& line : lines) {
             const auto comma = line.rfind(',');
             std::string angle = line.substr(comma + 1);
             std::replace(angle.begin(), angle.end(), '.', ',');
             line = line.substr(0, comma) + ",\"" + angle + "\"";
         }
         return Joined(lines, "\r\n");
     }},
    {"AnglesOnly",
     [](auto lines) {
         for (auto& line : lines) line = ";;;;" + line.substr(line.rfind(',') + 1);
         lines[0] = "rpm;code1;code2;code3;angle";
         lines[5] = ";;;;15";
         return Joined(lines, "\r\n");
     }},
};

class SetFromCsv : public ::testing::TestWithParam<CsvForm> {};

TEST_P(SetFromCsv, TakesTheAnglesAsSpreadsheetsSaveThem) {
    Folder folder;
    const std::string source = tc::os::Utf8Of(folder / "CDI.asm");
    WriteFile(folder / "CDI.asm", Sample());
    const std::string csv = tc::os::Utf8Of(folder / "table.csv");
    WriteFile(folder / "table.csv", GetParam().write(SampleCsvLines(source)));
    // The same angle given on the command line.
    std::vector<std::string> angles;
    for (std::size_t row = 1; row <= 32; ++row)
        angles.push_back(SampleCsvLines(source)[row].substr(SampleCsvLines(source)[row].rfind(',') + 1));
    angles[4] = "15";
    ASSERT_EQ(RunIn({"set", source, "--angles", Join(angles), "-o", tc::os::Utf8Of(folder / "expected.asm")}).status,
              0);

    const Ran set = RunIn({"set", source, "--csv", csv, "-o", tc::os::Utf8Of(folder / "out.asm")});
    EXPECT_EQ(set.status, 0) << set.err;
    EXPECT_EQ(set.err, "");
    EXPECT_EQ(ReadFile(folder / "out.asm"), ReadFile(folder / "expected.asm"));
    EXPECT_NE(ReadFile(folder / "out.asm"), Sample());
    EXPECT_EQ(ReadFile(folder / "CDI.asm"), Sample());
}

INSTANTIATE_TEST_SUITE_P(Csv, SetFromCsv, ::testing::ValuesIn(kCsvForms),
                         [](const auto& info) { return std::string(info.param.name); });

// Without a header, a first row whose angle is "-" or negative is a row, not a header.
TEST(Csv, AFirstRowWithoutSparkIsNoHeader) {
    Folder folder;
    const std::string source = tc::os::Utf8Of(folder / "CDI.asm");
    WriteFile(folder / "CDI.asm", Sample());
    for (const char* first : {"-", "-3.8"}) {
        SCOPED_TRACE(first);
        std::vector<std::string> lines(32, "20");
        lines[0] = first;
        WriteFile(folder / "angles.csv", Joined(lines, "\r\n"));
        const Ran set = RunIn(
            {"set", source, "--csv", tc::os::Utf8Of(folder / "angles.csv"), "-o", tc::os::Utf8Of(folder / "out.asm")});
        ASSERT_EQ(set.status, 0) << set.err;
        const Ran shown = RunIn({"show", tc::os::Utf8Of(folder / "out.asm"), "--csv"});
        EXPECT_NE(shown.out.find(std::string(",") + first + "\r\n600,"), std::string::npos) << shown.out;
    }
}

TEST(Csv, ExportThenImportGivesBackTheSameBytes) {
    Folder folder;
    const std::string source = tc::os::Utf8Of(folder / "CDI.asm");
    for (const char* table : {"1", "2", "3"}) {
        SCOPED_TRACE(table);
        WriteFile(folder / "CDI.asm", Sample());
        const Ran shown = RunIn({"show", source, "--csv", "--table", table});
        ASSERT_EQ(shown.status, 0);
        WriteFile(folder / "t.csv", shown.out);
        const Ran set = RunIn({"set", source, "--csv", tc::os::Utf8Of(folder / "t.csv"), "--table", table});
        EXPECT_EQ(set.status, 0) << set.err;
        EXPECT_EQ(ReadFile(folder / "CDI.asm"), Sample());
    }
}

struct BadCsv {
    const char* name;
    std::function<std::string(std::vector<std::string>)> write;
    const char* said;  // part of the message
};

void PrintTo(const BadCsv& c, std::ostream* os) { *os << c.name; }

const BadCsv kBadCsvs[] = {
    {"ThirtyOneRows",
     [](auto lines) {
         lines.pop_back();
         return Joined(lines, "\n");
     },
     "31 rows of values; 32 are needed"},
    {"ThirtyThreeRows",
     [](auto lines) {
         lines.push_back(lines.back());
         return Joined(lines, "\n");
     },
     "33 rows of values; 32 are needed"},
    {"AngleNotANumber",
     [](auto lines) {
         lines[7] = "1990,7,4,11,1x";
         return Joined(lines, "\n");
     },
     "line 8, column 5 (angle): '1x' is not a number or \"-\""},
    {"AngleMissing",
     [](auto lines) {
         lines[3] = "800,13,10";
         return Joined(lines, "\n");
     },
     "line 4, column 5 (angle): missing"},
    {"RpmNotANumber",
     [](auto lines) {
         lines[9] = "22.5,5,2,10,16.5";
         return Joined(lines, "\n");
     },
     "line 10, column 1 (rpm): '22.5' is not a whole number"},
    {"OneRpmEmpty",
     [](auto lines) {
         lines[12] = lines[12].substr(lines[12].find(','));
         return Joined(lines, "\n");
     },
     "line 13, column 1 (rpm): empty, while other rows have a speed"},
    {"QuoteNotClosed",
     [](auto lines) {
         lines[30] += ",\"x";
         return Joined(lines, "\n");
     },
     "a quoted field is not closed"},
    {"Empty", [](auto) { return std::string(); }, "0 rows of values"},
    // Two columns of numbers are not one column of decimal commas.
    {"RowNumberAndWholeAngle",
     [](auto lines) {
         lines.erase(lines.begin());
         for (std::size_t i = 0; i < lines.size(); ++i)
             lines[i] = std::to_string(i + 1) + "," + std::to_string(10 + i % 3);
         return Joined(lines, "\r\n");
     },
     "line 1, column 5 (angle): missing"},
    {"RpmAndWholeAngle",
     [](auto lines) {
         for (std::size_t i = 1; i < lines.size(); ++i) lines[i] = lines[i].substr(0, lines[i].find(',')) + ",15";
         lines.erase(lines.begin());
         return Joined(lines, "\r\n");
     },
     "line 1, column 5 (angle): missing"},
    {"HeaderOfTwoColumns",
     [](auto lines) {
         lines[0] = "angle,note";
         for (std::size_t i = 1; i < lines.size(); ++i)
             lines[i] = std::to_string(10 + i % 3) + "," + std::to_string(i % 10);
         return Joined(lines, "\r\n");
     },
     "line 2, column 5 (angle): missing"},
};

class SetFromBadCsv : public ::testing::TestWithParam<BadCsv> {};

TEST_P(SetFromBadCsv, IsRefusedNamingWhereAndWritesNothing) {
    Folder folder;
    const std::string source = tc::os::Utf8Of(folder / "CDI.asm");
    WriteFile(folder / "CDI.asm", Sample());
    WriteFile(folder / "bad.csv", GetParam().write(SampleCsvLines(source)));
    for (const bool toOut : {false, true}) {
        std::vector<std::string> arguments{"set", source, "--csv", tc::os::Utf8Of(folder / "bad.csv")};
        if (toOut) arguments.insert(arguments.end(), {"-o", tc::os::Utf8Of(folder / "out.asm")});
        const Ran set = RunIn(arguments);
        EXPECT_EQ(set.status, 1);
        EXPECT_NE(set.err.find(GetParam().said), std::string::npos) << set.err;
        EXPECT_TRUE(set.err.ends_with("timingcalc-cli: nothing written\n")) << set.err;
        EXPECT_EQ(ReadFile(folder / "CDI.asm"), Sample());
        EXPECT_EQ(folder.Names(), (std::vector<std::string>{"CDI.asm", "bad.csv"}));
    }
}

INSTANTIATE_TEST_SUITE_P(Csv, SetFromBadCsv, ::testing::ValuesIn(kBadCsvs),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DryRun, PrintsTheLinesThatWouldChangeInUtf8AndWritesNothing) {
    Folder folder;
    const std::string source = tc::os::Utf8Of(folder / "CDI.asm");
    WriteFile(folder / "CDI.asm", Sample());
    const Ran unchanged = RunIn({"set", source, "--dry-run"});
    EXPECT_EQ(unchanged.status, 0) << unchanged.err;
    EXPECT_EQ(unchanged.out, "") << "a save that changes nothing shows nothing";

    const Ran spark = RunIn({"set", source, "--spark", "72", "--dry-run"});
    EXPECT_EQ(spark.status, 0) << spark.err;
    EXPECT_EQ(ReadFile(folder / "CDI.asm"), Sample());
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"CDI.asm"});
    EXPECT_TRUE(spark.out.starts_with("--- " + source + "\n+++ " + source + "\n@@ -")) << spark.out;
    // Only the two spark lines change: removed and added once each, in UTF-8.
    std::vector<std::string> removed, added;
    std::istringstream in(spark.out);
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with("-") && !line.starts_with("---")) removed.push_back(line);
        if (line.starts_with("+") && !line.starts_with("+++")) added.push_back(line);
    }
    EXPECT_EQ(added, (std::vector<std::string>{"+cpi R18, 12\t\t;72mks", "+cpi R19, 12\t\t;72mks"}));
    EXPECT_EQ(removed.size(), 2u);

    const Ran angle = RunIn({"set", source, "--angles", Join(std::vector<std::string>(32, "-")), "--dry-run"});
    EXPECT_NE(angle.out.find("+st X+, R16\t;в ОЗУ, -°"), std::string::npos) << angle.out;
}

// Every line break a save would change, which the diff of the lines cannot show.
struct BreakCase {
    const char* name;
    std::function<std::string(std::string)> source;  // from the sample, which ends its lines with CR LF
    std::vector<std::string> options;
    int shown;   // lines whose text changes, in the diff
    int breaks;  // lines whose break alone changes; -1: every line but those shown
};

void PrintTo(const BreakCase& c, std::ostream* os) { *os << c.name; }

std::string WithLineFeedsOnly(std::string text) {
    std::erase(text, '\r');
    return text;
}

const BreakCase kBreakCases[] = {
    {"AllCrLf", [](std::string text) { return text; }, {}, 0, 0},
    {"AllCrLfAndTheSpark", [](std::string text) { return text; }, {"--spark", "72"}, 2, 0},
    {"OneLineFeed", [](std::string text) { return text.erase(text.find("\r\n"), 1); }, {}, 0, 1},
    {"LastLineWithoutBreak", [](std::string text) { return text.substr(0, text.size() - 2); }, {}, 0, 1},
    {"LastLineWithoutBreakBeforeCtrlZ",
     [](std::string text) { return text.substr(0, text.size() - 2) + "\x1A\r\nafter"; },
     {},
     0,
     1},
    {"CtrlZAfterTheLastBreak", [](std::string text) { return text + "\x1A"; }, {}, 0, 0},
    {"LineFeedsOnly", WithLineFeedsOnly, {}, 0, -1},
    {"LineFeedsOnlyAndTheSpark", WithLineFeedsOnly, {"--spark", "72"}, 2, -1},
};

class DryRunBreaks : public ::testing::TestWithParam<BreakCase> {};

TEST_P(DryRunBreaks, SaysHowManyLineBreaksAloneTheSaveChanges) {
    Folder folder;
    const std::string source = tc::os::Utf8Of(folder / "CDI.asm");
    const std::string text = GetParam().source(Sample());
    WriteFile(folder / "CDI.asm", text);
    std::vector<std::string> arguments{"set", source};
    arguments.insert(arguments.end(), GetParam().options.begin(), GetParam().options.end());
    arguments.push_back("--dry-run");
    const Ran dry = RunIn(arguments);
    EXPECT_EQ(dry.status, 0) << dry.err;
    int added = 0;
    std::istringstream in(dry.out);
    for (std::string line; std::getline(in, line);) added += line.starts_with("+") && !line.starts_with("+++");
    EXPECT_EQ(added, GetParam().shown) << dry.out;
    const long breaks =
        GetParam().breaks >= 0 ? GetParam().breaks : std::count(text.begin(), text.end(), '\n') - GetParam().shown;
    const std::string said = breaks == 0
                                 ? ""
                                 : "timingcalc-cli: besides, the save would end " + std::to_string(breaks) +
                                       (breaks == 1 ? " line" : " lines") + " with CR LF; they end otherwise now\n";
    EXPECT_EQ(dry.err, said);
    EXPECT_EQ(ReadFile(folder / "CDI.asm"), text);
    // What the dry run announces is what a save does.
    arguments.pop_back();
    ASSERT_EQ(RunIn(arguments).status, 0);
    EXPECT_EQ(ReadFile(folder / "CDI.asm") == text, breaks == 0 && GetParam().shown == 0);
}

INSTANTIATE_TEST_SUITE_P(DryRun, DryRunBreaks, ::testing::ValuesIn(kBreakCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Diff, ListsExactlyTheEditedValues) {
    Folder folder;
    const std::string a = tc::os::Utf8Of(folder / "a.asm");
    const std::string b = tc::os::Utf8Of(folder / "b.asm");
    WriteFile(folder / "a.asm", Sample());
    WriteFile(folder / "b.asm", WithEntry(WithEntry(Sample(), 1, 5, "7", "15.1"), 3, 32, "9", "13.7"));
    const Ran same = RunIn({"diff", a, a});
    EXPECT_EQ(same.status, 0);
    EXPECT_EQ(same.out, "");

    const Ran text = RunIn({"diff", a, b});
    EXPECT_EQ(text.status, 1) << text.err;
    EXPECT_EQ(text.out,
              "row 5 (1200 rpm): table 1 code 12 -> 7, angle 11.6 -> 15.1\n"
              "row 32 (19530 rpm): table 3 code 8 -> 9, angle 14.4 -> 13.7\n");

    const Ran json = RunIn({"diff", a, b, "--json", "--sensor", "35"});
    EXPECT_EQ(json.status, 1);
    EXPECT_EQ(json.out,
              "{\"sensor\": 35, \"spark_us\": null, \"rows\": ["
              "{\"row\": 5, \"rpm\": 1200, \"table\": 1, \"code\": {\"a\": 12, \"b\": 7}, \"angle\": {\"a\": \"26.6\", "
              "\"b\": \"30.1\"}}, "
              "{\"row\": 32, \"rpm\": 19530, \"table\": 3, \"code\": {\"a\": 8, \"b\": 9}, \"angle\": {\"a\": "
              "\"29.4\", \"b\": \"28.7\"}}]}\n");

    ASSERT_EQ(RunIn({"set", b, "--spark", "72", "--rpm",
                     "600,800,1000,1200,1400,1610,1800,1990,2250,2490,2730,3000,3260,3550,4040,4340,4880,5100,5580,"
                     "5860,6510,6890,7320,7810,9010,9770,10650,13020,14650,16740,17000"})
                  .status,
              0);
    const Ran more = RunIn({"diff", a, b});
    EXPECT_EQ(more.status, 1);
    EXPECT_TRUE(more.out.starts_with("spark_us 66 -> 72\n")) << more.out;
    EXPECT_NE(more.out.find("row 32: rpm 19530 -> 16740\n"), std::string::npos) << more.out;

    const Ran trouble = RunIn({"diff", a, tc::os::Utf8Of(folder / "none.asm")});
    EXPECT_EQ(trouble.status, 2);
    EXPECT_EQ(trouble.out, "");
}

// --- the command line and the JSON text -------------------------------------------

using tc::cli::Invocation;

// Every field, so that a failure shows what differs.
std::string Described(const Invocation& i) {
    std::ostringstream out;
    const auto list = [&](const std::optional<std::vector<std::string>>& items) {
        if (!items) return out << "-", void();
        out << items->size() << ":" << Join(*items);
    };
    out << "command " << i.command << " topic " << i.topic << " file [" << i.file << "] other [" << i.other
        << "] sensor " << i.sensor << " table " << i.table << " json " << i.json << " csv " << i.csv << " language "
        << i.language << " angles ";
    list(i.angles);
    out << " speeds ";
    list(i.speeds);
    out << " spark [" << i.spark.value_or("-") << "] output [" << i.output.value_or("-") << "] csvFile ["
        << i.csvFile.value_or("-") << "] dryRun " << i.dryRun;
    return out.str();
}

struct Parsed {
    const char* name;
    std::vector<std::string> arguments;
    Invocation expected;
};

void PrintTo(const Parsed& p, std::ostream* os) { *os << p.name; }

std::vector<std::string> Repeated(std::size_t count, const std::string& item) { return {count, item}; }

const Parsed kParsed[] = {
    {"ShowDefaults", {"show", "CDI.asm"}, {.command = Invocation::Show, .file = "CDI.asm"}},
    {"ShowEverything",
     {"show", "CDI.asm", "--sensor", "35", "--table=3", "--csv", "--language", "ru"},
     {.command = Invocation::Show, .file = "CDI.asm", .sensor = "35", .table = "3", .language = 0, .csv = true}},
    {"OptionsBeforeTheFile",
     {"show", "--json", "--sensor=0", "CDI.asm"},
     {.command = Invocation::Show, .file = "CDI.asm", .sensor = "0", .json = true}},
    {"DashDashEndsTheOptions", {"show", "--", "--json"}, {.command = Invocation::Show, .file = "--json"}},
    {"DashIsAFile", {"show", "-"}, {.command = Invocation::Show, .file = "-"}},
    {"AFileNamedLikeACommand", {"show", "set"}, {.command = Invocation::Show, .file = "set"}},
    {"BracketsStayInTheName", {"show", "[a,b]"}, {.command = Invocation::Show, .file = "[a,b]"}},
    {"SetAll",
     {"set", "CDI.asm", "--angles", Join(Repeated(32, " 10.5 ")), "--spark=66", "--rpm", Join(Repeated(31, "900")),
      "-o", "out.asm", "--table", "2"},
     {.command = Invocation::Set,
      .file = "CDI.asm",
      .table = "2",
      .angles = Repeated(32, "10.5"),
      .spark = "66",
      .speeds = Repeated(31, "900"),
      .output = "out.asm"}},
    {"AnglesWithoutSparkLookLikeOptions",
     {"set", "CDI.asm", "--angles", Join(Repeated(32, "-"))},
     {.command = Invocation::Set, .file = "CDI.asm", .angles = Repeated(32, "-")}},
    {"EmptyAngleKept",
     {"set", "CDI.asm", "--angles=" + Join(Repeated(31, "5")) + ","},
     {.command = Invocation::Set,
      .file = "CDI.asm",
      .angles =
          [] {
              auto angles = Repeated(31, "5");
              angles.push_back("");
              return angles;
          }()}},
    {"EmptySparkFailsOnlyAtTheSave",
     {"set", "CDI.asm", "--spark", ""},
     {.command = Invocation::Set, .file = "CDI.asm", .spark = ""}},
    {"LongOutputAndCsvFile",
     {"set", "CDI.asm", "--output=o.asm", "--csv", "t.csv"},
     {.command = Invocation::Set, .file = "CDI.asm", .output = "o.asm", .csvFile = "t.csv"}},
    {"DryRun",
     {"set", "CDI.asm", "--dry-run", "--language=en"},
     {.command = Invocation::Set, .file = "CDI.asm", .dryRun = true}},
    {"Diff",
     {"diff", "a.asm", "b.asm", "--sensor", "7", "--json"},
     {.command = Invocation::Diff, .file = "a.asm", .other = "b.asm", .sensor = "7", .json = true}},
    {"VerifyBesideTheSource", {"verify", "CDI.asm"}, {.command = Invocation::Verify, .file = "CDI.asm"}},
    {"VerifyWithImage",
     {"verify", "CDI.asm", "x.hex", "--json"},
     {.command = Invocation::Verify, .file = "CDI.asm", .other = "x.hex", .json = true}},
    {"Overview", {"--help"}, {}},
    {"HelpOfDiff", {"diff", "a", "-h"}, {.command = Invocation::Help, .topic = Invocation::Diff}},
    {"HelpCommandOfVerify", {"help", "verify"}, {.command = Invocation::Help, .topic = Invocation::Verify}},
    {"Version", {"--version"}, {.command = Invocation::Version}},
};

class Parse : public ::testing::TestWithParam<Parsed> {};

TEST_P(Parse, GivesTheInvocation) {
    EXPECT_EQ(Described(tc::cli::ParseArguments(GetParam().arguments)), Described(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(Cli, Parse, ::testing::ValuesIn(kParsed),
                         [](const auto& info) { return std::string(info.param.name); });

struct Refused {
    const char* name;
    std::vector<std::string> arguments;
    const char* said;  // the whole first line
};

void PrintTo(const Refused& r, std::ostream* os) { *os << r.name; }

const Refused kRefused[] = {
    {"SensorOutOfRange",
     {"show", "F", "--sensor", "100"},
     "timingcalc-cli: --sensor: must be a whole number from 0 to 99, not '100'"},
    {"TableOutOfRange", {"set", "F", "--table=4"}, "timingcalc-cli: --table: must be 1, 2 or 3, not '4'"},
    {"SparkNotDigits",
     {"set", "F", "--spark", "-6"},
     "timingcalc-cli: --spark: must be a whole number of microseconds, not '-6'"},
    {"LanguageUnknown",
     {"diff", "A", "B", "--language", "de"},
     "timingcalc-cli: --language: must be en or ru, not 'de'"},
    {"AnglesCounted",
     {"set", "F", "--angles", "1,2,3"},
     "timingcalc-cli: --angles: needs 32 comma-separated angles, got 3"},
    {"SpeedsCounted", {"set", "F", "--rpm", "1000"}, "timingcalc-cli: --rpm: needs 31 comma-separated speeds, got 1"},
    {"EmptyOutput", {"set", "F", "--output="}, "timingcalc-cli: --output: 1 required OUT missing"},
    {"EmptyImage", {"verify", "F", ""}, "timingcalc-cli: IMAGE: must not be empty"},
    {"Repeated", {"set", "F", "-o", "a", "--output", "b"}, "timingcalc-cli: --output given more than once"},
    {"RepeatedFlag", {"show", "F", "--json", "--json"}, "timingcalc-cli: --json given more than once"},
    {"FlagWithValue", {"set", "F", "--dry-run=no"}, "timingcalc-cli: --dry-run takes no value"},
    {"OptionOfAnotherCommand", {"verify", "F", "--table", "2"}, "timingcalc-cli: --table is not an option of verify"},
    {"UnknownOption", {"diff", "A", "B", "--quiet"}, "timingcalc-cli: unknown option '--quiet'"},
    {"ArgumentTooMany", {"diff", "A", "B", "C"}, "timingcalc-cli: unexpected argument 'C'"},
    {"SecondHelpTopic", {"help", "show", "set"}, "timingcalc-cli: unexpected argument 'set'"},
    {"UnknownCommand", {"shw", "F"}, "timingcalc-cli: unknown command 'shw'"},
};

class Refusal : public ::testing::TestWithParam<Refused> {};

// Three lines on standard error: what is wrong, the command's usage, where to read more.
TEST_P(Refusal, SaysWhatIsWrongInThreeLines) {
    const Ran ran = RunIn(GetParam().arguments);
    EXPECT_EQ(ran.status, 2);
    EXPECT_EQ(ran.out, "");
    const std::size_t first = ran.err.find('\n');
    EXPECT_EQ(ran.err.substr(0, first), GetParam().said);
    // The first line of that command's help, or of the overview.
    const std::string& name = GetParam().arguments.at(0);
    const std::vector<std::string> help =
        name == "help" || name == "shw" ? std::vector<std::string>{"--help"} : std::vector<std::string>{name, "--help"};
    const std::string usage = RunIn(help).out;
    EXPECT_EQ(ran.err.substr(first + 1, ran.err.find('\n', first + 1) - first), usage.substr(0, usage.find('\n') + 1));
    EXPECT_TRUE(ran.err.ends_with("\nTry 'timingcalc-cli --help' for more information.\n")) << ran.err;
    EXPECT_EQ(std::count(ran.err.begin(), ran.err.end(), '\n'), 3) << ran.err;
}

INSTANTIATE_TEST_SUITE_P(Cli, Refusal, ::testing::ValuesIn(kRefused),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Version, IsProjectVersion) {
    const Ran ran = RunIn({"--version"});
    EXPECT_EQ(ran.status, 0);
    EXPECT_EQ(ran.out, std::string("timingcalc-cli ") + TIMINGCALC_VERSION + "\n");
    EXPECT_EQ(ran.err, "");
}

struct JsonCase {
    const char* name;
    tc::cli::Json value;
    std::string text;
};

void PrintTo(const JsonCase& c, std::ostream* os) { *os << c.name; }

const JsonCase kJsonCases[] = {
    {"OrderAsBuilt", {{"z", 1}, {"a", -2}, {"m", nullptr}}, R"({"z": 1, "a": -2, "m": null})"},
    {"Nested",
     {{"rows", {tc::cli::Json{{"codes", {14, 11, nullptr}}, {"ok", true}}}},
      {"none", tc::cli::Json::array()},
      {"empty", tc::cli::Json::object()}},
     R"({"rows": [{"codes": [14, 11, null], "ok": true}], "none": [], "empty": {}})"},
    {"LargeAddress", {{"address", std::uint32_t{4294967295u}}}, R"({"address": 4294967295})"},
    {"Escapes", "a\"b\\c\td\x01\x1f\b\f\n\r", R"("a\"b\\c\td\u0001\u001f\b\f\n\r")"},
    {"DeleteAndCyrillicPass", "\x7f\xD0\x96", "\"\x7f\xD0\x96\""},
    {"FourByteCharacterPasses", "\xF0\x9F\x98\x80", "\"\xF0\x9F\x98\x80\""},
    {"ByteNotUtf8",
     "a\xFF"
     "b",
     "\"a\xEF\xBF\xBD"
     "b\""},
    // One U+FFFD for each byte, not one for the sequence.
    {"CutShortAtTheEnd", "x\xE2\x82", "\"x\xEF\xBF\xBD\xEF\xBF\xBD\""},
    {"CutShortBeforeAscii",
     "\xE2\x82"
     "A",
     "\"\xEF\xBF\xBD\xEF\xBF\xBD"
     "A\""},
    {"Surrogate", "\xED\xA0\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},
    {"Overlong", "\xC0\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},
    {"BeyondUnicode", "\xF4\x90\x80\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},
    {"InAKey", {{"k\xFF", 1}}, "{\"k\xEF\xBF\xBD\": 1}"},
};

class JsonText : public ::testing::TestWithParam<JsonCase> {};

TEST_P(JsonText, IsOneLineAsTheOutputsAlwaysWere) { EXPECT_EQ(tc::cli::OneLine(GetParam().value), GetParam().text); }

INSTANTIATE_TEST_SUITE_P(Cli, JsonText, ::testing::ValuesIn(kJsonCases),
                         [](const auto& info) { return std::string(info.param.name); });

// show and diff print angles as JSON strings: the text the grid shows, unchanged.
TEST(JsonText, EveryAngleOfEveryCodeAndSensorIsItsText) {
    for (int sensor = 0; sensor <= 99; ++sensor)
        for (int code = 0; code <= 255; ++code) {
            const std::string angle = tc::CodeToAngle(sensor, code, U'.');
            ASSERT_EQ(tc::cli::OneLine(angle), '"' + angle + '"') << "sensor " << sensor << ", code " << code;
        }
}

TEST(JsonText, NumbersReadAsTheWindowReadsThem) {
    EXPECT_EQ(tc::cli::OneLine(tc::cli::IntegerOrNull("66")), "66");
    EXPECT_EQ(tc::cli::OneLine(tc::cli::IntegerOrNull("")), "null");
    EXPECT_EQ(tc::cli::OneLine(tc::cli::IntegerOrNull("6x")), "null");
    EXPECT_EQ(tc::cli::OneLine(tc::cli::IntegerOrNull("-15")), "-15");
}

}  // namespace
}  // namespace cli
