// The command line of timingcalc-cli: what to open, which combo texts to set
// and what to put into the grid before saving.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tc::cli {

inline constexpr int kAngleCount = 32;  // rows 1 to 32
inline constexpr int kSpeedCount = 31;  // rows 2 to 32; row 1 is always 460

struct Invocation {
    enum Command { Help, Version, Show, Set, Diff, Verify } command = Help;
    Command topic = Help;  // Help: the command whose help is asked for; Help itself for the overview
    std::string file;
    std::string other;          // diff: the file B; verify: the image, empty for the one beside the source
    std::string sensor = "20";  // ComboBox1 as the window starts
    std::string table = "1";    // ComboBox2 as the window starts
    bool json = false;
    unsigned language = 1;  // of the messages: 0 Russian, 1 English
    std::optional<std::vector<std::string>> angles;
    std::optional<std::string> spark;
    std::optional<std::vector<std::string>> speeds;
    std::optional<std::string> output;
    bool csv = false;                    // show: print the rows as a spreadsheet
    std::optional<std::string> csvFile;  // set: take the angles and speeds from it
    bool dryRun = false;                 // set: print the lines that would change, write nothing
};

// Bad usage: the text says what is wrong; the caller adds the usage line of the command.
class UsageError : public std::runtime_error {
public:
    UsageError(Invocation::Command command, const std::string& what) : std::runtime_error(what), command(command) {}
    Invocation::Command command;  // Help when no command was made out
};

// The arguments after the program name.
Invocation ParseArguments(const std::vector<std::string>& arguments);

}  // namespace tc::cli
