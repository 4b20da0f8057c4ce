// timingcalc-cli: opening and saving a firmware source from a command line, by
// the same core operations the window runs, so the same steps give the same bytes.
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "app/core.h"
#include "cli/console_ports.h"
#include "cli/options.h"
#include "cli/report.h"
#include "os/files.h"
#include "table/grid.h"

namespace {

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kBadUsage = 2;

// Numbers in the messages and the written comments use "." whatever the locale says.
constexpr char32_t kSeparator = U'.';

struct Session {
    explicit Session(const tc::cli::Invocation& invocation) : invocation(invocation) {}

    const tc::cli::Invocation& invocation;
    tc::cli::StderrMessages messages{std::cerr};
    tc::cli::NoChooser chooser;
    tc::os::DiskFiles files;
    tc::cli::NoDesktop desktop;
    tc::Core core{tc::Ports{chooser, files, desktop}, kSeparator};

    // Prints what the outcome has to say; true when it ran to its end.
    bool Report(const tc::Outcome& outcome) {
        tc::ShowDiagnostics(messages, outcome.diagnostics, invocation.language);
        return outcome.Ok();
    }

    // The window as it starts, the sensor angle and the table chosen, then the
    // source opened. True when the whole source was read without a message.
    bool Open() {
        core.Start();
        return Report(core.SetSensorAngle(invocation.sensor)) && Report(core.ChooseTable(invocation.table)) &&
               Report(core.OpenSource(invocation.file));
    }

    // What the options give, typed in as into the window.
    bool Enter() {
        bool entered = true;
        if (invocation.angles)
            for (int row = 1; row < tc::kGridRows; ++row)
                entered = entered && Report(core.Edit({tc::Field::Cell, tc::kAngleColumn, row},
                                                      (*invocation.angles)[static_cast<std::size_t>(row - 1)]));
        if (invocation.spark) entered = entered && Report(core.SetSparkDuration(*invocation.spark));
        if (invocation.speeds)
            for (int row = 2; row < tc::kGridRows; ++row)
                entered = entered && Report(core.Edit({tc::Field::Cell, tc::kSpeedColumn, row},
                                                      (*invocation.speeds)[static_cast<std::size_t>(row - 2)]));
        return entered;
    }
};

int Show(const tc::cli::Invocation& invocation) {
    Session session(invocation);
    const bool complete = session.Open();
    // A source that could not be read at all has nothing to show; a partly read one shows what it gave.
    if (!session.core.Source().Empty()) {
        if (invocation.json)
            tc::cli::PrintJson(std::cout, session.core, invocation.file);
        else
            tc::cli::PrintText(std::cout, session.core, invocation.file);
        std::cout.flush();
    }
    return complete && std::cout ? kDone : kFailed;
}

int Set(const tc::cli::Invocation& invocation) {
    Session session(invocation);
    // A partly read grid must not be saved, not even to another file.
    const bool saved =
        session.Open() && session.Enter() &&
        session.Report(invocation.output ? session.core.SaveAs(*invocation.output) : session.core.Save());
    if (saved) return kDone;
    std::cerr << "timingcalc-cli: nothing written\n";
    return kFailed;
}

}  // namespace

int main(int argc, char* argv[]) {
    tc::os::PrepareConsole();
    const std::vector<std::string> arguments = tc::os::CommandLine(argc, argv);
    tc::cli::Invocation invocation;
    try {
        invocation = tc::cli::ParseArguments(arguments);
    } catch (const tc::cli::UsageError& error) {
        std::cerr << "timingcalc-cli: " << error.what() << "\n\n" << tc::cli::kUsage;
        return kBadUsage;
    }
    try {
        switch (invocation.command) {
            case tc::cli::Invocation::Help: std::cout << tc::cli::kUsage; return std::cout.flush() ? kDone : kFailed;
            case tc::cli::Invocation::Show: return Show(invocation);
            case tc::cli::Invocation::Set: return Set(invocation);
        }
    } catch (const std::exception& error) {
        // The core reports what it expects; anything else is a fault of ours, still no half-done write.
        std::cerr << "timingcalc-cli: " << error.what() << '\n';
    }
    return kFailed;
}
