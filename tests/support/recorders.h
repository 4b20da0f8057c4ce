// The fakes of the core's outside world that unit, GUI, CLI and fuzz tests share:
// a recorder of shown messages, a scripted open dialog, files in memory and a
// desktop that records what it was asked to start.
#pragma once

#include <deque>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/core.h"
#include "app/ports.h"

namespace tc::test {

struct Message {
    std::string kind;  // "warning", "error" or "app"
    std::string text;
    friend bool operator==(const Message&, const Message&) = default;
};

inline void PrintTo(const Message& m, std::ostream* os) { *os << m.kind << ": " << m.text; }

class RecordingMessages : public Messages {
public:
    void Warning(const std::string& text) override { all.push_back({"warning", text}); }
    void Error(const std::string& text) override { all.push_back({"error", text}); }
    void AppError(const std::string& text) override { all.push_back({"app", text}); }
    // As timingcalc-cli prints them: one line each after the caption of its box.
    std::string Printed() const {
        std::string lines;
        for (const auto& m : all) lines += (m.kind == "warning" ? "Warning: " : "Error: ") + m.text + "\n";
        return lines;
    }
    std::vector<Message> all;
};

class ScriptedChooser : public FileChooser {
public:
    std::deque<std::optional<std::string>> answers;  // an empty queue cancels
    std::vector<std::string> proposed;
    std::optional<std::string> ChooseSource(const std::string& proposedName) override {
        proposed.push_back(proposedName);
        if (answers.empty()) return std::nullopt;
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

// Answers questions from a queue; an empty queue cancels. Records what was asked.
class ScriptedQuestions : public Questions {
public:
    std::deque<Answer> answers;
    std::vector<Question> asked;
    Answer Ask(const Question& question) override {
        asked.push_back(question);
        if (answers.empty()) return Answer::Cancel;
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

class MemoryFiles : public FileStore {
public:
    std::map<std::string, std::string> files;
    std::map<std::string, std::string> readErrors;  // path: the error its read ends with
    std::optional<std::string> writeError;          // set: every write fails with it
    int writes = 0;
    ReadResult Read(const std::string& path) override {
        if (const auto bad = readErrors.find(path); bad != readErrors.end())
            return {ReadResult::ReadError, {}, bad->second};
        const auto it = files.find(path);
        if (it == files.end()) return {ReadResult::CannotOpen, {}, "No such file"};
        return {ReadResult::Ok, it->second, {}};
    }
    std::optional<std::string> Write(const std::string& path, std::span<const std::string_view> pieces) override {
        ++writes;
        if (writeError) return writeError;
        std::string& file = files[path];
        file.clear();
        for (const std::string_view piece : pieces) file += piece;
        return std::nullopt;
    }
};

class RecordingDesktop : public Desktop {
public:
    std::set<std::string> onPath{"x-terminal-emulator", "avrasm2"};
    bool startSucceeds = true;
    std::string cliBeside;                         // ProgramBeside's answer for timingcalc-cli
    std::set<std::string> currentFolder;           // the documents of the current folder
    std::map<std::string, std::string> installed;  // InstalledDocument's answers by name
    std::vector<std::string> documents;
    std::vector<AssemblerCommand> started;
    void OpenDocument(const std::string& name) override { documents.push_back(name); }
    bool OnSearchPath(const std::string& program) override { return onPath.count(program) != 0; }
    bool StartDetached(const AssemblerCommand& command) override {
        started.push_back(command);
        return startSucceeds;
    }
    std::string ProgramBeside(const std::string& name) override { return name == "timingcalc-cli" ? cliBeside : ""; }
    bool InCurrentFolder(const std::string& name) override { return currentFolder.count(name) != 0; }
    std::string InstalledDocument(const std::string& name) override {
        const auto it = installed.find(name);
        return it == installed.end() ? "" : it->second;
    }
};

// The recorders a window gets in place of its dialogs, desktop and questions.
struct WindowRecorders {
    RecordingMessages messages;
    ScriptedChooser chooser;
    RecordingDesktop desktop;
    ScriptedQuestions questions;

    WindowServices Services(std::optional<char32_t> separator = std::nullopt) {
        return {&messages, &chooser, nullptr, &desktop, &questions, separator};
    }
};

// A core wired to the recorders, started as the window starts.
struct Harness {
    RecordingMessages messages;
    ScriptedChooser chooser;
    MemoryFiles files;
    RecordingDesktop desktop;
    ScriptedQuestions questions;
    Core core;

    explicit Harness(char32_t separator = U'.', bool windowsPaths = false)
        : core(Ports{chooser, files, desktop, &questions}, separator, windowsPaths) {
        core.Start();
    }
    // Shows what the outcome says, as the window does; true when it ran to its end.
    bool Show(const Outcome& outcome) {
        ShowDiagnostics(messages, outcome.diagnostics, core.LanguageFlag());
        return outcome.Ok();
    }
    // Puts the bytes at the path and opens it through the open dialog, giving up unsaved changes.
    void Load(const std::string& bytes, const std::string& path = "/fw/CDI.asm") {
        files.files[path] = bytes;
        if (core.Unsaved()) questions.answers.push_back(Answer::No);
        chooser.answers.push_back(path);
        Show(core.OpenSource());
    }
    const std::string& Cell(int column, int row) const { return core.Model().grid.Cell(column, row); }
    void SetCell(int column, int row, std::string text) {
        Show(core.Edit({Field::Cell, column, row}, std::move(text)));
    }
};

}  // namespace tc::test
