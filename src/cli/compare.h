// What set --dry-run and diff print: the lines a save would change, and the
// values two sources hold differently.
#pragma once

#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "app/core.h"

namespace tc::cli {

// The disk for reading; a write is kept here instead of going to the disk.
class PreviewFiles : public FileStore {
public:
    explicit PreviewFiles(FileStore& disk) : disk_(disk) {}
    ReadResult Read(const std::string& path) override;
    std::optional<std::string> Write(const std::string& path, std::span<const std::string_view> pieces) override;
    // The bytes last read of the path written, and what would have been written.
    const std::string& Before() const { return before_; }
    const std::optional<std::string>& After() const { return after_; }

private:
    FileStore& disk_;
    std::string lastPath_, lastRead_, before_;
    std::optional<std::string> after_;
};

// A unified diff of two texts with the same lines, three lines of context, in UTF-8.
void PrintLineChanges(std::ostream& out, const std::string& name, std::string_view before, std::string_view after);
// The lines whose text stays but whose break differs, which the diff above does not
// show: a save ends every line of the text with CR LF.
std::size_t CountChangedLineBreaks(std::string_view before, std::string_view after);

// The spark duration, the speeds and the three tables where a and b differ; true when they do.
bool PrintDifferences(std::ostream& out, const Core& a, const Core& b, int sensor, bool json);

}  // namespace tc::cli
