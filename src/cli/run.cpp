// Opening and saving a firmware source from a command line, by the same core
// operations the window runs, so the same steps give the same bytes.
#include "cli/run.h"

#include <algorithm>
#include <exception>
#include <ostream>

#include "app/core.h"
#include "cli/compare.h"
#include "cli/console_ports.h"
#include "cli/csv.h"
#include "cli/help.h"
#include "cli/options.h"
#include "cli/report.h"
#include "cli/verify.h"
#include "table/grid.h"
#include "table/numbers.h"

namespace tc::cli {

namespace {

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kBadUsage = 2;

// Numbers in the messages and the written comments use "." whatever the locale says.
constexpr char32_t kSeparator = U'.';

struct Session {
    Session(const Invocation& invocation, FileStore& files, std::ostream& err, std::string file)
        : invocation(invocation),
          file(std::move(file)),
          angles(invocation.angles),
          speeds(invocation.speeds),
          messages(err),
          core(Ports{chooser, files, desktop}, kSeparator) {}

    const Invocation& invocation;
    std::string file;
    std::optional<std::vector<std::string>> angles, speeds;
    StderrMessages messages;
    NoChooser chooser;
    NoDesktop desktop;
    Core core;

    // Prints what the outcome has to say; true when it ran to its end.
    bool Report(const Outcome& outcome) {
        ShowDiagnostics(messages, outcome.diagnostics, invocation.language);
        return outcome.Ok();
    }

    // The window as it starts, the sensor angle and the table chosen, then the
    // source opened. True when the whole source was read without a message.
    bool Open() {
        core.Start();
        return Report(core.SetSensorAngle(invocation.sensor)) && Report(core.ChooseTable(invocation.table)) &&
               Report(core.OpenSource(file));
    }

    // What the options give, typed in as into the window.
    bool Enter() {
        bool entered = true;
        if (angles)
            for (int row = 1; row < kGridRows; ++row)
                entered = entered && Report(core.Edit({Field::Cell, kAngleColumn, row},
                                                      (*angles)[static_cast<std::size_t>(row - 1)]));
        if (invocation.spark) entered = entered && Report(core.SetSparkDuration(*invocation.spark));
        if (speeds)
            for (int row = 2; row < kGridRows; ++row)
                entered = entered && Report(core.Edit({Field::Cell, kSpeedColumn, row},
                                                      (*speeds)[static_cast<std::size_t>(row - 2)]));
        return entered;
    }
};

int Show(const Invocation& invocation, FileStore& files, std::ostream& out, std::ostream& err) {
    Session session(invocation, files, err, invocation.file);
    const bool complete = session.Open();
    // A source that could not be read at all has nothing to show; a partly read one shows what it gave.
    if (!session.core.Source().Empty()) {
        if (invocation.json)
            PrintJson(out, session.core, invocation.file);
        else if (invocation.csv)
            PrintCsv(out, session.core);
        else
            PrintText(out, session.core, invocation.file);
        out.flush();
    }
    return complete && out ? kDone : kFailed;
}

// The angles and speeds of a spreadsheet, read before the source is opened.
bool TakeCsv(Session& session, FileStore& files, std::ostream& err) {
    const std::string& path = *session.invocation.csvFile;
    const FileStore::ReadResult read = files.Read(path);
    try {
        if (read.status != FileStore::ReadResult::Ok) throw CsvError("cannot be read");
        CsvTable table = ReadCsv(read.bytes);
        session.angles = std::move(table.angles);
        session.speeds = std::move(table.speeds);
        return true;
    } catch (const CsvError& error) {
        err << "Error: " << path << ": " << error.what() << '\n';
        return false;
    }
}

int Set(const Invocation& invocation, FileStore& disk, std::ostream& out, std::ostream& err) {
    PreviewFiles preview(disk);
    FileStore& files = invocation.dryRun ? static_cast<FileStore&>(preview) : disk;
    Session session(invocation, files, err, invocation.file);
    // A partly read grid must not be saved, not even to another file.
    const bool saved =
        (!invocation.csvFile || TakeCsv(session, disk, err)) && session.Open() && session.Enter() &&
        session.Report(invocation.output ? session.core.SaveAs(*invocation.output) : session.core.Save());
    if (saved && invocation.dryRun && preview.After()) {
        PrintLineChanges(out, invocation.file, preview.Before(), *preview.After());
        if (const std::size_t breaks = CountChangedLineBreaks(preview.Before(), *preview.After()))
            err << "timingcalc-cli: besides, the save would end " << breaks << (breaks == 1 ? " line" : " lines")
                << " with CR LF; they end otherwise now\n";
        return out.flush() ? kDone : kFailed;
    }
    if (saved) return kDone;
    err << "timingcalc-cli: nothing written\n";
    return kFailed;
}

// Exit status as diff(1): 0 the same, 1 different, 2 trouble.
int Diff(const Invocation& invocation, FileStore& files, std::ostream& out, std::ostream& err) {
    Session a(invocation, files, err, invocation.file);
    Session b(invocation, files, err, invocation.other);
    if (!a.Open() || !b.Open()) return kBadUsage;
    const bool differ = PrintDifferences(out, a.core, b.core, StrToInt(invocation.sensor), invocation.json);
    if (!out.flush()) return kBadUsage;
    return differ ? kFailed : kDone;
}

// Exit status: 0 every item the same, 1 one differs or is missing, 2 it could not be verified.
int Verify(const Invocation& invocation, FileStore& files, std::ostream& out, std::ostream& err) {
    Session session(invocation, files, err, invocation.file);
    if (!session.Open()) return kBadUsage;
    const std::string image = invocation.other.empty() ? ImageBeside(invocation.file) : invocation.other;
    const FileStore::ReadResult read = files.Read(image);
    if (read.status != FileStore::ReadResult::Ok) {
        err << "Error: the image " << image << " cannot be read" << (read.error.empty() ? "" : ": " + read.error)
            << '\n';
        return kBadUsage;
    }
    const HexResult hex = DecodeIntelHex(read.bytes);
    if (!hex.image) {
        err << "Error: " << image << " is no Intel HEX image: " << hex.error << '\n';
        return kBadUsage;
    }
    const SourceText& source = session.core.Source();
    const std::vector<VerifiedItem> items = VerifyImage(source, ScanSource(source), *hex.image);
    PrintVerification(out, items, invocation.file, image, invocation.json);
    if (!out.flush()) return kBadUsage;
    const bool same =
        std::all_of(items.begin(), items.end(), [](const auto& i) { return i.status == VerifiedItem::Same; });
    return same ? kDone : kFailed;
}

}  // namespace

int Run(const std::vector<std::string>& arguments, FileStore& files, std::ostream& out, std::ostream& err) {
    Invocation invocation;
    try {
        invocation = ParseArguments(arguments);
    } catch (const UsageError& error) {
        err << "timingcalc-cli: " << error.what() << '\n' << UsageLine(error.command) << '\n' << kTryHelp << '\n';
        return kBadUsage;
    }
    try {
        switch (invocation.command) {
            case Invocation::Help: out << HelpText(invocation.topic); return out.flush() ? kDone : kFailed;
            case Invocation::Version:
                out << "timingcalc-cli " << TIMINGCALC_VERSION << '\n';
                return out.flush() ? kDone : kFailed;
            case Invocation::Show: return Show(invocation, files, out, err);
            case Invocation::Set: return Set(invocation, files, out, err);
            case Invocation::Diff: return Diff(invocation, files, out, err);
            case Invocation::Verify: return Verify(invocation, files, out, err);
        }
    } catch (const std::exception& error) {
        // The core reports what it expects; anything else is a fault of ours, still no half-done write.
        err << "timingcalc-cli: " << error.what() << '\n';
    }
    return kFailed;
}

}  // namespace tc::cli
