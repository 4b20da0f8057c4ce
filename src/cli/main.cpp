// timingcalc-cli: the window's File and Save to file steps from a command line,
// on the same Form the window drives, so the same steps give the same bytes.
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "app/form.h"
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
    explicit Session(const std::string& file) : chooser(file) {}

    tc::cli::StderrMessages messages{std::cerr};
    tc::cli::ArgumentChooser chooser;
    tc::os::DiskFiles files;
    tc::cli::NoDesktop desktop;
    tc::Form form{tc::Ports{messages, chooser, files, desktop}, kSeparator};

    // The window's start, the language button once for English messages, the
    // two combo boxes as typed in, then the File button. True when the whole
    // source was read without a message.
    bool Open(const tc::cli::Invocation& invocation) {
        form.FormCreate();
        form.Button7Click();
        form.Model().sensor.SetText(invocation.sensor);
        form.ComboBox1Change();
        form.Model().table.SetText(invocation.table);
        form.ComboBox2Change();
        form.Button1Click();
        return messages.Count() == 0 && !form.Source().Empty();
    }
};

int Show(const tc::cli::Invocation& invocation) {
    Session session(invocation.file);
    const bool complete = session.Open(invocation);
    // A source that could not be read at all has nothing to show; a partly read one shows what it gave.
    if (!session.form.Source().Empty()) {
        if (invocation.json) tc::cli::PrintJson(std::cout, session.form, invocation.file);
        else tc::cli::PrintText(std::cout, session.form, invocation.file);
        std::cout.flush();
    }
    return complete && std::cout ? kDone : kFailed;
}

int Set(const tc::cli::Invocation& invocation) {
    Session session(invocation.file);
    // A partly read grid must not be saved, not even to another file.
    if (!session.Open(invocation)) {
        std::cerr << "timingcalc-cli: nothing written\n";
        return kFailed;
    }
    tc::GridModel& model = session.form.Model();
    if (invocation.angles)
        for (int row = 1; row < tc::kGridRows; ++row)
            model.grid.SetCell(tc::kAngleColumn, row, (*invocation.angles)[static_cast<std::size_t>(row - 1)]);
    if (invocation.spark) model.spark.SetText(*invocation.spark);
    if (invocation.speeds)
        for (int row = 2; row < tc::kGridRows; ++row)
            model.grid.SetCell(tc::kSpeedColumn, row, (*invocation.speeds)[static_cast<std::size_t>(row - 2)]);

    if (invocation.output) session.form.SaveToFile(*invocation.output);
    else session.form.Button5Click();
    if (session.files.Writes() == 0) {
        std::cerr << "timingcalc-cli: nothing written\n";
        return kFailed;
    }
    return session.messages.Count() == 0 ? kDone : kFailed;
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
        // The Form reports what it expects; anything else is a fault of ours, still no half-done write.
        std::cerr << "timingcalc-cli: " << error.what() << '\n';
    }
    return kFailed;
}
