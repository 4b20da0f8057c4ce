#include "cli/options.h"

#include <map>
#include <set>
#include <string_view>

#include "cli/fields.h"

namespace tc::cli {

const char* const kUsage =
    R"(Usage:
  timingcalc-cli show FILE [--sensor S] [--table T] [--json | --csv] [--language L]
  timingcalc-cli set FILE [--sensor S] [--table T] [--angles LIST | --csv CSV]
                          [--spark US] [--rpm LIST] [-o OUT | --dry-run] [--language L]
  timingcalc-cli diff A B [--sensor S] [--json] [--language L]
  timingcalc-cli verify SOURCE [IMAGE] [--json] [--language L]
  timingcalc-cli --help

Reads and rewrites the advance tables of a firmware source (CDI.asm) exactly
as the window's "File" and "Save to file" buttons do.

Commands:
  show  Opens FILE with the sensor angle S and table T, and prints the spark
        duration in microseconds, whether the adjust resistor is enabled, and
        the 32 rows: engine speed, the codes of tables 1 to 3 and the angle of
        table T. An empty cell is printed as "?" (null in JSON).
  set   Opens FILE as show does, puts in what the options give, then saves the
        three tables, the engine speeds and the spark duration: to OUT when
        given, leaving FILE untouched, otherwise over FILE. Without --angles
        table T is stored back as it was read.
  diff  Opens A and B and prints only what differs: the spark duration, the
        engine speeds, and each table entry with its row, speed, code and
        angle for the sensor angle S.
  verify
        Reads SOURCE as show does and the Intel HEX IMAGE (by default the
        .hex beside SOURCE with its base name), and tells for the spark
        constants, the 31 speed constants and the 96 table entries whether
        the image holds the value the source says, holds another, or lacks
        it, with the reason where it is known.

Options:
  --sensor S     sensor angle in whole degrees, 0 to 99 (default 20); the angles
                 of --angles and of the output are relative to it
  --table T      the table in the angle column: 1, 2 or 3 (default 1)
  --json         show, diff: print one JSON object instead of the text
  --csv          show: print the 32 rows as a spreadsheet: rpm, the three codes
                 and the angle of table T
  --csv CSV      set: take the angles of table T, and the speeds of rows 2 to 32
                 where the file has them, from a spreadsheet as show --csv
                 writes it, or from one column of 32 angles; comma or
                 semicolon separated, "." or "," decimals
  --angles LIST  set: 32 comma-separated angles of table T for rows 1 to 32,
                 "." as the decimal separator, "-" for no spark
  --spark US     set: the spark duration, a whole number of microseconds
  --rpm LIST     set: 31 comma-separated engine speeds for rows 2 to 32
                 (row 1 is always 460), each 460 to 20000
  -o, --output OUT
                 set: write the result to OUT instead of FILE
  --dry-run      set: print the lines the save would change, as a unified
                 diff, and write nothing; standard error tells how many more
                 lines would only get CR LF as their line break
  --language L   the language of the messages: en (default) or ru
  -h, --help     print this text

Options may also be written as --option=VALUE; "--" ends the options.
Messages are printed on standard error, with the window's texts.

Exit status:
  0  done; diff: A and B hold the same values
  1  FILE could not be read completely (no access, empty, an item missing,
     a text that does not convert), or the save was refused or failed.
     show still prints what it read; set writes nothing, neither FILE nor OUT.
     diff: A and B differ
     verify: an item differs or is not in the image
  2  bad usage; diff: A or B could not be read completely; verify: the
     source does not read completely, or the image is missing or damaged
)";

namespace {

std::vector<std::string> SplitList(std::string_view option, std::string_view list, std::size_t count,
                                   std::string_view what) {
    std::vector<std::string> items;
    std::size_t start = 0;
    while (true) {
        const auto comma = list.find(',', start);
        items.push_back(Trimmed(list.substr(start, comma == std::string_view::npos ? comma : comma - start)));
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    if (items.size() != count)
        throw UsageError(std::string(option) + " needs " + std::to_string(count) + " comma-separated " +
                         std::string(what) + ", got " + std::to_string(items.size()));
    return items;
}

// What an option of a command is: a flag, or one that takes a value.
enum class Kind { Flag, Value };
using OptionTable = std::map<std::string, Kind>;

const OptionTable& OptionsOf(Invocation::Command command) {
    static const OptionTable kShow = {{"--sensor", Kind::Value},
                                      {"--table", Kind::Value},
                                      {"--json", Kind::Flag},
                                      {"--csv", Kind::Flag},
                                      {"--language", Kind::Value}};
    static const OptionTable kSet = {{"--sensor", Kind::Value}, {"--table", Kind::Value},  {"--angles", Kind::Value},
                                     {"--spark", Kind::Value},  {"--rpm", Kind::Value},    {"--output", Kind::Value},
                                     {"--csv", Kind::Value},    {"--dry-run", Kind::Flag}, {"--language", Kind::Value}};
    static const OptionTable kDiff = {{"--sensor", Kind::Value}, {"--json", Kind::Flag}, {"--language", Kind::Value}};
    static const OptionTable kVerify = {{"--json", Kind::Flag}, {"--language", Kind::Value}};
    switch (command) {
        case Invocation::Set: return kSet;
        case Invocation::Diff: return kDiff;
        case Invocation::Verify: return kVerify;
        default: return kShow;
    }
}

const char* NameOf(Invocation::Command command) {
    switch (command) {
        case Invocation::Set: return "set";
        case Invocation::Diff: return "diff";
        case Invocation::Verify: return "verify";
        default: return "show";
    }
}

// The command, or a help request anywhere before "--".
bool ReadCommand(const std::vector<std::string>& arguments, Invocation& invocation) {
    for (const auto& argument : arguments) {
        if (argument == "--") break;
        if (argument == "--help" || argument == "-h") return false;
    }
    if (arguments.empty()) throw UsageError("no command given");
    const std::string& command = arguments.front();
    if (command == "help") return false;
    if (command == "show")
        invocation.command = Invocation::Show;
    else if (command == "set")
        invocation.command = Invocation::Set;
    else if (command == "diff")
        invocation.command = Invocation::Diff;
    else if (command == "verify")
        invocation.command = Invocation::Verify;
    else
        throw UsageError("unknown command '" + command + "'");
    return true;
}

// The option's long name, refused when it does not belong to the command.
std::string OptionName(const std::string& argument, const std::string& name, Invocation::Command command) {
    std::string longName = name == "-o" ? "--output" : name;
    if (OptionsOf(command).contains(longName)) return longName;
    for (const auto other : {Invocation::Show, Invocation::Set, Invocation::Diff, Invocation::Verify})
        if (OptionsOf(other).contains(longName)) throw UsageError(argument + " is not an option of " + NameOf(command));
    throw UsageError("unknown option '" + argument + "'");
}

void ApplyValue(Invocation& invocation, const std::string& name, const std::string& value) {
    if (name == "--sensor") {
        // The combo box takes at most two digits.
        if (!IsDigits(value) || value.size() > 2)
            throw UsageError("--sensor must be a whole number from 0 to 99, not '" + value + "'");
        invocation.sensor = value;
    } else if (name == "--table") {
        if (value != "1" && value != "2" && value != "3")
            throw UsageError("--table must be 1, 2 or 3, not '" + value + "'");
        invocation.table = value;
    } else if (name == "--angles") {
        invocation.angles = SplitList(name, value, kAngleCount, "angles");
    } else if (name == "--rpm") {
        invocation.speeds = SplitList(name, value, kSpeedCount, "speeds");
    } else if (name == "--spark") {
        // What the window's box can hold: digits. An empty one fails at the save, as there.
        if (!value.empty() && !IsDigits(value))
            throw UsageError("--spark must be a whole number of microseconds, not '" + value + "'");
        invocation.spark = value;
    } else if (name == "--language") {
        if (value != "en" && value != "ru") throw UsageError("--language must be en or ru, not '" + value + "'");
        invocation.language = value == "ru" ? 0 : 1;
    } else if (value.empty()) {
        throw UsageError(name + " needs a file name");
    } else {
        (name == "--output" ? invocation.output : invocation.csvFile) = value;
    }
}

void ApplyFlag(Invocation& invocation, const std::string& name) {
    if (name == "--json") invocation.json = true;
    if (name == "--csv") invocation.csv = true;
    if (name == "--dry-run") invocation.dryRun = true;
}

// The files a command names: one, two for diff, one or two for verify.
void TakeFiles(Invocation& invocation, const std::vector<std::string>& files) {
    const bool diff = invocation.command == Invocation::Diff;
    const bool verify = invocation.command == Invocation::Verify;
    const std::size_t most = diff || verify ? 2 : 1;
    if (files.size() > most)
        throw UsageError("more than " + std::string(most == 2 ? "two files" : "one FILE") + " given: '" +
                         files[most - 1] + "' and '" + files[most] + "'");
    if (files.empty() || (diff && files.size() < 2))
        throw UsageError(diff ? "diff needs two files, A and B" : "FILE is missing");
    for (const auto& file : files)
        if (file.empty()) throw UsageError("FILE must not be empty");
    invocation.file = files[0];
    // Left empty, verify's image is the one beside the source.
    if (files.size() == 2) invocation.other = files[1];
}

// Options that cannot go together.
void CheckCombination(const Invocation& invocation) {
    if (invocation.json && invocation.csv) throw UsageError("--json and --csv cannot go together");
    if (invocation.csvFile && (invocation.angles || invocation.speeds))
        throw UsageError("--csv gives the angles and speeds; it cannot go with --angles or --rpm");
    if (invocation.dryRun && invocation.output) throw UsageError("--dry-run writes nothing; -o cannot go with it");
}

}  // namespace

Invocation ParseArguments(const std::vector<std::string>& arguments) {
    Invocation invocation;
    if (!ReadCommand(arguments, invocation)) return invocation;
    std::set<std::string> given;
    std::vector<std::string> files;
    bool optionsEnded = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument == "-" || argument.empty() || argument[0] != '-') {
            files.push_back(argument);
            continue;
        }
        optionsEnded = argument == "--";
        if (optionsEnded) continue;
        const auto equals = argument.starts_with("--") ? argument.find('=') : std::string::npos;
        const std::string name = OptionName(argument, argument.substr(0, equals), invocation.command);
        if (!given.insert(name).second) throw UsageError(name + " given more than once");
        if (OptionsOf(invocation.command).at(name) == Kind::Flag) {
            if (equals != std::string::npos) throw UsageError(name + " takes no value");
            ApplyFlag(invocation, name);
            continue;
        }
        if (equals == std::string::npos && i + 1 == arguments.size()) throw UsageError(argument + " needs a value");
        ApplyValue(invocation, name, equals != std::string::npos ? argument.substr(equals + 1) : arguments[++i]);
    }
    TakeFiles(invocation, files);
    CheckCombination(invocation);
    return invocation;
}

}  // namespace tc::cli
