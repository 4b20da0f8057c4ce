// The POSIX half of the file layer: the one place that calls the system directly.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>

#include "os/files.h"

namespace tc::os {

namespace fs = std::filesystem;

std::vector<std::string> CommandLine(int argc, char* argv[]) { return {argv + 1, argv + argc}; }

void PrepareConsole() {}

namespace detail {

namespace {

std::string ErrnoText(int error) { return std::generic_category().message(error); }

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

// Closes files on a thread of its own. The last close of a file that a rename has
// replaced frees its blocks, which on a disk with discard costs about as long as
// writing them; the save is complete without it and need not wait.
class Releaser {
public:
    static Releaser& Instance() {
        static Releaser releaser;
        return releaser;
    }

    void Close(int fd) {
        try {
            std::lock_guard lock(mutex_);
            if (!worker_.joinable()) worker_ = std::thread([this] { Run(); });
            open_.push_back(fd);
        } catch (const std::exception&) {
            ::close(fd);  // no thread to be had: close here, as before
            return;
        }
        wake_.notify_one();
    }

    void Wait() {
        std::unique_lock lock(mutex_);
        done_.wait(lock, [this] { return open_.empty() && closing_ == 0; });
    }

    Releaser(const Releaser&) = delete;
    Releaser& operator=(const Releaser&) = delete;

private:
    Releaser() = default;
    ~Releaser() {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_one();
        if (worker_.joinable()) worker_.join();
    }

    void Run() {
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return stopping_ || !open_.empty(); });
            if (open_.empty()) return;  // stopping, and every file let go
            const int fd = open_.front();
            open_.pop_front();
            ++closing_;
            lock.unlock();
            ::close(fd);
            lock.lock();
            --closing_;
            done_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable done_;
    std::deque<int> open_;
    int closing_ = 0;
    bool stopping_ = false;
    std::thread worker_;
};

}  // namespace

void WaitForReleasedFiles() { Releaser::Instance().Wait(); }

namespace {

// The file being replaced, open from the check until it is let go of.
struct HeldFile {
    int fd = -1;
    HeldFile() = default;
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;
    ~HeldFile() {
        if (fd >= 0) ::close(fd);
    }
    // After the rename: its blocks are freed when it closes, behind the save.
    void LetGo() {
        if (fd >= 0) Releaser::Instance().Close(fd);
        fd = -1;
    }
};

// Whether the file at the target, when there is one, may be replaced; its status when it exists.
std::optional<std::string> CheckTarget(const fs::path& target, struct stat& old, HeldFile& held) {
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (!exists && errno != ENOENT) return ErrnoText(errno);
    if (!exists) return std::nullopt;
    if (S_ISDIR(old.st_mode)) return ErrnoText(EISDIR);
    // The rename needs only the folder's permission: ask the file itself whether it may be changed.
    held.fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK);
    if (held.fd < 0) return ErrnoText(errno);
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

// The bytes, the old file's owner, group and mode, and all of it on the disk.
bool WriteDurably(int fd, std::span<const std::string_view> pieces, const struct stat* old) {
    bool done = true;
    for (const std::string_view bytes : pieces) done = done && WriteAll(fd, bytes);
    if (done && old) {
        // Root saving another user's file leaves it theirs; a member of the file's group keeps that group.
        if (::fchown(fd, old->st_uid, old->st_gid) != 0) {
            [[maybe_unused]] const int grouped = ::fchown(fd, static_cast<uid_t>(-1), old->st_gid);
        }
        done = ::fchmod(fd, old->st_mode & 07777) == 0;
    }
    // On the disk before the rename, so that a crash leaves the old file or the new one, never a part.
    return done && SyncData(fd) == 0;
}

}  // namespace

std::optional<std::string> ReplaceWhole(const fs::path& target, std::span<const std::string_view> pieces) {
    struct stat old {};
    HeldFile held;
    if (auto refused = CheckTarget(target, old, held)) return refused;
    const bool exists = held.fd >= 0;
    fs::path temporary;
    const int fd = CreateTemporary(target, exists, temporary);
    if (fd < 0) return ErrnoText(errno);

    bool done = WriteDurably(fd, pieces, exists ? &old : nullptr);
    int error = done ? 0 : errno;
    if (::close(fd) != 0 && done) {
        done = false;
        error = errno;
    }
    if (done && ::rename(temporary.c_str(), target.c_str()) != 0) {
        done = false;
        error = errno;
    }
    if (!done) {
        ::unlink(temporary.c_str());
        return ErrnoText(error ? error : EIO);
    }
    held.LetGo();
    // The folder is not synced: a crash may bring back the old file, never a part of either.
    return std::nullopt;
}

}  // namespace detail

}  // namespace tc::os
