// Runs the built timingcalc-cli and looks at what it printed and wrote. The
// expectations come from the sample source and from files written by hand,
// never from the logic library.
#pragma once

#include <gtest/gtest.h>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

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

// What runs the program: nothing natively, the emulator's command for a cross
// build whose programs the system cannot start by itself ("|" between words).
inline std::vector<std::string> Launcher() {
    std::vector<std::string> words;
#ifdef TIMINGCALC_CLI_LAUNCHER
    std::istringstream launcher(TIMINGCALC_CLI_LAUNCHER);
    for (std::string word; std::getline(launcher, word, '|');) words.push_back(word);
#endif
    return words;
}

#ifdef _WIN32
inline std::wstring Wide(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), size);
    return out;
}

// One argument as the C runtime's command-line parser reads it back.
inline std::wstring Quoted(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) return argument;
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, L'\\');
    return out + L"\"";
}

// msvcrt's tmpfile takes its names from a counter, in the drive's root, and gives
// up when it comes upon a name that another test process is still deleting.
inline std::FILE* TemporaryFile() {
    static std::mt19937_64 random{std::random_device{}() ^ GetCurrentProcessId()};
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path name = fs::temp_directory_path() / ("timingcalc-output-" + std::to_string(random()) + ".tmp");
        const int fd =
            _wopen(name.c_str(), _O_CREAT | _O_EXCL | _O_RDWR | _O_BINARY | _O_TEMPORARY, _S_IREAD | _S_IWRITE);
        if (fd < 0) continue;
        if (std::FILE* file = _fdopen(fd, "w+b")) return file;
        _close(fd);
    }
    return nullptr;
}

inline HANDLE InheritableTemporary(std::FILE* file) {
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    SetHandleInformation(handle, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    return handle;
}
#endif

// The program with these arguments, standard input empty; `before` is a
// command that starts it, as setpriv does.
inline Result RunCli(const std::vector<std::string>& arguments, const std::vector<std::string>& before = {}) {
    std::vector<std::string> all = before;
    const std::vector<std::string> launcher = Launcher();
    all.insert(all.end(), launcher.begin(), launcher.end());
    all.push_back(TIMINGCALC_CLI);
    all.insert(all.end(), arguments.begin(), arguments.end());

#ifdef _WIN32
    std::FILE* out = TemporaryFile();
    std::FILE* err = TemporaryFile();
#else
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
#endif
    Result result;
    if (!out || !err) {
        ADD_FAILURE() << "cannot make temporary files for the output";
        if (out) std::fclose(out);
        if (err) std::fclose(err);
        return result;
    }
    bool started = false;
#ifdef _WIN32
    std::wstring commandLine;
    for (const auto& argument : all) commandLine += (commandLine.empty() ? L"" : L" ") + Quoted(Wide(argument));
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE nul =
        CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nul;
    startup.hStdOutput = InheritableTemporary(out);
    startup.hStdError = InheritableTemporary(err);
    PROCESS_INFORMATION process{};
    started =
        CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    if (started) {
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 0;
        if (GetExitCodeProcess(process.hProcess, &code)) result.status = static_cast<int>(code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(nul);
#else
    std::vector<char*> argv;
    for (auto& argument : all) argv.push_back(argument.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, fileno(out), 1);
    posix_spawn_file_actions_adddup2(&actions, fileno(err), 2);
    pid_t pid = 0;
    started = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    if (started) {
        int wstatus = 0;
        while (waitpid(pid, &wstatus, 0) < 0 && errno == EINTR) {}
        if (WIFEXITED(wstatus)) result.status = WEXITSTATUS(wstatus);
    }
#endif
    result.out = ReadStream(out);
    result.err = ReadStream(err);
    if (!started) ADD_FAILURE() << "cannot start " << all.front();
    return result;
}

inline bool RunsAsRoot() {
#ifdef _WIN32
    return false;
#else
    return geteuid() == 0;
#endif
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
        std::random_device random;
        for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
            const fs::path candidate = fs::temp_directory_path() / ("timingcalc-cli-" + std::to_string(random()));
            if (fs::create_directory(candidate)) path_ = candidate;
        }
        if (path_.empty()) ADD_FAILURE() << "cannot make a temporary folder";
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
