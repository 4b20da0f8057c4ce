// The core's outside world for a command line: messages on standard error; the
// file is named by the arguments, so there is no open dialog.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "app/ports.h"

namespace tc::cli {

// Each message on one line, after its box's caption.
class StderrMessages : public Messages {
public:
    explicit StderrMessages(std::ostream& out) : out_(out) {}
    void Warning(const std::string& text) override;
    void Error(const std::string& text) override;
    void AppError(const std::string& text) override;

private:
    void Print(const char* caption, const std::string& text);
    std::ostream& out_;
};

// The file comes from the arguments; nothing here is ever asked.
class NoChooser : public FileChooser {
public:
    std::optional<std::string> ChooseSource(const std::string&) override { return std::nullopt; }
};

// The help, graph and compile buttons have no command; nothing here is ever asked.
class NoDesktop : public Desktop {
public:
    void OpenDocument(const std::string&) override {}
    bool OnSearchPath(const std::string&) override { return false; }
    bool StartDetached(const AssemblerCommand&) override { return false; }
};

}  // namespace tc::cli
