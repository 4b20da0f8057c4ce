// The POSIX half of the file layer: the one place that calls the system directly.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
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

// Sends the file's data on to the disk without waiting for it; the flush after it
// waits, and reports any error.
void StartWriting([[maybe_unused]] int fd) {
#if defined(__linux__)
    ::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
#endif
}

// Runs jobs one after another on a thread of its own, started with the first.
class Worker {
public:
    Worker() = default;
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;
    ~Worker() {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_one();
        if (thread_.joinable()) thread_.join();
    }

    // False when no thread could be had: then the caller does the job itself.
    template <class Job>
    bool Post(const Job& job) {
        try {
            std::lock_guard lock(mutex_);
            if (!thread_.joinable()) thread_ = std::thread([this] { Run(); });
            jobs_.emplace_back(job);
        } catch (const std::exception&) {
            return false;
        }
        wake_.notify_one();
        return true;
    }

    // Returns once every job posted has run.
    void Wait() {
        std::unique_lock lock(mutex_);
        done_.wait(lock, [this] { return jobs_.empty() && running_ == 0; });
    }

private:
    void Run() {
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
            if (jobs_.empty()) return;  // stopping, and every job done
            std::function<void()> job = std::move(jobs_.front());
            jobs_.pop_front();
            ++running_;
            lock.unlock();
            try {
                job();
            } catch (...) {
                // A job reports through what it hands over; what escapes it must not end the program.
            }
            lock.lock();
            --running_;
            done_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable done_;
    std::deque<std::function<void()>> jobs_;
    int running_ = 0;
    bool stopping_ = false;
    std::thread thread_;
};

// The last close of a file that a rename has replaced frees its blocks, which on a
// disk with discard costs about as long as writing them; the save is complete
// without it and need not wait.
Worker& Releaser() {
    static Worker releaser;
    return releaser;
}

void CloseBehind(int fd) {
    if (!Releaser().Post([fd] { ::close(fd); })) ::close(fd);
}

// Begins replacements while the caller works out their bytes: apart from the
// releases, so that a slow close does not hold a save up.
Worker& Beginner() {
    static Worker beginner;
    return beginner;
}

std::atomic<bool> beginAhead{true};  // whether the saves use the beginner thread at all

}  // namespace

void WaitForReleasedFiles() { Releaser().Wait(); }

ReadStatus ReadChunks(const std::string& path, const std::function<bool(std::string_view)>& take) {
    const int fd = ::open(PathOf(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return ReadStatus::CannotOpen;
    struct stat status {};
    if (::fstat(fd, &status) != 0 || S_ISDIR(status.st_mode)) {
        ::close(fd);
        return ReadStatus::CannotOpen;
    }
    char buffer[1 << 16];
    ReadStatus result = ReadStatus::Done;
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) result = ReadStatus::ReadError;
        if (n <= 0 || !take(std::string_view(buffer, static_cast<std::size_t>(n)))) break;
    }
    const int error = errno;
    ::close(fd);
    errno = error;  // the read's, for the message
    return result;
}

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
        if (fd >= 0) CloseBehind(fd);
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

// The old file's owner, group and mode on the new one. Root saving another user's
// file leaves it theirs; a member of the file's group keeps that group.
bool TakeOwnerAndMode(int fd, const struct stat& old) {
    if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
        [[maybe_unused]] const int grouped = ::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
    }
    return ::fchmod(fd, old.st_mode & 07777) == 0;
}

}  // namespace

// A replacement begun before its bytes are known: the target checked, the old
// file held, the temporary made and given the old file's owner and mode.
struct Begun {
    std::string path;  // as the caller named it
    fs::path target;   // what is replaced, a link followed
    struct stat old {};
    bool exists = false;
    HeldFile held;
    fs::path temporary;
    int fd = -1;
    std::optional<std::string> error;  // why it could not be begun

    Begun() = default;
    Begun(const Begun&) = delete;
    Begun& operator=(const Begun&) = delete;
    ~Begun() {
        if (fd < 0) return;
        ::close(fd);
        ::unlink(temporary.c_str());
    }

    void Start(const fs::path& file) {
        target = file;
        if ((error = CheckTarget(target, old, held))) return;
        exists = held.fd >= 0;
        fd = CreateTemporary(target, exists, temporary);
        if (fd < 0 || (exists && !TakeOwnerAndMode(fd, old))) error = ErrnoText(errno);
    }

    // The bytes, on the disk before the rename, so that a crash leaves the old file
    // or the new one, never a part of either; the caller's check runs meanwhile, and
    // when it says no, the old file stays. The folder is not synced: a crash may
    // bring back the old file.
    std::optional<std::string> Finish(std::span<const std::string_view> pieces, const std::function<bool()>& keep) {
        if (error) return error;
        bool done = true;
        for (const std::string_view bytes : pieces) done = done && WriteAll(fd, bytes);
        // A write by a process without CAP_FSETID takes away the set-ID bits: give them back.
        if (done && exists && (old.st_mode & (S_ISUID | S_ISGID)) != 0) done = ::fchmod(fd, old.st_mode & 07777) == 0;
        int failure = done ? 0 : errno;
        bool kept = true;
        if (done) {
            failure = SyncWhile(keep, kept);
            done = failure == 0;
        }
        if (::close(fd) != 0 && done) {
            done = false;
            failure = errno;
        }
        fd = -1;
        if (done && kept && ::rename(temporary.c_str(), target.c_str()) != 0) {
            done = false;
            failure = errno;
        }
        if (!done || !kept) {
            ::unlink(temporary.c_str());
            if (!done) return ErrnoText(failure ? failure : EIO);
            return std::nullopt;
        }
        held.LetGo();
        return std::nullopt;
    }

private:
    // The caller's check, run while the data is on its way to the disk; the flush's
    // error, or 0. The writing of the data is begun first, so that the check costs
    // next to nothing: on another thread, waking it would cost about as much.
    int SyncWhile(const std::function<bool()>& keep, bool& kept) {
        StartWriting(fd);
        kept = keep();
        if (!kept) return 0;  // the temporary file goes: nothing to wait for
        return SyncData(fd) == 0 ? 0 : errno;
    }
};

// What the beginner thread hands over: the replacement once it is begun.
struct BegunSlot {
    std::mutex mutex;
    std::condition_variable ready;
    std::atomic<bool> done{false};  // the beginner thread is through with it: set under the lock
    std::unique_ptr<Begun> begun;   // nothing when not even that could be had
};

// The replacement begun for the path, waited for; nothing when the slot holds another.
std::unique_ptr<Begun> Take(BegunSlot& slot, const std::string& path) {
    // A few looks before the wait, the processor left to others meanwhile: a thread
    // woken from a wait starts some microseconds late, and the begun file is often nearly there.
    for (int look = 0; look < 64 && !slot.done.load(std::memory_order_acquire); ++look) std::this_thread::yield();
    std::unique_lock lock(slot.mutex);
    slot.ready.wait(lock, [&] { return slot.done.load(); });
    std::unique_ptr<Begun> begun = std::move(slot.begun);
    lock.unlock();
    if (!begun || begun->path != path) return nullptr;  // dropped here, its temporary removed
    return begun;
}

bool SetBeginAhead(bool on) { return beginAhead.exchange(on); }

void WaitForBegun() { Beginner().Wait(); }

std::shared_ptr<BegunSlot> BeginReplace(const std::string& path) {
    if (!beginAhead) return nullptr;
    auto slot = std::make_shared<BegunSlot>();
    const auto begin = [slot, path] {
        std::unique_ptr<Begun> begun;
        try {
            begun = std::make_unique<Begun>();
            begun->path = path;
            std::error_code error;
            const fs::path target = ResolveLink(path, error);
            if (error) {
                begun->error = error.message();
            } else {
                begun->Start(target);
            }
        } catch (const std::exception&) {
            begun.reset();  // out of memory: the write does it all itself
        }
        std::lock_guard lock(slot->mutex);
        slot->begun = std::move(begun);
        slot->done = true;
        slot->ready.notify_all();
    };
    if (!Beginner().Post(begin)) begin();
    return slot;
}

// Whether what was begun still fits the file: another program may have changed it
// while the caller worked, which is why the caller reads it once more. The same
// link target, and the same file there, with the same owner and mode.
bool StillFits(const Begun& begun, const std::string& path) {
    struct stat now {};
    bool exists = false;
    if (const fs::path name = PathOf(path); name == begun.target) {
        // No link then: one look, and a link put there since is another inode.
        exists = ::lstat(name.c_str(), &now) == 0;
    } else {
        std::error_code error;
        if (ResolveLink(path, error) != begun.target || error) return false;
        exists = ::stat(begun.target.c_str(), &now) == 0;
    }
    if (exists != begun.exists) return false;
    return !exists ||
           (now.st_dev == begun.old.st_dev && now.st_ino == begun.old.st_ino && now.st_mode == begun.old.st_mode &&
            now.st_uid == begun.old.st_uid && now.st_gid == begun.old.st_gid);
}

bool FinishBegun(BegunSlot& slot, const std::string& path, std::span<const std::string_view> pieces,
                 const std::function<bool()>& keep, std::optional<std::string>& error) {
    std::unique_ptr<Begun> begun = Take(slot, path);
    // One that failed is tried again as a whole too: what failed then may not fail now.
    if (!begun || begun->error || !StillFits(*begun, path)) return false;
    error = begun->Finish(pieces, keep);
    return true;
}

void DropBegun(BegunSlot& slot) { Take(slot, {}); }

std::optional<std::string> ReplaceWhole(const fs::path& target, std::span<const std::string_view> pieces,
                                        const std::function<bool()>& keep) {
    Begun begun;
    begun.Start(target);
    return begun.Finish(pieces, keep);
}

}  // namespace detail

}  // namespace tc::os
