// Runs the built timingcalc-cli and looks at what it printed and wrote. The
// expectations come from the sample source and from files written by hand,
// never from the logic library.
#pragma once

#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

extern char** environ;

namespace cli {

namespace fs = std::filesystem;

struct Result {
    int status = -1;  // exit status; -1 when the program did not exit normally
    std::string out;
    std::string err;
};

inline std::string ReadStream(std::FILE* file) {
    std::string text;
    std::rewind(file);
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, n);
    std::fclose(file);
    return text;
}

// The program with these arguments, standard input empty.
inline Result RunCli(const std::vector<std::string>& arguments) {
    std::vector<std::string> all{TIMINGCALC_CLI};
    all.insert(all.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& argument : all) argv.push_back(argument.data());
    argv.push_back(nullptr);

    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, fileno(out), 1);
    posix_spawn_file_actions_adddup2(&actions, fileno(err), 2);
    pid_t pid = 0;
    Result result;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned == 0) {
        int wstatus = 0;
        while (waitpid(pid, &wstatus, 0) < 0) {
        }
        if (WIFEXITED(wstatus)) result.status = WEXITSTATUS(wstatus);
    }
    result.out = ReadStream(out);
    result.err = ReadStream(err);
    if (spawned != 0) ADD_FAILURE() << "cannot start " << argv[0];
    return result;
}

inline void PrintTo(const Result& r, std::ostream* os) {
    *os << "status " << r.status << "\n--- stdout\n" << r.out << "--- stderr\n" << r.err;
}

inline std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.is_open()) << "cannot read " << path;
    return {std::istreambuf_iterator<char>(in), {}};
}

inline void WriteFile(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << "cannot write " << path;
}

inline std::string Sample() { return ReadFile(fs::path(TIMINGCALC_EXAMPLES) / "CDI.asm"); }
inline std::string Expected(const std::string& name) { return ReadFile(fs::path(TIMINGCALC_CLI_EXPECTED) / name); }

// A fresh folder, removed with everything in it.
class Folder {
public:
    Folder() {
        std::string pattern = (fs::temp_directory_path() / "timingcalc-cli-XXXXXX").string();
        if (!mkdtemp(pattern.data())) ADD_FAILURE() << "mkdtemp failed";
        path_ = pattern;
    }
    ~Folder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    fs::path operator/(const std::string& name) const { return path_ / name; }
    const fs::path& Path() const { return path_; }
    // The names in the folder, sorted: a left-over temporary file shows here.
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(path_)) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    fs::path path_;
};

inline std::string ReplaceAll(std::string text, std::string_view from, std::string_view to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// Replaces the first `from` at or after `after`; fails the test when there is none.
inline std::string ReplaceOnce(std::string text, std::string_view from, std::string_view to, std::size_t after = 0) {
    const std::size_t at = text.find(from, after);
    EXPECT_NE(at, std::string::npos) << "not in the text: " << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

inline std::string Join(const std::vector<std::string>& items) {
    std::string joined;
    for (const auto& item : items) joined += (joined.empty() ? "" : ",") + item;
    return joined;
}

// One row of show's text table: rpm, code1, code2, code3, angle.
using Row = std::vector<std::string>;

// The 32 rows of show's text output, after its header line.
inline std::vector<Row> TableRows(const std::string& out) {
    std::vector<Row> rows;
    std::istringstream lines(out);
    bool inTable = false;
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        Row row{std::istream_iterator<std::string>(words), {}};
        if (inTable) rows.push_back(row);
        inTable = inTable || (!row.empty() && row[0] == "rpm");
    }
    return rows;
}

// Where entry `row` (1 to 32) of table t stands: its code and its comment's angle.
struct EntrySpan {
    std::size_t code = 0, codeLength = 0, angle = 0, angleLength = 0;
};

inline std::optional<EntrySpan> FindEntry(const std::string& source, int t, int row) {
    std::size_t at = source.find("FuozTable" + std::to_string(t) + ":");
    for (int k = 0; k < row && at != std::string::npos; ++k) at = source.find("\nldi R16, ", at + 1);
    if (at == std::string::npos) return std::nullopt;
    EntrySpan span;
    span.code = at + 10;
    const std::size_t tab = source.find('\t', span.code);
    const std::size_t next = source.find('\n', span.code);
    if (tab == std::string::npos || next == std::string::npos) return std::nullopt;
    span.codeLength = tab - span.code;
    const std::size_t degree = source.find('\xB0', next);  // Windows-1251 degree sign
    if (degree == std::string::npos) return std::nullopt;
    const std::size_t comma = source.rfind(", ", degree);
    if (comma == std::string::npos || comma < next) return std::nullopt;
    span.angle = comma + 2;
    span.angleLength = degree - span.angle;
    return span;
}

// Table t (1 to 3) of a source as written: the code of each entry and the
// angle of its comment, from the lines after the label.
struct SourceTable {
    std::vector<std::string> codes;
    std::vector<std::string> angles;
};

inline SourceTable TableOf(const std::string& source, int t) {
    SourceTable table;
    for (int row = 1; row <= 32; ++row) {
        const auto span = FindEntry(source, t, row);
        if (!span) {
            ADD_FAILURE() << "table " << t << " has no entry " << row;
            break;
        }
        table.codes.push_back(source.substr(span->code, span->codeLength));
        table.angles.push_back(source.substr(span->angle, span->angleLength));
    }
    return table;
}

// The source with entry `row` of table t changed: its code and its comment's angle.
inline std::string WithEntry(std::string source, int t, int row, const std::string& code, const std::string& angle) {
    const auto span = FindEntry(source, t, row);
    if (!span) {
        ADD_FAILURE() << "table " << t << " has no entry " << row;
        return source;
    }
    source.replace(span->angle, span->angleLength, angle);  // the later one first
    source.replace(span->code, span->codeLength, code);
    return source;
}

}  // namespace cli
