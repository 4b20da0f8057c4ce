// The logic's outside world for a command line: messages on standard error and
// the file named by the arguments instead of the open dialog.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "app/ports.h"

namespace tc::cli {

// Each message on one line, after its box's caption; counted so that the
// exit status can tell whether anything was refused or failed.
class StderrMessages : public Messages {
public:
    explicit StderrMessages(std::ostream& out) : out_(out) {}
    void Warning(const std::string& text) override;
    void Error(const std::string& text) override;
    void AppError(const std::string& text) override;
    int Count() const { return count_; }

private:
    void Print(const char* caption, const std::string& text);
    std::ostream& out_;
    int count_ = 0;
};

// Answers the open dialog with the FILE argument.
class ArgumentChooser : public FileChooser {
public:
    explicit ArgumentChooser(std::string path) : path_(std::move(path)) {}
    std::optional<std::string> ChooseSource(const std::string&) override { return path_; }

private:
    std::string path_;
};

// The help, graph and compile buttons have no command; nothing here is ever asked.
class NoDesktop : public Desktop {
public:
    void OpenDocument(const std::string&) override {}
    bool OnSearchPath(const std::string&) override { return false; }
    bool StartDetached(const AssemblerCommand&) override { return false; }
};

}  // namespace tc::cli
