#include "cli/options.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <functional>
#include <memory>
#include <string_view>

#include "cli/fields.h"

namespace tc::cli {

namespace {

constexpr Invocation::Command kCommands[] = {Invocation::Show, Invocation::Set, Invocation::Diff, Invocation::Verify};

const char* NameOf(Invocation::Command command) {
    switch (command) {
        case Invocation::Set: return "set";
        case Invocation::Diff: return "diff";
        case Invocation::Verify: return "verify";
        default: return "show";
    }
}

// A rule on an option's value; CLI11 puts the option's name before the message.
CLI::Validator Rule(const std::function<bool(const std::string&)>& holds, const std::string& rule) {
    return {[holds, rule](std::string& value) {
                return holds(value) ? std::string() : "must be " + rule + ", not '" + value + "'";
            },
            ""};
}

CLI::Validator NotEmpty() {
    return {[](std::string& value) { return std::string(value.empty() ? "must not be empty" : ""); }, ""};
}

// A comma-separated list of exactly `count` items.
CLI::Validator ListOf(std::size_t count, const std::string& what) {
    return {[count, what](std::string& value) {
                const auto items = static_cast<std::size_t>(std::count(value.begin(), value.end(), ',')) + 1;
                if (items == count) return std::string();
                return "needs " + std::to_string(count) + " comma-separated " + what + ", got " + std::to_string(items);
            },
            ""};
}

// The items of a list that ListOf let pass, without the blanks around them.
std::vector<std::string> Split(std::string_view list) {
    std::vector<std::string> items;
    for (std::size_t start = 0;;) {
        const auto comma = list.find(',', start);
        items.push_back(Trimmed(list.substr(start, comma == std::string_view::npos ? comma : comma - start)));
        if (comma == std::string_view::npos) return items;
        start = comma + 1;
    }
}

void AddSensor(CLI::App& app, Invocation& invocation) {
    // The combo box takes at most two digits.
    app.add_option("--sensor", invocation.sensor)
        ->type_name("S")
        ->check(Rule([](const std::string& v) { return IsDigits(v) && v.size() <= 2; }, "a whole number from 0 to 99"));
}

void AddTable(CLI::App& app, Invocation& invocation) {
    app.add_option("--table", invocation.table)
        ->type_name("T")
        ->check(Rule([](const std::string& v) { return v == "1" || v == "2" || v == "3"; }, "1, 2 or 3"));
}

void AddShow(CLI::App& app, Invocation& invocation) {
    app.add_option("FILE", invocation.file)->required()->check(NotEmpty());
    AddSensor(app, invocation);
    AddTable(app, invocation);
    app.add_flag("--json", invocation.json)->excludes(app.add_flag("--csv", invocation.csv));
}

// What set puts into the grid; --csv gives the angles and speeds from a file instead.
void AddValues(CLI::App& app, Invocation& invocation) {
    auto* angles = app.add_option_function<std::string>(
        "--angles", [&invocation](const std::string& value) { invocation.angles = Split(value); });
    auto* speeds = app.add_option_function<std::string>(
        "--rpm", [&invocation](const std::string& value) { invocation.speeds = Split(value); });
    auto* csv = app.add_option_function<std::string>(
        "--csv", [&invocation](const std::string& value) { invocation.csvFile = value; });
    angles->type_name("LIST")->check(ListOf(kAngleCount, "angles"));
    speeds->type_name("LIST")->check(ListOf(kSpeedCount, "speeds"));
    csv->type_name("CSV")->check(NotEmpty())->excludes(angles)->excludes(speeds);
    // What the window's box can hold: digits. An empty one fails at the save, as there.
    app.add_option_function<std::string>("--spark",
                                         [&invocation](const std::string& value) { invocation.spark = value; })
        ->type_name("US")
        ->check(Rule([](const std::string& v) { return v.empty() || IsDigits(v); }, "a whole number of microseconds"));
}

void AddSet(CLI::App& app, Invocation& invocation) {
    app.add_option("FILE", invocation.file)->required()->check(NotEmpty());
    AddSensor(app, invocation);
    AddTable(app, invocation);
    AddValues(app, invocation);
    auto* output = app.add_option_function<std::string>(
        "-o,--output", [&invocation](const std::string& value) { invocation.output = value; });
    output->type_name("OUT")->check(NotEmpty());
    app.add_flag("--dry-run", invocation.dryRun)->excludes(output);
}

void AddDiff(CLI::App& app, Invocation& invocation) {
    app.add_option("A", invocation.file)->required()->check(NotEmpty());
    app.add_option("B", invocation.other)->required()->check(NotEmpty());
    AddSensor(app, invocation);
    app.add_flag("--json", invocation.json);
}

void AddVerify(CLI::App& app, Invocation& invocation) {
    app.add_option("SOURCE", invocation.file)->required()->check(NotEmpty());
    app.add_option("IMAGE", invocation.other)->check(NotEmpty());
    app.add_flag("--json", invocation.json);
}

// A command's parser, its options writing into the invocation.
std::unique_ptr<CLI::App> ParserOf(Invocation::Command command, Invocation& invocation) {
    auto app = std::make_unique<CLI::App>("", std::string("timingcalc-cli ") + NameOf(command));
    app->allow_windows_style_options(false);  // "/x" is a file name on Windows too
    app->allow_extras();                      // told below in the program's words
    // A repeated option is refused below, with its name.
    app->option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast)->disable_flag_override();
    app->add_option_function<std::string>(
           "--language", [&invocation](const std::string& value) { invocation.language = value == "ru" ? 0 : 1; })
        ->type_name("L")
        ->check(Rule([](const std::string& v) { return v == "en" || v == "ru"; }, "en or ru"));
    switch (command) {
        case Invocation::Set: AddSet(*app, invocation); break;
        case Invocation::Diff: AddDiff(*app, invocation); break;
        case Invocation::Verify: AddVerify(*app, invocation); break;
        default: AddShow(*app, invocation); break;
    }
    return app;
}

bool HasOption(Invocation::Command command, const std::string& name) {
    Invocation scratch;
    return ParserOf(command, scratch)->get_option_no_throw(name) != nullptr;
}

// What CLI11 left over: an option the command does not have, or an argument too many.
void CheckLeftOver(Invocation::Command command, const CLI::App& app) {
    for (const std::string& left : app.remaining()) {
        if (left == "--") continue;  // the end of the options, kept by CLI11
        if (left.size() < 2 || left[0] != '-') throw UsageError(command, "unexpected argument '" + left + "'");
        const std::string name = left.substr(0, left.starts_with("--") ? left.find('=') : 2);
        for (const auto other : kCommands)
            if (HasOption(other, name)) throw UsageError(command, name + " is not an option of " + NameOf(command));
        throw UsageError(command, "unknown option '" + left + "'");
    }
}

// CLI11 would word "--json=yes" as a disallowed flag override.
void RefuseFlagValues(Invocation::Command command, const CLI::App& app, const std::vector<std::string>& arguments) {
    for (const std::string& argument : arguments) {
        if (argument == "--") return;
        const std::string name = argument.substr(0, argument.find('='));
        if (!argument.starts_with("--") || name == argument) continue;
        const CLI::Option* option = app.get_option_no_throw(name);
        if (option && option->get_expected_max() == 0) throw UsageError(command, name + " takes no value");
    }
}

Invocation ParseCommand(Invocation::Command command, std::vector<std::string> arguments) {
    Invocation invocation;
    invocation.command = command;
    const auto app = ParserOf(command, invocation);
    RefuseFlagValues(command, *app, arguments);
    std::reverse(arguments.begin(), arguments.end());  // CLI11 takes them from the back
    try {
        app->parse(arguments);
    } catch (const CLI::CallForHelp&) {
        return {.command = Invocation::Help, .topic = command};
    } catch (const CLI::ParseError& error) {
        throw UsageError(command, error.what());
    }
    CheckLeftOver(command, *app);
    for (const CLI::Option* option : app->get_options())
        if (option->count() > 1) throw UsageError(command, option->get_name() + " given more than once");
    return invocation;
}

std::optional<Invocation::Command> CommandNamed(const std::string& name) {
    for (const auto command : kCommands)
        if (name == NameOf(command)) return command;
    return std::nullopt;
}

// help, -h or --help, and maybe the command whose help is asked for.
Invocation HelpOn(const std::vector<std::string>& arguments) {
    if (arguments.size() > 1) throw UsageError(Invocation::Help, "unexpected argument '" + arguments[1] + "'");
    if (arguments.empty()) return {};
    if (const auto command = CommandNamed(arguments[0])) return {.command = Invocation::Help, .topic = *command};
    throw UsageError(Invocation::Help, "unknown command '" + arguments[0] + "'");
}

}  // namespace

// The command comes first, and its own parser takes the rest: so a file named
// like a command stays a file, and so does everything after "--".
Invocation ParseArguments(const std::vector<std::string>& arguments) {
    if (arguments.empty()) throw UsageError(Invocation::Help, "no command given");
    const std::string& first = arguments.front();
    const std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
    if (first == "--version") return {.command = Invocation::Version};
    if (first == "help" || first == "-h" || first == "--help") return HelpOn(rest);
    if (const auto command = CommandNamed(first)) return ParseCommand(*command, rest);
    throw UsageError(Invocation::Help,
                     (first.starts_with("-") ? "unknown option '" : "unknown command '") + first + "'");
}

}  // namespace tc::cli
