// Files on the disk for every front end: a file read whole, and a write that
// replaces a file as a whole, flushed to the disk, or leaves it as it was.
// Paths are UTF-8 on every platform.
#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/ports.h"

namespace tc::os {

class DiskFiles : public FileStore {
public:
    ReadResult Read(const std::string& path) override;
    // A temporary file beside the target, flushed, renamed over it, and on POSIX
    // the folder flushed too. An existing file keeps its owner and mode; a
    // symbolic link is followed.
    std::optional<std::string> Write(const std::string& path, std::span<const std::string_view> pieces) override;
};

// The path that a UTF-8 name stands for, and back.
std::filesystem::path PathOf(const std::string& utf8);
std::string Utf8Of(const std::filesystem::path& path);

// The program's arguments as UTF-8, whatever the system's code page.
std::vector<std::string> CommandLine(int argc, char* argv[]);
// Lets the console show the UTF-8 that the program writes, lines ended by LF alone.
void PrepareConsole();

#ifdef _WIN32
// A function of a system library, loaded at its first use; null where it is missing.
// The shell's and the open dialog's libraries, with all they load in turn, take a
// tenth of the window's start-up under wine: they load when they are needed.
using SystemFunctionPointer = void (*)();
SystemFunctionPointer SystemFunction(const wchar_t* library, const char* name);
#endif

namespace detail {
// The file a write of the path replaces: a symbolic link followed, since renaming
// over the link would turn it into a file of its own.
std::filesystem::path ResolveLink(const std::string& path, std::error_code& error);
// The platform's half of DiskFiles::Write, for a target that is not a link.
std::optional<std::string> ReplaceWhole(const std::filesystem::path& target, std::span<const std::string_view> pieces);
// A name for a temporary file beside the target, of a fixed length, so that a
// name at the file system's limit can still be saved.
std::filesystem::path TemporaryBeside(const std::filesystem::path& target);
}  // namespace detail

}  // namespace tc::os
