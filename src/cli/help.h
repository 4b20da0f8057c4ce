// What timingcalc-cli --help prints: the overview, or one command's help alone.
#pragma once

#include <string>
#include <string_view>

#include "cli/options.h"

namespace tc::cli {

// The one line of "Usage: timingcalc-cli ..." of a command; Help: the program's.
std::string_view UsageLine(Invocation::Command command);

// The command's usage line, what it does, its options and exit statuses; Help: the overview.
std::string HelpText(Invocation::Command command);

inline constexpr std::string_view kTryHelp = "Try 'timingcalc-cli --help' for more information.";

}  // namespace tc::cli
