// Files on the disk for every front end: a file read whole, and a write that
// replaces a file as a whole, flushed to the disk, or leaves it as it was.
// Paths are UTF-8 on every platform.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/ports.h"

namespace tc::os {

namespace detail {
struct BegunSlot;
}

class DiskFiles : public FileStore {
public:
    DiskFiles() = default;
    DiskFiles(const DiskFiles&) = delete;
    DiskFiles& operator=(const DiskFiles&) = delete;
    ~DiskFiles() override;
    ReadResult Read(const std::string& path) override;
    Comparison Compare(const std::string& path, std::span<const std::string_view> pieces) override;
    // A temporary file beside the target, flushed, then renamed over it. An
    // existing file keeps its permissions; on POSIX a symbolic link is followed.
    std::optional<std::string> Write(const std::string& path, std::span<const std::string_view> pieces) override;
    // On Linux the check runs while the data is on its way to the disk.
    std::optional<std::string> WriteChecked(const std::string& path, std::span<const std::string_view> pieces,
                                            const std::function<bool()>& keep) override;
    // On POSIX the temporary file is made on a thread of its own meanwhile.
    void Prepare(const std::string& path) override;
    void Drop() override;
    int Writes() const { return writes_; }

private:
    int writes_ = 0;
    std::shared_ptr<detail::BegunSlot> begun_;
};

// The path that a UTF-8 name stands for, and back.
std::filesystem::path PathOf(const std::string& utf8);
std::string Utf8Of(const std::filesystem::path& path);

// The program's arguments as UTF-8, whatever the system's code page.
std::vector<std::string> CommandLine(int argc, char* argv[]);
// Lets the console show the UTF-8 that the program writes, lines ended by LF alone.
void PrepareConsole();

namespace detail {
// The file a write of the path replaces: a symbolic link followed, since renaming
// over the link would turn it into a file of its own.
std::filesystem::path ResolveLink(const std::string& path, std::error_code& error);
// The platform's half of DiskFiles::Write, for a target that is not a link.
std::optional<std::string> ReplaceWhole(const std::filesystem::path& target, std::span<const std::string_view> pieces,
                                        const std::function<bool()>& keep);
// The platform's half of Prepare: what a replacement of the path can do before
// its bytes are known, begun on a thread of its own (POSIX; elsewhere nothing).
std::shared_ptr<BegunSlot> BeginReplace(const std::string& path);
// Whether saves use the thread of their own (they do unless turned off) to begin
// replacements. It shares the process's credentials and mounts, not those that a
// test gives one thread alone: such tests turn it off meanwhile, as does an
// instruction count that is to see every step. Returns what it was.
bool SetBeginAhead(bool on);
// Returns once the saves' thread of its own has done all it was given (POSIX).
void WaitForBegun();
// Writes the pieces through what was begun, when it was begun for this path;
// false, and what was begun let go of, when not.
bool FinishBegun(BegunSlot& slot, const std::string& path, std::span<const std::string_view> pieces,
                 const std::function<bool()>& keep, std::optional<std::string>& error);
// Lets go of what was begun, its temporary file removed.
void DropBegun(BegunSlot& slot);
// Hands the file's bytes to `take` a chunk at a time, until the end or until
// `take` answers false. A read error leaves errno set.
enum class ReadStatus { Done, CannotOpen, ReadError };
ReadStatus ReadChunks(const std::string& path, const std::function<bool(std::string_view)>& take);
// Returns once every file that a save replaced has been let go of (POSIX; they are
// closed behind the saves, on a thread of their own).
void WaitForReleasedFiles();
// A name for a temporary file beside the target, of a fixed length, so that a
// name at the file system's limit can still be saved.
std::filesystem::path TemporaryBeside(const std::filesystem::path& target);
}  // namespace detail

}  // namespace tc::os
