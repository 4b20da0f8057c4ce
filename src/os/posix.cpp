// The POSIX half of the file layer: the one place that calls the system directly.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "os/files.h"

namespace tc::os {

namespace fs = std::filesystem;

std::vector<std::string> CommandLine(int argc, char* argv[]) { return {argv + 1, argv + argc}; }

void PrepareConsole() {}

namespace detail {

namespace {

std::string ErrnoText(int error) { return std::generic_category().message(error ? error : EIO); }

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

int SyncData(int fd) {
#if defined(__linux__)
    return ::fdatasync(fd);
#else
    return ::fsync(fd);
#endif
}

// Whether the file at the target, when there is one, may be replaced; its status when it exists.
std::optional<std::string> CheckTarget(const fs::path& target, struct stat& old, bool& exists) {
    exists = ::stat(target.c_str(), &old) == 0;
    if (!exists) return errno == ENOENT ? std::nullopt : std::optional(ErrnoText(errno));
    if (S_ISDIR(old.st_mode)) return ErrnoText(EISDIR);
    // The rename needs only the folder's permission: ask the file itself whether it may be changed.
    const int probe = ::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK);
    if (probe < 0) return ErrnoText(errno);
    ::close(probe);
    return std::nullopt;
}

// A new file of our own beside the target; -1 with errno set when none could be made.
int CreateTemporary(const fs::path& target, bool replacing, fs::path& temporary) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = TemporaryBeside(target);
        // A new file gets the usual mode through the umask; a replaced one takes its own later.
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, replacing ? 0600 : 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

// The old file's owner, group and mode on the new one. Root saving another user's
// file leaves it theirs; a member of the file's group keeps that group. After the
// bytes, since a write by an ordinary user clears the set-ID bits.
bool TakeOwnerAndMode(int fd, const struct stat& old) {
    if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
        [[maybe_unused]] const int grouped = ::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
    }
    return ::fchmod(fd, old.st_mode & 07777) == 0;
}

// The bytes into the temporary file, with the old file's owner and mode, on the
// disk before the rename: a crash then leaves the old file or the new one, never a
// part of either. The error number, or 0.
int Fill(int fd, std::span<const std::string_view> pieces, const struct stat* old) {
    for (const std::string_view bytes : pieces)
        if (!WriteAll(fd, bytes)) return errno ? errno : EIO;
    if (old && !TakeOwnerAndMode(fd, *old)) return errno;
    return SyncData(fd) == 0 ? 0 : errno;
}

// The rename lives in the folder: flushed, it survives a power cut.
int SyncFolder(const fs::path& target) {
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return errno;
    // A file system that cannot flush a folder says EINVAL: it has nothing to flush.
    int failure = ::fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
    if (::close(fd) != 0 && failure == 0) failure = errno;
    return failure;
}

}  // namespace

std::optional<std::string> ReplaceWhole(const fs::path& target, std::span<const std::string_view> pieces) {
    struct stat old {};
    bool exists = false;
    if (auto refused = CheckTarget(target, old, exists)) return refused;
    fs::path temporary;
    const int fd = CreateTemporary(target, exists, temporary);
    if (fd < 0) return ErrnoText(errno);

    int failure = Fill(fd, pieces, exists ? &old : nullptr);
    if (::close(fd) != 0 && failure == 0) failure = errno;
    if (failure == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) failure = errno;
    if (failure != 0) {
        // Only our own temporary: another save's may still be being written.
        ::unlink(temporary.c_str());
        return ErrnoText(failure);
    }
    // The file holds the new bytes now; a save that cannot be made to last is still reported.
    if (const int folder = SyncFolder(target); folder != 0) return ErrnoText(folder);
    return std::nullopt;
}

}  // namespace detail

}  // namespace tc::os
