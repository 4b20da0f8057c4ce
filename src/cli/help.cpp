#include "cli/help.h"

namespace tc::cli {

namespace {

struct Page {
    Invocation::Command command;
    const char* usage;
    const char* text;  // after the usage line and an empty one
};

const Page kPages[] = {
    {Invocation::Help, "Usage: timingcalc-cli COMMAND ARGUMENTS... [OPTIONS]",
     R"(Reads and rewrites the advance tables of a firmware source (CDI.asm) exactly
as the window's "File" and "Save to file" buttons do.

Commands:
  show FILE      print the spark duration, the adjust resistor and the 32 rows
                 of speeds, codes and angles that FILE holds
  set FILE       put in angles, engine speeds and the spark duration, and save
                 FILE, or another file
  diff A B       print only the values in which A and B differ
  verify SOURCE [IMAGE]
                 tell whether an assembled Intel HEX image holds what SOURCE says

Options of every command:
  --language L   the language of the messages: en (default) or ru
  -h, --help     print the help of the command

Options:
  -h, --help     print this text
  --version      print the version of timingcalc-cli

'timingcalc-cli COMMAND --help' or 'timingcalc-cli help COMMAND' prints the
help of one command: what it does and all of its options.
Options may also be written as --option=VALUE; "--" ends the options.
Messages are printed on standard error, with the window's texts.

Exit status:
  0  done; diff: A and B hold the same values; verify: the image holds them all
  1  FILE could not be read completely (no access, empty, an item missing,
     a text that does not convert), or the save was refused or failed.
     show still prints what it read; set writes nothing, neither FILE nor OUT.
     diff: A and B differ
     verify: an item differs or is not in the image
  2  bad usage; diff: A or B could not be read completely; verify: the
     source does not read completely, or the image is missing or damaged
)"},
    {Invocation::Show, "Usage: timingcalc-cli show FILE [--sensor S] [--table T] [--json | --csv] [--language L]",
     R"(Opens FILE with the sensor angle S and table T, and prints the spark
duration in microseconds, whether the adjust resistor is enabled, and the 32
rows: engine speed, the codes of tables 1 to 3 and the angle of table T. An
empty cell is printed as "?" (null in JSON).

Options:
  --sensor S     sensor angle in whole degrees, 0 to 99 (default 20); the angles
                 printed are relative to it
  --table T      the table in the angle column: 1, 2 or 3 (default 1)
  --json         print one JSON object instead of the text
  --csv          print the 32 rows as a spreadsheet: rpm, the three codes and
                 the angle of table T
  --language L   the language of the messages: en (default) or ru
  -h, --help     print this text

Exit status:
  0  done
  1  FILE could not be read completely (no access, empty, an item missing, a
     text that does not convert); what was read is printed all the same
  2  bad usage
)"},
    {Invocation::Set,
     "Usage: timingcalc-cli set FILE [--sensor S] [--table T] [--angles LIST | --csv CSV] [--spark US] [--rpm LIST] "
     "[-o OUT | --dry-run] [--language L]",
     R"(Opens FILE as show does, puts in what the options give, then saves the three
tables, the engine speeds and the spark duration: to OUT when given, leaving
FILE untouched, otherwise over FILE. Without --angles table T is stored back
as it was read.

Options:
  --sensor S     sensor angle in whole degrees, 0 to 99 (default 20); the angles
                 of --angles and --csv are relative to it
  --table T      the table the angles are for: 1, 2 or 3 (default 1)
  --angles LIST  32 comma-separated angles of table T for rows 1 to 32, "." as
                 the decimal separator, "-" for no spark
  --csv CSV      take the angles of table T, and the speeds of rows 2 to 32
                 where the file has them, from a spreadsheet as show --csv
                 writes it, or from one column of 32 angles; comma or
                 semicolon separated, "." or "," decimals
  --spark US     the spark duration, a whole number of microseconds
  --rpm LIST     31 comma-separated engine speeds for rows 2 to 32 (row 1 is
                 always 460), each 460 to 20000
  -o, --output OUT
                 write the result to OUT instead of FILE
  --dry-run      print the lines the save would change, as a unified diff, and
                 write nothing; standard error tells how many more lines would
                 only get CR LF as their line break
  --language L   the language of the messages: en (default) or ru
  -h, --help     print this text

Exit status:
  0  done
  1  FILE could not be read completely (no access, empty, an item missing, a
     text that does not convert), or the save was refused or failed; nothing
     is written, neither FILE nor OUT
  2  bad usage
)"},
    {Invocation::Diff, "Usage: timingcalc-cli diff A B [--sensor S] [--json] [--language L]",
     R"(Opens A and B and prints only what differs: the spark duration, the engine
speeds, and each table entry with its row, speed, code and angle for the
sensor angle S.

Options:
  --sensor S     sensor angle in whole degrees, 0 to 99 (default 20); the angles
                 printed are relative to it
  --json         print one JSON object instead of the text
  --language L   the language of the messages: en (default) or ru
  -h, --help     print this text

Exit status:
  0  A and B hold the same values
  1  A and B differ
  2  bad usage, or A or B could not be read completely
)"},
    {Invocation::Verify, "Usage: timingcalc-cli verify SOURCE [IMAGE] [--json] [--language L]",
     R"(Reads SOURCE as show does and the Intel HEX IMAGE (by default the .hex beside
SOURCE with its base name), and tells for the spark constants, the 31 speed
constants and the 96 table entries whether the image holds the value the
source says, holds another, or lacks it, with the reason where it is known.

Options:
  --json         print one JSON object instead of the text
  --language L   the language of the messages: en (default) or ru
  -h, --help     print this text

Exit status:
  0  the image holds every item as the source says
  1  an item differs or is not in the image
  2  bad usage; SOURCE does not read completely, or IMAGE is missing or damaged
)"},
};

const Page& PageOf(Invocation::Command command) {
    for (const Page& page : kPages)
        if (page.command == command) return page;
    return kPages[0];
}

}  // namespace

std::string_view UsageLine(Invocation::Command command) { return PageOf(command).usage; }

std::string HelpText(Invocation::Command command) {
    const Page& page = PageOf(command);
    return std::string(page.usage) + "\n\n" + page.text;
}

}  // namespace tc::cli
