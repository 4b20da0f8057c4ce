// End-to-end runs of timingcalc-cli on copies of the sample firmware.
#include <sys/stat.h>

#include "cli_support.h"

namespace cli {
namespace {

// The engine speeds that the sample's speed codes give, rows 1 to 32.
const std::vector<std::string> kSampleSpeeds = {"460",  "600",  "800",  "1000",  "1200",  "1400",  "1610",  "1800",
                                                "1990", "2250", "2490", "2730",  "3000",  "3260",  "3550",  "4040",
                                                "4340", "4880", "5100", "5580",  "5860",  "6510",  "6890",  "7320",
                                                "7810", "9010", "9770", "10650", "13020", "14650", "16740", "19530"};

// The 31 speeds of --rpm as the sample has them (rows 2 to 32).
std::vector<std::string> SampleRpm() { return {kSampleSpeeds.begin() + 1, kSampleSpeeds.end()}; }

// Table t of the sample as angle texts, ready for --angles.
std::vector<std::string> SampleAngles(int t) { return TableOf(Sample(), t).angles; }

class SampleCopy : public ::testing::Test {
protected:
    void SetUp() override { WriteFile(file, Sample()); }
    std::string File() const { return file.string(); }
    Folder folder;
    fs::path file = folder / "CDI.asm";
};

// --- show -------------------------------------------------------------------

struct GoldenCase {
    const char* name;
    std::vector<std::string> options;
    const char* expected;  // a file in tests/cli/expected; @FILE@ stands for the path
};

class ShowGolden : public SampleCopy, public ::testing::WithParamInterface<GoldenCase> {};

TEST_P(ShowGolden, PrintsTheTableAsExpected) {
    std::vector<std::string> arguments{"show", File()};
    arguments.insert(arguments.end(), GetParam().options.begin(), GetParam().options.end());
    const Result result = RunCli(arguments);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    // JSON doubles the backslashes of a Windows path.
    const bool json = std::string_view(GetParam().expected).ends_with(".json");
    EXPECT_EQ(result.out,
              ReplaceAll(Expected(GetParam().expected), "@FILE@", json ? ReplaceAll(File(), "\\", "\\\\") : File()));
}

INSTANTIATE_TEST_SUITE_P(Show, ShowGolden,
                         ::testing::Values(GoldenCase{"Text", {}, "show_sample.txt"},
                                           GoldenCase{"Json", {"--json"}, "show_sample.json"},
                                           GoldenCase{"JsonTable3Sensor35",
                                                      {"--table", "3", "--json", "--sensor", "35"},
                                                      "show_sample_table3_sensor35.json"},
                                           GoldenCase{"EqualsFormOfOptions",
                                                      {"--table=3", "--sensor=35", "--json"},
                                                      "show_sample_table3_sensor35.json"}),
                         [](const auto& info) { return std::string(info.param.name); });

// The angle column follows --table: each table's angles as its comments in the source give them.
class ShowTable : public SampleCopy, public ::testing::WithParamInterface<int> {};

TEST_P(ShowTable, AngleColumnIsTheChosenTable) {
    const int t = GetParam();
    const Result result = RunCli({"show", File(), "--table", std::to_string(t)});
    ASSERT_EQ(result.status, 0) << result.err;
    const std::vector<Row> rows = TableRows(result.out);
    ASSERT_EQ(rows.size(), 32u) << result.out;
    const std::string source = Sample();
    for (int row = 0; row < 32; ++row) {
        const std::size_t r = static_cast<std::size_t>(row);
        ASSERT_EQ(rows[r].size(), 5u) << result.out;
        EXPECT_EQ(rows[r][0], kSampleSpeeds[r]) << "row " << row + 1;
        for (int k = 1; k <= 3; ++k) EXPECT_EQ(rows[r][static_cast<std::size_t>(k)], TableOf(source, k).codes.at(r));
        EXPECT_EQ(rows[r][4], TableOf(source, t).angles.at(r)) << "row " << row + 1;
    }
}

INSTANTIATE_TEST_SUITE_P(Show, ShowTable, ::testing::Values(1, 2, 3));

#ifndef _WIN32
// Names that Windows does not allow in a path.
TEST(ShowJson, FileNameIsEscaped) {
    Folder folder;
    // Quotes, a backslash, a tab, a control character, Cyrillic, and a byte that is not UTF-8.
    const std::string name = "a\"b\\c\td\x01\xD0\x96\xFF";
    ASSERT_TRUE(fs::create_directory(folder / name));
    const fs::path file = folder / name / "CDI.asm";
    WriteFile(file, Sample());
    const Result result = RunCli({"show", file.string(), "--json"});
    EXPECT_EQ(result.status, 0) << result.err;
    const std::string escaped =
        ReplaceAll(folder.Path().string(), "\\", "\\\\") + "/a\\\"b\\\\c\\td\\u0001\xD0\x96\xEF\xBF\xBD/CDI.asm";
    EXPECT_TRUE(result.out.starts_with("{\"file\": \"" + escaped + "\", \"spark_us\": 66, ")) << result.out;
}
#endif

// A path as Windows users have them: a drive letter, backslashes, Cyrillic.
TEST(ShowJson, NativePathWithCyrillicIsReadAndEscaped) {
    Folder folder;
    const fs::path dir = folder.Path() / fs::path(u8"\u043F\u0440\u043E\u0448\u0438\u0432\u043A\u0430");
    ASSERT_TRUE(fs::create_directory(dir));
    WriteFile(dir / "CDI.asm", Sample());
    const std::u8string wide = (dir / "CDI.asm").u8string();
    const std::string path(reinterpret_cast<const char*>(wide.data()), wide.size());
#ifdef _WIN32
    EXPECT_EQ(path.substr(1, 2), ":\\") << "a drive letter and a backslash";
#endif
    const Result result = RunCli({"show", path, "--json"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(result.out.starts_with("{\"file\": \"" + ReplaceAll(path, "\\", "\\\\") + "\", \"spark_us\": 66, "))
        << result.out;
}

// --- set --------------------------------------------------------------------

struct RoundTrip {
    const char* name;
    std::vector<std::string> options;
};

class SetUnchanged : public SampleCopy, public ::testing::WithParamInterface<RoundTrip> {};

// Storing back what was read, with any table in the angle column, gives the file byte for byte.
TEST_P(SetUnchanged, RewritesTheSameBytes) {
    std::vector<std::string> arguments{"set", File()};
    arguments.insert(arguments.end(), GetParam().options.begin(), GetParam().options.end());
    const Result result = RunCli(arguments);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(ReadFile(file), Sample());
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"CDI.asm"});
}

INSTANTIATE_TEST_SUITE_P(Set, SetUnchanged,
                         ::testing::Values(RoundTrip{"NoOptions", {}}, RoundTrip{"Table2", {"--table", "2"}},
                                           RoundTrip{"Table3", {"--table", "3"}},
                                           RoundTrip{"SameAnglesSparkAndRpm",
                                                     {"--table", "2", "--angles", Join(SampleAngles(2)), "--spark",
                                                      "66", "--rpm", Join(SampleRpm())}}),
                         [](const auto& info) { return std::string(info.param.name); });

struct AngleEdit {
    const char* name;
    int table;
    int row;
    const char* angle;    // typed
    const char* code;     // written
    const char* comment;  // the angle of the written code
};

class SetAngle : public SampleCopy, public ::testing::WithParamInterface<AngleEdit> {};

// One angle changed, saved to OUT: only that entry's two lines differ, FILE stays, and show reads it back.
TEST_P(SetAngle, ChangesThatEntryInOutOnly) {
    const AngleEdit& edit = GetParam();
    std::vector<std::string> angles = SampleAngles(edit.table);
    angles[static_cast<std::size_t>(edit.row - 1)] = edit.angle;
    const fs::path out = folder / "out.asm";
    const Result result =
        RunCli({"set", File(), "--table", std::to_string(edit.table), "--angles", Join(angles), "-o", out.string()});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(ReadFile(file), Sample());
    EXPECT_EQ(ReadFile(out), WithEntry(Sample(), edit.table, edit.row, edit.code, edit.comment));

    const Result shown = RunCli({"show", out.string(), "--table", std::to_string(edit.table)});
    ASSERT_EQ(shown.status, 0) << shown.err;
    const std::vector<Row> rows = TableRows(shown.out);
    ASSERT_EQ(rows.size(), 32u);
    const Row& row = rows[static_cast<std::size_t>(edit.row - 1)];
    ASSERT_EQ(row.size(), 5u) << shown.out;
    EXPECT_EQ(row[static_cast<std::size_t>(edit.table)], edit.code);
    EXPECT_EQ(row[4], edit.comment);
}

INSTANTIATE_TEST_SUITE_P(Set, SetAngle,
                         ::testing::Values(AngleEdit{"Table1FirstRow", 1, 1, "15", "7", "15.1"},
                                           AngleEdit{"Table1LastRowNoSpark", 1, 32, "-", "180", "-"},
                                           AngleEdit{"Table2AboveSensorRounded", 2, 16, "30", "241", "29.8"},
                                           AngleEdit{"Table3LowestAngle", 3, 5, "-105.3", "179", "-105.3"},
                                           AngleEdit{"Table3HighestAngle", 3, 20, " 71.8 ", "181", "71.8"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SampleCopy, SetSparkAndRpmThenShow) {
    std::vector<std::string> rpm = SampleRpm();
    rpm[0] = "650";  // row 2
    const Result result = RunCli({"set", File(), "--spark", "72", "--rpm", Join(rpm)});
    ASSERT_EQ(result.status, 0) << result.err;
    std::string expected = ReplaceOnce(Sample(), "cpi R18, 11\t\t;66mks", "cpi R18, 12\t\t;72mks");
    expected = ReplaceOnce(expected, "cpi R19, 11\t\t;66mks", "cpi R19, 12\t\t;72mks");
    expected = ReplaceOnce(expected, "\ncpi R21, 60\t", "\ncpi R21, 75\t");
    EXPECT_EQ(ReadFile(file), expected);

    const Result shown = RunCli({"show", File(), "--json"});
    ASSERT_EQ(shown.status, 0) << shown.err;
    EXPECT_NE(shown.out.find("\"spark_us\": 72, "), std::string::npos) << shown.out;
    EXPECT_NE(shown.out.find("{\"rpm\": 460, \"codes\": [14, 11, 17], \"angle\": \"10.2\"}, "
                             "{\"rpm\": 650, \"codes\": [14, 11, 17], \"angle\": \"10.2\"}, "
                             "{\"rpm\": 800, "),
              std::string::npos)
        << shown.out;
}

// The sensor angle applies to reading and storing alike: the codes stay, every comment moves with it.
TEST_F(SampleCopy, SetWithAnotherSensorKeepsTheCodes) {
    const fs::path out = folder / "out.asm";
    const Result result = RunCli({"set", File(), "--sensor", "35", "--table", "3", "-o", out.string()});
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string written = ReadFile(out);
    for (int t = 1; t <= 3; ++t) EXPECT_EQ(TableOf(written, t).codes, TableOf(Sample(), t).codes) << "table " << t;
    EXPECT_EQ(TableOf(written, 1).angles.at(0), "25.2");   // code 14
    EXPECT_EQ(TableOf(written, 2).angles.at(11), "36.4");  // code 253
    EXPECT_EQ(TableOf(written, 3).angles.at(28), "35");    // code 0
}

// --- refused and failed saves ---------------------------------------------------

struct Refusal {
    const char* name;
    std::vector<std::string> options;
    const char* message;  // the window's text, with its box caption
};

std::vector<std::string> AnglesWith(std::size_t row, const std::string& angle) {
    std::vector<std::string> angles = SampleAngles(1);
    angles[row - 1] = angle;
    return {"--angles", Join(angles)};
}

std::vector<std::string> RpmWith(std::size_t row, const std::string& speed) {
    std::vector<std::string> rpm = SampleRpm();
    rpm[row - 2] = speed;
    return {"--rpm", Join(rpm)};
}

class SetRefused : public SampleCopy, public ::testing::WithParamInterface<Refusal> {};

TEST_P(SetRefused, LeavesFileAndOutAlone) {
    for (const bool toOut : {false, true}) {
        SCOPED_TRACE(toOut ? "with -o" : "over FILE");
        const fs::path out = folder / "out.asm";
        std::vector<std::string> arguments{"set", File()};
        arguments.insert(arguments.end(), GetParam().options.begin(), GetParam().options.end());
        if (toOut) arguments.insert(arguments.end(), {"-o", out.string()});
        const Result result = RunCli(arguments);
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, std::string(GetParam().message) + "\ntimingcalc-cli: nothing written\n");
        EXPECT_EQ(ReadFile(file), Sample());
        EXPECT_EQ(folder.Names(), std::vector<std::string>{"CDI.asm"});
    }
}

INSTANTIATE_TEST_SUITE_P(
    Set, SetRefused,
    ::testing::Values(
        Refusal{"AngleBelowRange", AnglesWith(5, "-106"), "Warning: Over range 125\xC2\xB0 below the sensor"},
        Refusal{"AngleAboveRange", AnglesWith(20, "73"), "Warning: Over range 52\xC2\xB0 above the sensor"},
        Refusal{"Rpm459", RpmWith(2, "459"), "Warning: RPM not lower 460/min"},
        Refusal{"Rpm20001", RpmWith(32, "20001"), "Warning: RPM over range 20000/min"},
        Refusal{"EmptyProbeAngle", AnglesWith(11, ""), "Warning: Missing data"},
        Refusal{"AngleNotANumber", AnglesWith(3, "1.2.3"), "Error: '1.2.3' is not a valid floating point value."},
        Refusal{"RpmNotANumber", RpmWith(7, "12x"), "Error: '12x' is not a valid integer value."},
        Refusal{"EmptySpark", {"--spark", ""}, "Error: '' is not a valid integer value."}),
    [](const auto& info) { return std::string(info.param.name); });

// The language of the messages is the caller's choice; the captions stay as they are.
TEST_F(SampleCopy, MessagesInTheLanguageAsked) {
    const struct {
        const char* name;
        std::vector<std::string> options;
        const char* said;
    } cases[] = {
        {"english by default", {}, "Warning: Over range 52\xC2\xB0 above the sensor"},
        {"english", {"--language", "en"}, "Warning: Over range 52\xC2\xB0 above the sensor"},
        {"russian", {"--language=ru"}, "Warning: Превышен предел 52° выше датчика"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> arguments{"set", File()};
        const auto angles = AnglesWith(20, "73");
        arguments.insert(arguments.end(), angles.begin(), angles.end());
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        const Result result = RunCli(arguments);
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err, std::string(c.said) + "\ntimingcalc-cli: nothing written\n");
        EXPECT_EQ(ReadFile(file), Sample());
    }
    const Result missing = RunCli({"show", (folder / "none.asm").string(), "--language", "ru"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.err.starts_with("Error: Ошибка доступа к файлу ")) << missing.err;
}

TEST_F(SampleCopy, SetWithUnwritableOutReportsIt) {
    const fs::path out = folder / "missing" / "out.asm";
    const Result result = RunCli({"set", File(), "-o", out.string()});
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(result.err.starts_with("Error: Cannot create file \"" + out.string() + "\". ")) << result.err;
    EXPECT_EQ(ReadFile(file), Sample());
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"CDI.asm"});
}

// Root may write any file: the program runs without that power then, as a user
// would. On Windows the mode becomes the read-only attribute.
std::vector<std::string> AsAUser() {
    if (!RunsAsRoot()) return {};
    return {"setpriv", "--inh-caps=-dac_override", "--bounding-set=-dac_override", "--"};
}

TEST_F(SampleCopy, SetOverAReadOnlyFileIsRefused) {
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read);
    const Result result = RunCli({"set", File(), "--spark", "72"}, AsAUser());
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(result.err.starts_with("Error: Cannot create file \"" + File() + "\". ")) << result.err;
    EXPECT_EQ(ReadFile(file), Sample());
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"CDI.asm"});
}

#ifndef _WIN32
TEST_F(SampleCopy, SetKeepsPermissionsAndFollowsALink) {
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
    const fs::path link = folder / "link.asm";
    fs::create_symlink("CDI.asm", link);
    const Result result = RunCli({"set", link.string(), "--spark", "72"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_NE(ReadFile(file).find("cpi R18, 12\t\t;72mks"), std::string::npos);
    EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"CDI.asm", "link.asm"}));
}
#endif

TEST_F(SampleCopy, SetOverAnExistingOutReplacesIt) {
    const fs::path out = folder / "out.asm";
    WriteFile(out, "old contents\r\n");
    fs::permissions(out, fs::perms::owner_read | fs::perms::owner_write);
    const Result result = RunCli({"set", File(), "--output", out.string()});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(ReadFile(out), Sample());
#ifndef _WIN32
    EXPECT_EQ(fs::status(out).permissions(), fs::perms::owner_read | fs::perms::owner_write);
#endif
}

// --- sources that cannot be read completely ---------------------------------------

struct BadSource {
    const char* name;
    enum Kind { Absent, Directory, Present } kind;
    std::string bytes;    // of a Present one
    const char* message;  // @FILE@ stands for the path
    bool shows;           // show still prints what it read
};

class LoadFails : public ::testing::TestWithParam<BadSource> {
protected:
    void SetUp() override {
        if (GetParam().kind == BadSource::Directory) fs::create_directory(file);
        if (GetParam().kind == BadSource::Present) WriteFile(file, GetParam().bytes);
    }
    std::string Message() const { return ReplaceAll(GetParam().message, "@FILE@", file.string()) + "\n"; }
    Folder folder;
    fs::path file = folder / "CDI.asm";
};

TEST_P(LoadFails, ShowSaysSoAndExits1) {
    const Result result = RunCli({"show", file.string(), "--json"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, Message());
    EXPECT_EQ(result.out.starts_with("{\"file\": "), GetParam().shows) << result.out;
}

TEST_P(LoadFails, SetWritesNothing) {
    const fs::path out = folder / "out.asm";
    const std::vector<std::string> names = folder.Names();
    const Result result = RunCli({"set", file.string(), "-o", out.string()});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, Message() + "timingcalc-cli: nothing written\n");
    EXPECT_EQ(folder.Names(), names);
    if (GetParam().kind == BadSource::Present) {
        EXPECT_EQ(ReadFile(file), GetParam().bytes);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Load, LoadFails,
    ::testing::Values(BadSource{"Missing", BadSource::Absent, "", "Error: No file found @FILE@", false},
                      BadSource{"Directory", BadSource::Directory, "", "Error: No file found @FILE@", false},
                      BadSource{"Empty", BadSource::Present, "", "Warning: The file is empty: @FILE@", false},
                      BadSource{"NoTable3", BadSource::Present, ReplaceOnce(Sample(), "FuozTable3:", "FuozTableX:"),
                                "Warning: Not found in the source: \"FuozTable3:\"", true},
                      BadSource{"NoSparkBlock", BadSource::Present, ReplaceOnce(Sample(), ";\xE1\xEB\xEE\xEA", ";xxxx"),
                                "Warning: Not found in the source: \";\xD0\xB1\xD0\xBB\xD0\xBE\xD0\xBA "
                                "\xD0\xB7\xD0\xB0\xD0\xB4\xD0\xB5\xD1\x80\xD0\xB6\xD0\xBA\xD0\xB8 "
                                "\xD0\xB8\xD1\x81\xD0\xBA\xD1\x80\xD1\x8B\"",
                                true}),
    [](const auto& info) { return std::string(info.param.name); });

// What a partly read source gives: the tables before the gap, null for what is missing.
TEST(LoadPartly, ShowPrintsNullForTheCellsNotRead) {
    Folder folder;
    const fs::path file = folder / "CDI.asm";
    WriteFile(file, ReplaceOnce(Sample(), "FuozTable3:", "FuozTableX:"));
    const Result result = RunCli({"show", file.string(), "--json", "--table", "3"});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.out.find("\"rows\": [{\"rpm\": 460, \"codes\": [14, 11, null], \"angle\": null}, "),
              std::string::npos)
        << result.out;
}

// --- usage ------------------------------------------------------------------------

// The usage line that a command's help begins with, and that its usage errors print.
std::string UsageLineOf(const std::string& command) {
    std::vector<std::string> arguments{"--help"};
    if (!command.empty()) arguments.insert(arguments.begin(), command);
    const std::string help = RunCli(arguments).out;
    return help.substr(0, help.find('\n'));
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

struct Misuse {
    const char* name;
    std::vector<std::string> arguments;  // @FILE@ stands for the sample copy
    const char* command;                 // whose usage line follows the message; "" for the program's
    const char* said;                    // part of the message
};

std::vector<std::string> Items(std::size_t count, const std::string& item) {
    return std::vector<std::string>(count, item);
}

class BadUsage : public SampleCopy, public ::testing::WithParamInterface<Misuse> {};

TEST_P(BadUsage, Exits2WithTheMessageAndTheCommandsUsageAndTouchesNothing) {
    std::vector<std::string> arguments;
    for (const auto& argument : GetParam().arguments) arguments.push_back(argument == "@FILE@" ? File() : argument);
    const Result result = RunCli(arguments);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    const std::vector<std::string> lines = Lines(result.err);
    ASSERT_EQ(lines.size(), 3u) << result.err;
    EXPECT_TRUE(lines[0].starts_with("timingcalc-cli: ")) << lines[0];
    EXPECT_NE(lines[0].find(GetParam().said), std::string::npos) << lines[0];
    const std::string command = GetParam().command;
    EXPECT_TRUE(lines[1].starts_with("Usage: timingcalc-cli " + (command.empty() ? "COMMAND" : command) + " "))
        << lines[1];
    EXPECT_EQ(lines[1], UsageLineOf(command));
    EXPECT_EQ(lines[2], "Try 'timingcalc-cli --help' for more information.");
    EXPECT_EQ(ReadFile(file), Sample());
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"CDI.asm"});
}

INSTANTIATE_TEST_SUITE_P(
    Usage, BadUsage,
    ::testing::Values(
        Misuse{"NoCommand", {}, "", "no command given"},
        Misuse{"UnknownCommand", {"print", "@FILE@"}, "", "unknown command 'print'"},
        Misuse{"OptionBeforeTheCommand", {"--json", "show", "@FILE@"}, "", "unknown option '--json'"},
        Misuse{"HelpOfAnUnknownCommand", {"help", "print"}, "", "unknown command 'print'"},
        Misuse{"NoFile", {"show"}, "show", "FILE"}, Misuse{"NoFileForSet", {"set", "--spark", "72"}, "set", "FILE"},
        Misuse{"EmptyFile", {"show", ""}, "show", "FILE"},
        Misuse{"TwoFiles", {"show", "@FILE@", "other.asm"}, "show", "'other.asm'"},
        Misuse{"UnknownOption", {"show", "@FILE@", "--verbose"}, "show", "unknown option '--verbose'"},
        Misuse{"Table0", {"show", "@FILE@", "--table", "0"}, "show", "--table"},
        Misuse{"Table4", {"set", "@FILE@", "--table", "4"}, "set", "--table"},
        Misuse{"Table12", {"show", "@FILE@", "--table", "12"}, "show", "--table"},
        Misuse{"Sensor100", {"show", "@FILE@", "--sensor", "100"}, "show", "--sensor"},
        Misuse{"SensorNegative", {"set", "@FILE@", "--sensor", "-5"}, "set", "--sensor"},
        Misuse{"SensorNotANumber", {"show", "@FILE@", "--sensor", "2x"}, "show", "--sensor"},
        Misuse{"SensorEmpty", {"show", "@FILE@", "--sensor="}, "show", "--sensor"},
        Misuse{"SensorWithoutValue", {"show", "@FILE@", "--sensor"}, "show", "--sensor"},
        Misuse{"SensorTwice", {"show", "@FILE@", "--sensor", "20", "--sensor", "30"}, "show", "more than once"},
        Misuse{"SparkNegative", {"set", "@FILE@", "--spark", "-6"}, "set", "--spark"},
        Misuse{"SparkWithPlus", {"set", "@FILE@", "--spark", "+66"}, "set", "--spark"},
        Misuse{"SparkNotANumber", {"set", "@FILE@", "--spark", "6x"}, "set", "--spark"},
        Misuse{"SparkWithSpace", {"set", "@FILE@", "--spark", " 66"}, "set", "--spark"},
        Misuse{"JsonWithValue", {"show", "@FILE@", "--json=yes"}, "show", "--json takes no value"},
        Misuse{"JsonForSet", {"set", "@FILE@", "--json"}, "set", "--json is not an option of set"},
        Misuse{"OutputForShow", {"show", "@FILE@", "-o", "out.asm"}, "show", "-o is not an option of show"},
        Misuse{"AnglesForShow", {"show", "@FILE@", "--angles", Join(Items(32, "20"))}, "show", "--angles"},
        Misuse{"EmptyOutput", {"set", "@FILE@", "-o", ""}, "set", "--output"},
        Misuse{"Angles31", {"set", "@FILE@", "--angles", Join(Items(31, "20"))}, "set", "got 31"},
        Misuse{"Angles33", {"set", "@FILE@", "--angles", Join(Items(33, "20"))}, "set", "got 33"},
        Misuse{"Rpm30", {"set", "@FILE@", "--rpm", Join(Items(30, "1000"))}, "set", "got 30"},
        Misuse{"Rpm32", {"set", "@FILE@", "--rpm", Join(Items(32, "1000"))}, "set", "got 32"},
        Misuse{"RpmWithoutValue", {"set", "@FILE@", "--rpm"}, "set", "--rpm"},
        Misuse{"LanguageUnknown", {"show", "@FILE@", "--language", "de"}, "show", "--language"},
        Misuse{"JsonAndCsv", {"show", "@FILE@", "--json", "--csv"}, "show", "--json"},
        Misuse{"CsvFileForShow", {"show", "@FILE@", "--csv=t.csv"}, "show", "--csv takes no value"},
        Misuse{
            "CsvWithAngles", {"set", "@FILE@", "--csv", "t.csv", "--angles", Join(Items(32, "20"))}, "set", "--angles"},
        Misuse{"CsvWithRpm", {"set", "@FILE@", "--csv", "t.csv", "--rpm", Join(Items(31, "1000"))}, "set", "--rpm"},
        Misuse{"CsvWithoutFile", {"set", "@FILE@", "--csv"}, "set", "--csv"},
        Misuse{"DryRunWithOutput", {"set", "@FILE@", "--dry-run", "-o", "out.asm"}, "set", "--dry-run"},
        Misuse{"DryRunForShow", {"show", "@FILE@", "--dry-run"}, "show", "--dry-run is not an option of show"},
        Misuse{"DiffWithOneFile", {"diff", "@FILE@"}, "diff", "B"},
        Misuse{"DiffWithThreeFiles", {"diff", "@FILE@", "@FILE@", "third.asm"}, "diff", "'third.asm'"},
        Misuse{"TableForDiff", {"diff", "@FILE@", "@FILE@", "--table", "2"}, "diff", "--table is not an option"},
        Misuse{"VerifyWithThreeFiles", {"verify", "@FILE@", "a.hex", "b.hex"}, "verify", "'b.hex'"},
        Misuse{"SensorForVerify", {"verify", "@FILE@", "--sensor", "20"}, "verify", "--sensor is not an option"},
        Misuse{"VersionAfterACommand", {"show", "@FILE@", "--version"}, "show", "unknown option '--version'"},
        Misuse{"LanguageUpperCase", {"set", "@FILE@", "--language=RU"}, "set", "--language"}),
    [](const auto& info) { return std::string(info.param.name); });

struct HelpCase {
    const char* name;
    std::vector<std::string> arguments;
    const char* command;  // whose help is printed; "" for the overview
};

// What each help names, and what only the others do.
struct HelpContent {
    const char* command;
    std::vector<const char*> has;
    std::vector<const char*> lacks;
};

const HelpContent kHelpContents[] = {
    {"",
     {"show FILE", "set FILE", "diff A B", "verify SOURCE [IMAGE]", "--language L", "-h, --help", "--version",
      "Exit status", "\n  0  ", "\n  1  ", "\n  2  "},
     {"--angles", "--table T"}},
    {"show",
     {"--sensor S", "--table T", "--json", "--csv", "--language L", "-h, --help", "Exit status", "\n  2  bad usage"},
     {"--angles", "--dry-run", "--version", "Usage: timingcalc-cli set"}},
    {"set",
     {"--sensor S", "--table T", "--angles LIST", "--csv CSV", "--spark US", "--rpm LIST", "-o, --output OUT",
      "--dry-run", "--language L", "-h, --help", "Exit status"},
     {"--json", "--version", "Usage: timingcalc-cli show"}},
    {"diff",
     {"--sensor S", "--json", "--language L", "-h, --help", "Exit status", "\n  1  A and B differ"},
     {"--table", "--angles", "--csv"}},
    {"verify", {"--json", "--language L", "-h, --help", "Exit status"}, {"--sensor", "--table", "--angles"}},
};

class Help : public ::testing::TestWithParam<HelpCase> {};

TEST_P(Help, PrintsThatHelpAloneOnStandardOutput) {
    const Result result = RunCli(GetParam().arguments);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
    const std::string command = GetParam().command;
    EXPECT_TRUE(result.out.starts_with("Usage: timingcalc-cli " + (command.empty() ? "COMMAND" : command) + " "))
        << result.out;
    for (const HelpContent& content : kHelpContents) {
        if (content.command != command) continue;
        for (const char* text : content.has) EXPECT_NE(result.out.find(text), std::string::npos) << text;
        for (const char* text : content.lacks) EXPECT_EQ(result.out.find(text), std::string::npos) << text;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Usage, Help,
    ::testing::Values(HelpCase{"LongOption", {"--help"}, ""}, HelpCase{"ShortOption", {"-h"}, ""},
                      HelpCase{"Command", {"help"}, ""}, HelpCase{"ShowLong", {"show", "--help"}, "show"},
                      HelpCase{"ShowAfterItsFile", {"show", "CDI.asm", "-h"}, "show"},
                      HelpCase{"HelpShow", {"help", "show"}, "show"},
                      HelpCase{"LongOptionThenSet", {"--help", "set"}, "set"},
                      HelpCase{"SetAfterItsOptions", {"set", "CDI.asm", "--spark", "72", "--help"}, "set"},
                      HelpCase{"SetWithoutFile", {"set", "-h"}, "set"}, HelpCase{"Diff", {"diff", "--help"}, "diff"},
                      HelpCase{"VerifyWithImage", {"verify", "CDI.asm", "CDI.hex", "--help"}, "verify"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Version, IsTheProgramsNameAndVersionOnStandardOutput) {
    const Result result = RunCli({"--version"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, "timingcalc-cli " TIMINGCALC_VERSION "\n");
}

}  // namespace
}  // namespace cli
