// What a click costs: the handlers on the sample firmware, the reader and the
// writer on sources of 1 MB and 10 MB, and load and save through the real file
// layer next to what the file system alone needs for the same bytes, timed in
// one run. Prints the progress to stderr and the medians to stdout, one
// "NAME<tab>SECONDS<tab>s" line each ("NAME<tab>error<tab>WHY" for a failed
// case), for bench/table.awk to set against their peers.
//
//   core_bench [--sample=FILE] [Google Benchmark flags]
//   core_bench --count=load/10\ MB [--times=N]   one step N times, for callgrind
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "app/core.h"
#include "app/ports.h"
#include "cli/run.h"
#include "chart/plot.h"
#include "firmware/reader.h"
#include "firmware/scanner.h"
#include "firmware/source_text.h"
#include "firmware/writer.h"
#include "padded_source.h"
#include "os/files.h"
#include "platform/qt_ports.h"
#include "table/conversion.h"
#include "text/texts.h"

namespace fs = std::filesystem;

namespace {

constexpr char32_t kSeparator = U'.';

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + path.string());
    in.seekg(0, std::ios::end);
    std::string bytes(static_cast<std::size_t>(in.tellg()), '\0');
    in.seekg(0);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!in) throw std::runtime_error("cannot read " + path.string());
    return bytes;
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// A file that did not exist, the bytes, fdatasync, close.
bool WriteNewFile(const fs::path& path, std::string_view bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    const bool done = WriteAll(fd, bytes) && ::fdatasync(fd) == 0;
    return ::close(fd) == 0 && done;
}

// The folder itself on the disk (fsync), or with `whole`, everything still to be
// written on its file system (syncfs): the sources the workspace wrote, or an
// earlier step's, would otherwise be flushed in the middle of some later timed run.
bool SyncFolder(const fs::path& folder, bool whole = false) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool done = (whole ? ::syncfs(fd) : ::fsync(fd)) == 0;
    return ::close(fd) == 0 && done;
}

bool SettleDisk(const fs::path& folder) { return SyncFolder(folder, true); }

// Between two timed runs of a save, as between those of its reference: nothing
// left for the next run to flush.
bool Settle(const fs::path& folder) { return SettleDisk(folder); }

// The least an atomic, durable replace of a file costs: the new file beside the
// target as above, renamed over it, and the rename put on the disk.
bool ReplaceWithNewFile(const fs::path& temporary, const fs::path& target, std::string_view bytes) {
    return WriteNewFile(temporary, bytes) && ::rename(temporary.c_str(), target.c_str()) == 0 &&
           SyncFolder(target.parent_path());
}

class CountingMessages : public tc::Messages {
public:
    int shown = 0;
    std::string last;
    void Warning(const std::string& text) override { Show(text); }
    void Error(const std::string& text) override { Show(text); }
    void AppError(const std::string& text) override { Show(text); }

private:
    void Show(const std::string& text) {
        ++shown;
        last = text;
    }
};

// The open dialog as a user answers it every time: the same file.
class FixedChooser : public tc::FileChooser {
public:
    std::string path;
    std::optional<std::string> ChooseSource(const std::string&) override { return path; }
};

class NoDesktop : public tc::Desktop {
public:
    void OpenDocument(const std::string&) override {}
    bool OnSearchPath(const std::string&) override { return false; }
    bool StartDetached(const tc::AssemblerCommand&) override { return false; }
};

// The window's core with the real file layer, a file opened as by the File button.
struct Window {
    CountingMessages messages;
    FixedChooser chooser;
    tc::os::DiskFiles files;
    NoDesktop desktop;
    tc::Core core{tc::Ports{chooser, files, desktop}, kSeparator};

    explicit Window(const fs::path& source) {
        chooser.path = source.string();
        core.Start();
        Show(core.OpenSource());
    }
    // What the window does with every outcome.
    void Show(const tc::Outcome& outcome) { tc::ShowDiagnostics(messages, outcome.diagnostics, core.LanguageFlag()); }
};

// A run that brought up a message box measured something else.
bool Quiet(benchmark::State& state, const CountingMessages& messages) {
    if (messages.shown == 0) return true;
    state.SkipWithError(("a message came up: " + messages.last).c_str());
    return false;
}

struct Source {
    std::string label;  // "sample", "1 MB", "10 MB"
    fs::path path;
    fs::path copyPath;
    std::string bytes;
    std::string saved;  // what a save of it writes
    tc::SourceText text;
};

struct Workspace {
    fs::path dir;
    std::vector<Source> sources;
    const Source& Get(const std::string& label) const {
        for (const auto& source : sources)
            if (source.label == label) return source;
        throw std::logic_error("no source " + label);
    }
};

Workspace* workspace = nullptr;

tc::GridModel ReadModel(const tc::SourceText& text) {
    tc::GridModel model;
    model.Fill();
    unsigned trimmer = 0;
    tc::Diagnostics warnings;
    const tc::ReadResult read = tc::ReadSource(text, tc::ScanSource(text), model, trimmer, warnings);
    if (read.stop != tc::ScanStop::Complete || !warnings.empty())
        throw std::runtime_error("the source does not read cleanly");
    tc::FillAngleColumn(model, kSeparator);
    return model;
}

// The padded sources must read the same values as the sample and take the writer's rewrite.
void CheckPadded(const Source& sample, const Source& padded) {
    const tc::GridModel a = ReadModel(sample.text);
    const tc::GridModel b = ReadModel(padded.text);
    for (int column = 0; column < tc::kGridColumns; ++column)
        for (int row = 0; row < tc::kGridRows; ++row)
            if (a.grid.Cell(column, row) != b.grid.Cell(column, row))
                throw std::runtime_error(padded.label + " source reads other values than the sample");
    if (a.spark.text != b.spark.text) throw std::runtime_error(padded.label + " source reads another spark duration");
    const tc::RewriteResult rewritten = tc::RewriteSource(padded.text, tc::ScanSource(padded.text), b, kSeparator);
    if (rewritten.refusal)
        throw std::runtime_error(padded.label +
                                 " source refused by the writer: " + tc::Render(*rewritten.refusal, tc::kEnglish));
    if (tc::ScanSource(rewritten.text).stop != tc::ScanStop::Complete)
        throw std::runtime_error(padded.label + " source no longer scans after the rewrite");
}

struct PaddedSize {
    std::string label;
    std::string fileName;
    std::size_t bytes;
};
const std::vector<PaddedSize> kPaddedSizes = {{"1 MB", "CDI-1MB.asm", 1'000'000},
                                              {"10 MB", "CDI-10MB.asm", 10'000'000}};

std::string SavedBytes(const fs::path& path) {
    Window window(path);
    window.Show(window.core.Save());
    if (window.messages.shown) throw std::runtime_error("saving " + path.string() + ": " + window.messages.last);
    return ReadBytes(path);
}

void FillWorkspace(Workspace& ws, const fs::path& sample, const std::vector<PaddedSize>& sizes) {
    const std::string sampleBytes = ReadBytes(sample);
    const auto add = [&](std::string label, std::string name, std::string bytes) {
        Source source;
        source.label = std::move(label);
        source.path = ws.dir / name;
        source.copyPath = ws.dir / ("copy-of-" + name);
        source.bytes = std::move(bytes);
        source.text = tc::SourceText::FromFileBytes(source.bytes);
        WriteBytes(source.path, source.bytes);
        WriteBytes(source.copyPath, source.bytes);
        ws.sources.push_back(std::move(source));
    };
    add("sample", "CDI.asm", sampleBytes);
    for (const PaddedSize& size : sizes)
        add(size.label, size.fileName, tc::bench::PaddedSource(sampleBytes, size.bytes));
    for (std::size_t i = 1; i < ws.sources.size(); ++i) CheckPadded(ws.sources[0], ws.sources[i]);
    // The references write exactly what the save does, so take it from a save.
    for (Source& source : ws.sources) source.saved = SavedBytes(source.path);
}

Workspace MakeWorkspace(const fs::path& sample, const fs::path& parent, const std::vector<PaddedSize>& sizes) {
    Workspace ws;
    std::string pattern = (parent / "timingcalc-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot create a folder in " + parent.string());
    ws.dir = pattern;
    try {
        FillWorkspace(ws, sample, sizes);
    } catch (...) {
        std::error_code ignored;
        fs::remove_all(ws.dir, ignored);
        throw;
    }
    return ws;
}

// --- the cases ---

// Reads a buffer several times the size of the L2 cache, so the next step
// starts with none of its data there. A user clicks once, not in a loop: in a
// tight loop a 1 MB source keeps all its buffers in the 4 MB L2 while a 10 MB
// one cannot, and the ratio of the two would measure the cache, not the growth.
void EvictCaches() {
    static std::vector<unsigned char> sweep(32u << 20, 1);
    unsigned sum = 0;
    for (std::size_t i = 0; i < sweep.size(); i += 64) sum += sweep[i];
    benchmark::DoNotOptimize(sum);
}

long MinorFaults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

using Case = std::function<void(benchmark::State&)>;

void Register(const std::string& name, Case body) {
    benchmark::RegisterBenchmark(name.c_str(), [body](benchmark::State& state) { body(state); })
        ->Unit(benchmark::kMicrosecond)
        ->UseRealTime();
}

// A step that returns false has brought up a message or been refused, and
// measured something else.
using Step = std::function<bool()>;

// A step, and what has to happen before each run of it, untimed.
struct Timed {
    Step run;
    std::function<bool()> before = [] { return true; };
};
using Prepare = std::function<Timed()>;

// The step timed alone; with `cold`, each run begun with the CPU caches emptied.
void RegisterTimed(const std::string& name, Prepare prepare, bool cold) {
    benchmark::RegisterBenchmark(
        name.c_str(),
        [prepare, cold](benchmark::State& state) {
            const Timed step = prepare();
            long faults = 0;
            for (auto _ : state) {
                if (!step.before()) {
                    state.SkipWithError("the step could not be set up");
                    break;
                }
                if (cold) EvictCaches();
                const long before = MinorFaults();
                const auto start = std::chrono::steady_clock::now();
                const bool ok = step.run();
                state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
                faults += MinorFaults() - before;
                if (!ok) {
                    state.SkipWithError("the step failed or brought up a message");
                    break;
                }
            }
            // Fresh memory costs a fault per page: part of the price of every megabyte.
            state.counters["faults"] =
                benchmark::Counter(static_cast<double>(faults), benchmark::Counter::kAvgIterations);
        })
        ->Unit(benchmark::kMicrosecond)
        ->UseManualTime();
}

using Steps = std::vector<std::pair<std::string, Prepare>>;

// The file system alone, with the bytes a save of the source writes: the
// reference a save is held to.
Steps FileSystemSteps(const Source& source) {
    const fs::path folder = source.path.parent_path();
    const std::string& size = source.label;
    Steps steps;
    steps.emplace_back("replace/" + size, [&source, folder, size]() -> Timed {
        const fs::path temporary = folder / ("replace " + size + ".tmp");
        const fs::path target = folder / ("replace " + size);
        return {[&source, temporary, target] { return ReplaceWithNewFile(temporary, target, source.saved); },
                [folder] { return SettleDisk(folder); }};
    });
    return steps;
}

// Save to file over the source, each run on a settled file system like its reference.
Timed SaveStep(const fs::path& path) {
    auto window = std::make_shared<Window>(path);
    return {[window] {
                window->Show(window->core.Save());
                return window->messages.shown == 0;
            },
            [folder = path.parent_path()] { return Settle(folder); }};
}

// The steps on the large sources, by name: timed with cold caches, and run
// alone for the instruction counts.
Steps ColdSteps(const Source& source) {
    const std::string& size = source.label;
    Steps steps;
    steps.emplace_back("reader/" + size, [&source]() -> Timed {
        auto model = std::make_shared<tc::GridModel>();
        model->Fill();
        return {[&source, model] {
            unsigned trimmer = 0;
            tc::Diagnostics warnings;
            const tc::ReadResult read =
                tc::ReadSource(source.text, tc::ScanSource(source.text), *model, trimmer, warnings);
            return read.stop == tc::ScanStop::Complete && warnings.empty();
        }};
    });
    steps.emplace_back("writer/" + size, [&source]() -> Timed {
        auto model = std::make_shared<const tc::GridModel>(ReadModel(source.text));
        return {[&source, model] {
            const tc::RewriteResult result =
                tc::RewriteSource(source.text, tc::ScanSource(source.text), *model, kSeparator);
            benchmark::DoNotOptimize(result.text.Text().data());
            return !result.refusal;
        }};
    });
    steps.emplace_back("load/" + size, [&source]() -> Timed {
        auto window = std::make_shared<Window>(source.path);
        return {[window] {
            window->Show(window->core.OpenSource());
            return window->messages.shown == 0;
        }};
    });
    steps.emplace_back("save/" + size, [&source] { return SaveStep(source.path); });
    steps.emplace_back("copy/" + size, [&source]() -> Timed {
        return {[&source] {
            WriteBytes(source.copyPath, ReadBytes(source.path));
            return true;
        }};
    });
    for (auto& step : FileSystemSteps(source)) steps.push_back(std::move(step));
    return steps;
}

// The sample assembled by avra into a folder of the workspace, its image filled
// up with erased flash (0xFF) to 32 KB, the whole program memory of an ATmega8.
fs::path Assembled32KImage(const Source& sample) {
    const fs::path folder = sample.path.parent_path() / "assembled";
    fs::create_directories(folder);
    fs::copy_file(sample.path, folder / "CDI.asm", fs::copy_options::overwrite_existing);
    const std::string command = "cd '" + folder.string() + "' && avra -fI CDI.asm >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) throw std::runtime_error("avra could not assemble the sample");
    std::string hex = ReadBytes(folder / "CDI.hex");
    const std::size_t end = hex.find(":00000001FF");
    std::string padding;
    for (unsigned address = 0x1000; address < 0x8000; address += 16) {
        unsigned sum = 16 + (address >> 8) + (address & 0xFF) + 16 * 0xFF;
        char record[64];
        std::snprintf(record, sizeof record, ":10%04X00FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF%02X\r\n", address,
                      (0x100 - (sum & 0xFF)) & 0xFF);
        padding += record;
    }
    WriteBytes(folder / "CDI.hex", hex.substr(0, end) + padding + hex.substr(end));
    return folder;
}

void RegisterCliCases(const Source& sample) {
    Register("verify/32 KB image", [&sample](benchmark::State& state) {
        const fs::path folder = Assembled32KImage(sample);
        tc::os::DiskFiles files;
        int status = 0;
        for (auto _ : state) {
            std::ostringstream out, err;
            status = tc::cli::Run({"verify", (folder / "CDI.asm").string()}, files, out, err);
        }
        if (status != 0) state.SkipWithError("the image did not verify");
    });
    Register("diff/two samples", [&sample](benchmark::State& state) {
        tc::os::DiskFiles files;
        int status = 0;
        for (auto _ : state) {
            std::ostringstream out, err;
            status = tc::cli::Run({"diff", sample.path.string(), sample.copyPath.string()}, files, out, err);
        }
        if (status != 0) state.SkipWithError("the samples differ");
    });
}

void RegisterCases() {
    const Source& sample = workspace->Get("sample");
    RegisterCliCases(sample);

    // The core's refill and plot steps, on the model the window opened.
    Register("fill and plot/sample", [&sample](benchmark::State& state) {
        Window window(sample.path);
        tc::GridModel model = window.core.Model();
        tc::PlotSeries series;
        for (auto _ : state) {
            tc::FillAngleColumn(model, kSeparator);
            tc::PlotAngleColumn(model.grid, kSeparator, series);
            benchmark::DoNotOptimize(series.Points().data());
        }
        Quiet(state, window.messages);
    });
    Register("store/sample", [&sample](benchmark::State& state) {
        Window window(sample.path);
        tc::GridModel model = window.core.Model();
        for (auto _ : state) {
            const auto kind = tc::StoreAngleColumn(model, kSeparator);
            benchmark::DoNotOptimize(kind);
        }
        Quiet(state, window.messages);
    });
    // Each handler as a click runs it: its one core operation and the showing
    // of the outcome, on the sample opened from the disk.
    const std::vector<std::pair<std::string, void (*)(Window&)>> handlers = {
        {"handler/open", [](Window& w) { w.Show(w.core.OpenSource()); }},
        {"handler/table", [](Window& w) { w.Show(w.core.StoreAngles()); }},
        {"handler/graph", [](Window& w) { w.Show(w.core.Plot()); }},
        // Another angle each time: the same text again is no change and refills nothing.
        {"handler/combo",
         [](Window& w) { w.Show(w.core.SetSensorAngle(w.core.Model().sensor.text == "20" ? "25" : "20")); }},
        {"handler/language", [](Window& w) { w.core.SwitchLanguage(); }},
    };
    for (const auto& [name, click] : handlers)
        Register(name + "/sample", [&sample, click = click](benchmark::State& state) {
            Window window(sample.path);
            for (auto _ : state) click(window);
            Quiet(state, window.messages);
        });
    RegisterTimed(
        "handler/save/sample", [&sample] { return SaveStep(sample.path); }, false);

    Register("reader/sample", [&sample](benchmark::State& state) {
        tc::GridModel model;
        model.Fill();
        unsigned trimmer = 0;
        tc::Diagnostics warnings;
        for (auto _ : state) {
            const tc::ReadResult read =
                tc::ReadSource(sample.text, tc::ScanSource(sample.text), model, trimmer, warnings);
            benchmark::DoNotOptimize(read.stop);
        }
        if (!warnings.empty()) state.SkipWithError("the reader warned");
    });
    Register("writer/sample", [&sample](benchmark::State& state) {
        const tc::GridModel model = ReadModel(sample.text);
        bool ok = true;
        for (auto _ : state) {
            tc::RewriteResult result = tc::RewriteSource(sample.text, tc::ScanSource(sample.text), model, kSeparator);
            ok = ok && !result.refusal;
            benchmark::DoNotOptimize(result.text.Text().data());
        }
        if (!ok) state.SkipWithError("the writer refused");
    });

    // Timed like the handlers, caches warm: the peers of the save on the sample.
    for (const auto& [name, prepare] : FileSystemSteps(sample)) RegisterTimed(name, prepare, false);

    for (const Source& source : workspace->sources) {
        const std::string& size = source.label;
        if (size == "sample") continue;
        for (const auto& [name, prepare] : ColdSteps(source)) RegisterTimed(name, prepare, true);
        // The same in a tight loop, caches warm: what the cache sizes do to the ratio.
        Register("load warm/" + size, [&source](benchmark::State& state) {
            Window window(source.path);
            for (auto _ : state) window.Show(window.core.OpenSource());
            Quiet(state, window.messages);
        });
        Register("memory copy warm/" + size, [&source](benchmark::State& state) {
            for (auto _ : state) {
                std::string copy = source.bytes;
                benchmark::DoNotOptimize(copy.data());
            }
        });
    }
}

}  // namespace

// The step runs, by this name, for an instruction count under
// valgrind --tool=callgrind --collect-atstart=no --toggle-collect=timingcalc_counted_step.
extern "C" __attribute__((noinline)) bool timingcalc_counted_step(const std::function<bool()>* step) {
    return (*step)();
}

namespace {

// Runs one of the steps on a large source `times` times, after one run that
// is not counted; the sources of other sizes are not made.
int CountSteps(const std::string& name, int times, const fs::path& sample) {
    const std::string label = name.substr(name.find('/') + 1);
    std::vector<PaddedSize> sizes;
    for (const PaddedSize& size : kPaddedSizes)
        if (size.label == label) sizes.push_back(size);
    if (sizes.empty() && label != "sample") {
        std::cerr << "bench: no source of size \"" << label << "\"\n";
        return 2;
    }
    Workspace ws = MakeWorkspace(sample, fs::temp_directory_path(), sizes);
    int status = 2;
    for (const auto& [stepName, prepare] : ColdSteps(ws.Get(label))) {
        if (stepName != name) continue;
        const Timed step = prepare();
        bool ok = step.before() && step.run();
        for (int i = 0; ok && i < times; ++i) ok = step.before() && timingcalc_counted_step(&step.run);
        status = ok ? 0 : 1;
        if (status) std::cerr << "bench: " << name << " failed or brought up a message\n";
    }
    if (status == 2) std::cerr << "bench: no step " << name << "\n";
    std::error_code ignored;
    fs::remove_all(ws.dir, ignored);
    return status;
}

// --- the figures ---

class Collector : public benchmark::ConsoleReporter {
public:
    using ConsoleReporter::ConsoleReporter;
    std::map<std::string, double> seconds;  // median real time per iteration
    std::map<std::string, double> spread;   // the repetitions' coefficient of variation
    std::map<std::string, std::string> errors;

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const std::string& name = run.run_name.function_name;
            if (run.error_occurred) {
                errors[name] = run.error_message;
                continue;
            }
            const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (single || median)
                seconds[name] = run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
            // A ratio, not a time: its "real time" is the ratio itself.
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "cv")
                spread[name] = run.real_accumulated_time;
        }
    }
};

// The medians for bench/table.awk, errors included: a case that failed must not pass unseen.
void PrintFigures(const Collector& collected) {
    for (const auto& [name, seconds] : collected.seconds)
        if (!collected.errors.contains(name)) std::printf("%s\t%.9g\ts\n", name.c_str(), seconds);
    for (const auto& [name, cv] : collected.spread)
        if (!collected.errors.contains(name)) std::printf("cv/%s\t%.4g\tratio\n", name.c_str(), cv);
    for (const auto& [name, why] : collected.errors) {
        std::string line = why;
        std::replace_if(
            line.begin(), line.end(), [](char c) { return c == '\t' || c == '\n'; }, ' ');
        std::printf("%s\terror\t%s\n", name.c_str(), line.c_str());
    }
}

}  // namespace

int main(int argc, char** argv) {
    fs::path sample = TIMINGCALC_EXAMPLES "/CDI.asm";
    std::string counted;
    int times = 3;
    // Defaults first, so that flags given on the command line win.
    std::vector<std::string> args = {argv[0], "--benchmark_repetitions=15",
                                     "--benchmark_enable_random_interleaving=true",
                                     "--benchmark_display_aggregates_only=true", "--benchmark_min_time=0.1"};
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.starts_with("--sample="))
            sample = arg.substr(9);
        else if (arg.starts_with("--count="))
            counted = arg.substr(8);
        else if (arg.starts_with("--times="))
            times = std::max(1, std::atoi(arg.c_str() + 8));
        else
            args.push_back(arg);
    }
    if (!counted.empty()) {
        try {
            return CountSteps(counted, times, sample);
        } catch (const std::exception& error) {
            std::cerr << "bench: " << error.what() << '\n';
            return 1;
        }
    }

    std::vector<char*> argp;
    for (auto& arg : args) argp.push_back(arg.data());
    int count = static_cast<int>(argp.size());
    benchmark::Initialize(&count, argp.data());
    if (benchmark::ReportUnrecognizedArguments(count, argp.data())) return 2;

    Workspace ws;
    try {
        ws = MakeWorkspace(sample, fs::temp_directory_path(), kPaddedSizes);
    } catch (const std::exception& error) {
        std::cerr << "bench: " << error.what() << '\n';
        return 1;
    }
    workspace = &ws;
    RegisterCases();

    Collector collector(benchmark::ConsoleReporter::OO_Tabular);
    collector.SetOutputStream(&std::cerr);
    collector.SetErrorStream(&std::cerr);
    benchmark::RunSpecifiedBenchmarks(&collector);
    benchmark::Shutdown();

    std::error_code ignored;
    fs::remove_all(ws.dir, ignored);

    PrintFigures(collector);
    return 0;
}
