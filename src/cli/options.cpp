#include "cli/options.h"

#include <set>
#include <string_view>

namespace tc::cli {

const char* const kUsage =
    R"(Usage:
  timingcalc-cli show FILE [--sensor S] [--table T] [--json] [--language L]
  timingcalc-cli set FILE [--sensor S] [--table T] [--angles LIST] [--spark US]
                          [--rpm LIST] [-o OUT] [--language L]
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

Options:
  --sensor S     sensor angle in whole degrees, 0 to 99 (default 20); the angles
                 of --angles and of the output are relative to it
  --table T      the table in the angle column: 1, 2 or 3 (default 1)
  --json         show: print one JSON object instead of the text table
  --angles LIST  set: 32 comma-separated angles of table T for rows 1 to 32,
                 "." as the decimal separator, "-" for no spark
  --spark US     set: the spark duration in microseconds
  --rpm LIST     set: 31 comma-separated engine speeds for rows 2 to 32
                 (row 1 is always 460), each 460 to 20000
  -o, --output OUT
                 set: write the result to OUT instead of FILE
  --language L   the language of the messages: en (default) or ru
  -h, --help     print this text

Options may also be written as --option=VALUE; "--" ends the options.
Messages are printed on standard error, with the window's texts.

Exit status:
  0  done
  1  FILE could not be read completely (no access, empty, an item missing,
     a text that does not convert), or the save was refused or failed.
     show still prints what it read; set writes nothing, neither FILE nor OUT.
  2  bad usage
)";

namespace {

bool IsDigits(std::string_view text) {
    if (text.empty()) return false;
    for (const char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

// Spaces around an item are let go: a grid cell cannot hold them anyway.
std::string Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

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

}  // namespace

namespace {

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
    else
        throw UsageError("unknown command '" + command + "'");
    return true;
}

// The option's long name, refused when it does not belong to the command.
std::string OptionName(const std::string& argument, const std::string& name, bool set) {
    static const std::set<std::string> kShowOptions = {"--sensor", "--table", "--json", "--language"};
    static const std::set<std::string> kSetOptions = {"--sensor", "--table",  "--angles",  "--spark",
                                                      "--rpm",    "--output", "--language"};
    std::string longName = name == "-o" ? "--output" : name;
    if ((set ? kSetOptions : kShowOptions).contains(longName)) return longName;
    if ((set ? kShowOptions : kSetOptions).contains(longName))
        throw UsageError(argument + " is not an option of " + (set ? "set" : "show"));
    throw UsageError("unknown option '" + argument + "'");
}

void ApplyOption(Invocation& invocation, const std::string& name, const std::string& value) {
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
        invocation.spark = value;
    } else if (name == "--language") {
        if (value != "en" && value != "ru") throw UsageError("--language must be en or ru, not '" + value + "'");
        invocation.language = value == "ru" ? 0 : 1;
    } else if (name == "--output") {
        if (value.empty()) throw UsageError("-o needs a file name");
        invocation.output = value;
    }
}

}  // namespace

Invocation ParseArguments(const std::vector<std::string>& arguments) {
    Invocation invocation;
    if (!ReadCommand(arguments, invocation)) return invocation;
    const bool set = invocation.command == Invocation::Set;
    std::set<std::string> given;
    std::optional<std::string> file;
    bool optionsEnded = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument == "-" || argument.empty() || argument[0] != '-') {
            if (file) throw UsageError("more than one FILE given: '" + *file + "' and '" + argument + "'");
            file = argument;
            continue;
        }
        optionsEnded = argument == "--";
        if (optionsEnded) continue;
        const auto equals = argument.starts_with("--") ? argument.find('=') : std::string::npos;
        const std::string name = OptionName(argument, argument.substr(0, equals), set);
        if (!given.insert(name).second) throw UsageError(name + " given more than once");
        if (name == "--json") {
            if (equals != std::string::npos) throw UsageError("--json takes no value");
            invocation.json = true;
            continue;
        }
        if (equals == std::string::npos && i + 1 == arguments.size()) throw UsageError(argument + " needs a value");
        ApplyOption(invocation, name, equals != std::string::npos ? argument.substr(equals + 1) : arguments[++i]);
    }
    if (!file) throw UsageError("FILE is missing");
    if (file->empty()) throw UsageError("FILE must not be empty");
    invocation.file = *file;
    return invocation;
}

}  // namespace tc::cli
