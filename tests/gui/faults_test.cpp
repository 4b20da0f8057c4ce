// Saving and opening through the real file system when it fails. The window
// shows what went wrong, names the file, and the file on disk keeps every byte.
//
// Each fault is real: a folder without write permission, a folder taken away,
// a directory where the file was, a full file system, and odd files to open.
// Root ignores permissions, so as root the save runs without the capability
// that overrides them, as every ordinary user does.
#include <fcntl.h>
#include <linux/capability.h>
#include <linux/fs.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <functional>

#include "firmware/scanner.h"
#include "gui_support.h"
#include "os/files.h"
#include "support/without_capability.h"

namespace gui {
namespace {

bool WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

std::string Errno(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

// Whether a file of the given size can be written into the folder; the try leaves nothing behind.
bool CanWrite(const QString& folder, qint64 size = 1) {
    const QByteArray name = QFile::encodeName(folder + "/.probe");
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (fd < 0) return false;
    const std::string bytes(static_cast<std::size_t>(size), 'x');
    const bool written =
        ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()) && ::fsync(fd) == 0;
    ::close(fd);
    ::unlink(name.constData());
    return written;
}

using tc::test::WithoutCapability;

// A folder in which no file can be created, by whatever this system allows:
// its write permission taken away, or else its immutable attribute set.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString& folder) : folder_(folder) {
        QFile::setPermissions(folder_, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup);
        if (!CanWrite(folder_)) {
            how_ = "write permission removed";
            return;
        }
        noOverride_.emplace(CAP_DAC_OVERRIDE);
        if (!CanWrite(folder_)) {
            how_ = "write permission removed, saved without the permission override";
            return;
        }
        noOverride_.reset();
        const QByteArray name = QFile::encodeName(folder_);
        fd_ = ::open(name.constData(), O_RDONLY | O_DIRECTORY);
        int flags = 0;
        if (fd_ >= 0 && ioctl(fd_, FS_IOC_GETFLAGS, &flags) == 0) {
            flags |= FS_IMMUTABLE_FL;
            immutable_ = ioctl(fd_, FS_IOC_SETFLAGS, &flags) == 0;
        }
        if (immutable_ && !CanWrite(folder_)) {
            how_ = "immutable attribute";
            return;
        }
        why_ = Errno("neither the permissions nor the immutable attribute keep files out");
    }
    ~ReadOnlyFolder() {
        noOverride_.reset();
        if (immutable_) {
            int flags = 0;
            if (ioctl(fd_, FS_IOC_GETFLAGS, &flags) == 0) {
                flags &= ~FS_IMMUTABLE_FL;
                ioctl(fd_, FS_IOC_SETFLAGS, &flags);
            }
        }
        if (fd_ >= 0) ::close(fd_);
        QFile::setPermissions(folder_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    const std::string& How() const { return how_; }
    const std::string& WhyNot() const { return why_; }

private:
    QString folder_;
    std::optional<WithoutCapability> noOverride_;
    int fd_ = -1;
    bool immutable_ = false;
    std::string how_, why_;
};

// A file system with no room left, holding the file: a small tmpfs mounted
// for this thread alone, filled up; where mounting is not allowed, a limit on
// the size of any file this process writes, below the size of the source.
class FullDisk {
public:
    FullDisk(const QString& folder, const QString& source) : folder_(folder) {
        const QByteArray bytes = ReadAll(source);
        const QByteArray at = QFile::encodeName(folder_);
        if (unshare(CLONE_NEWNS) != 0) {
            why_ = Errno("unshare");
        } else if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
            why_ = Errno("mount --make-rprivate /");
        } else if (mount("tmpfs", at.constData(), "tmpfs", MS_NOSUID | MS_NODEV, "size=256k") != 0) {
            why_ = Errno("mount tmpfs");
        } else {
            mounted_ = true;
            if (WriteAll(folder_ + "/CDI.asm", bytes)) Fill();
            if (!CanWrite(folder_, 4096)) {
                how_ = "small tmpfs, filled up";
                return;
            }
            why_ = "the tmpfs did not fill up";
        }
        if (mounted_) umount2(at.constData(), MNT_DETACH);
        mounted_ = false;
        if (!WriteAll(folder_ + "/CDI.asm", bytes)) return;
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit small = saved_;
        small.rlim_cur = 4096;
        oldSignal_ = std::signal(SIGXFSZ, SIG_IGN);  // a failed write, not the end of the process
        limited_ = setrlimit(RLIMIT_FSIZE, &small) == 0;
        if (limited_ && !CanWrite(folder_, 8192))
            how_ = "file size limit (" + why_ + ")";
        else
            why_ += "; " + Errno("setrlimit");
    }
    ~FullDisk() {
        if (limited_) {
            setrlimit(RLIMIT_FSIZE, &saved_);
            std::signal(SIGXFSZ, oldSignal_);
        }
        if (mounted_) umount2(QFile::encodeName(folder_).constData(), MNT_DETACH);
    }
    const std::string& How() const { return how_; }
    const std::string& WhyNot() const { return why_; }

private:
    void Fill() {
        QFile filler(folder_ + "/filler");
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return;
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size()) {}
        const QByteArray byte(1, 'f');
        while (filler.write(byte) == 1) {}
    }

    QString folder_;
    bool mounted_ = false;
    bool limited_ = false;
    rlimit saved_{};
    void (*oldSignal_)(int) = SIG_DFL;
    std::string how_, why_;
};

class FaultTest : public WindowTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(top.isValid());
        folder = top.filePath("fw");
        ASSERT_TRUE(QDir().mkpath(folder));
        path = folder + "/CDI.asm";
        original = ReadAll(TIMINGCALC_EXAMPLES "/CDI.asm");
        ASSERT_FALSE(original.isEmpty());
        ASSERT_TRUE(WriteAll(path, original));
        Open();
    }
    void Load(const QString& file) {
        chooser.answers.push_back(file.toStdString());
        QTest::mouseClick(window->Button1, Qt::LeftButton);
    }
    // Loads the sample, then changes an angle, so that a save that got through would change the file.
    void LoadAndEdit() {
        Load(path);
        ASSERT_TRUE(messages.all.empty()) << messages.all.front().text;
        TypeIntoCell(4, 3, "5");
    }
    void Save() {
        messages.all.clear();
        QTest::mouseClick(window->Button5, Qt::LeftButton);
    }
    // One application error box, naming the file and giving a reason.
    void ExpectCannotCreate(const QString& file) {
        ASSERT_EQ(messages.all.size(), 1u);
        EXPECT_EQ(messages.all[0].kind, "app");
        const std::string start = "Cannot create file \"" + file.toStdString() + "\". ";
        EXPECT_EQ(messages.all[0].text.substr(0, start.size()), start) << messages.all[0].text;
        EXPECT_GT(messages.all[0].text.size(), start.size()) << "no reason given";
    }

    QTemporaryDir top;
    QString folder, path;
    QByteArray original;
};

TEST_F(FaultTest, SavingIntoAReadOnlyFolderShowsTheErrorAndKeepsTheFile) {
    LoadAndEdit();
    {
        ReadOnlyFolder readOnly(folder);
        if (readOnly.How().empty()) GTEST_SKIP() << "cannot make a folder read-only here: " << readOnly.WhyNot();
        RecordProperty("mechanism", readOnly.How());
        Save();
    }
    ExpectCannotCreate(path);
    EXPECT_EQ(ReadAll(path), original);
    EXPECT_EQ(Entries(folder), QStringList{"CDI.asm"});
}

TEST_F(FaultTest, SavingAfterTheFolderWasTakenAwayShowsTheErrorAndCreatesNothing) {
    struct Case {
        const char* name;
        std::function<bool(const QString& folder)> takeAway;
        bool keepsOriginal;  // the file lives on elsewhere and must not change
    };
    const Case cases[] = {
        {"moved", [](const QString& f) { return QDir().rename(f, f + ".moved"); }, true},
        {"deleted", [](const QString& f) { return QDir(f).removeRecursively(); }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(QDir().mkpath(folder));
        ASSERT_TRUE(WriteAll(path, original));
        messages.all.clear();
        LoadAndEdit();
        ASSERT_TRUE(c.takeAway(folder));
        Save();
        ExpectCannotCreate(path);
        EXPECT_FALSE(QFileInfo::exists(folder)) << "the save made the folder again";
        if (c.keepsOriginal) {
            EXPECT_EQ(ReadAll(folder + ".moved/CDI.asm"), original);
            EXPECT_EQ(Entries(folder + ".moved"), QStringList{"CDI.asm"});
        }
    }
}

TEST_F(FaultTest, SavingOntoADirectoryShowsTheErrorAndLeavesItAsItWas) {
    LoadAndEdit();
    // The file makes way for a directory with a file in it; the file lives on beside it.
    ASSERT_TRUE(QFile::rename(path, folder + "/kept.asm"));
    ASSERT_TRUE(QDir().mkdir(path));
    ASSERT_TRUE(WriteAll(path + "/inside.txt", "inside"));
    Save();
    ExpectCannotCreate(path);
    EXPECT_TRUE(QFileInfo(path).isDir());
    EXPECT_EQ(Entries(path), QStringList{"inside.txt"});
    EXPECT_EQ(ReadAll(path + "/inside.txt"), "inside");
    EXPECT_EQ(ReadAll(folder + "/kept.asm"), original);
    EXPECT_EQ(Entries(folder), (QStringList{"CDI.asm", "kept.asm"}));
}

TEST_F(FaultTest, SavingOntoAFullDiskShowsTheErrorAndKeepsTheFile) {
    const QString disk = top.filePath("disk");
    ASSERT_TRUE(QDir().mkpath(disk));
    const QString file = disk + "/CDI.asm";
    QStringList entries;
    {
        FullDisk full(disk, path);
        if (full.How().empty()) GTEST_SKIP() << "cannot fill a file system here: " << full.WhyNot();
        RecordProperty("mechanism", full.How());
        entries = Entries(disk);
        ASSERT_EQ(ReadAll(file), original);
        Load(file);
        ASSERT_TRUE(messages.all.empty()) << messages.all.front().text;
        TypeIntoCell(4, 3, "5");
        Save();
        ExpectCannotCreate(file);
        EXPECT_EQ(ReadAll(file), original);
        EXPECT_EQ(Entries(disk), entries) << "a temporary file was left behind";
    }
}

// A generated source: the sample with comment lines before its marker up to the size.
QByteArray Padded(const QByteArray& sample, qint64 size) {
    const qsizetype marker = sample.indexOf(QByteArray::fromStdString(tc::kSparkMarker));
    QByteArray padding;
    padding.reserve(size);
    for (int n = 0; sample.size() + padding.size() < size; ++n)
        padding += "; padding line " + QByteArray::number(n).rightJustified(8, '0') + " of a generated source\r\n";
    return sample.left(marker) + padding + sample.mid(marker);
}

// The sample after one comment line of the given length, first, where the text box shows it.
QByteArray WithLongLine(const QByteArray& sample, qint64 length) {
    return ";" + QByteArray(length - 1, 'x') + "\r\n" + sample;
}

QByteArray Noise(int size) {
    QByteArray bytes(size, '\0');
    std::uint32_t state = 12345;
    for (char& b : bytes) {
        state = state * 1103515245u + 12345u;
        b = static_cast<char>(state >> 24);
    }
    return bytes;
}

TEST_F(FaultTest, OddFilesOpenWithoutHarmAndSayWhenNothingCouldBeRead) {
    const std::string marker = "В исходном тексте не найдено: \";блок задержки искры\"";
    const Message missingData{"warning", "Данные не определены"};
    QByteArray withNuls = original;
    withNuls.insert(withNuls.indexOf("\r\n"), QByteArray("\0 a NUL \0", 9));
    withNuls.prepend(QByteArray(2, '\0'));
    struct Case {
        const char* name;
        QByteArray bytes;  // empty with directory set: a directory
        bool directory;
        std::vector<Message> opened;  // with PATH in place of the path
        bool loads;                   // fills the grid from the file
        const char* shown = "";       // and the text box shows this
    };
    const Case cases[] = {
        {"directory", {}, true, {{"error", "Ошибка доступа к файлу PATH"}}, false},
        {"empty file", {}, false, {{"warning", "Файл пуст: PATH"}}, false},
        {"binary file", Noise(64 * 1024), false, {{"warning", marker}}, false},
        {"only NUL bytes", QByteArray(4096, '\0'), false, {{"warning", marker}}, false},
        {"NUL bytes in the sample", withNuls, false, {}, true},
        {"1 MB line", WithLongLine(original, 1 << 20), false, {}, true, "xxx\u2026\n"},
        {"50 MB file", Padded(original, 50 << 20), false, {}, true, "\n[показаны первые "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        window.reset();
        Open();
        const QString file = folder + "/case.asm";
        QDir(file).removeRecursively();
        QFile::remove(file);
        if (c.directory) {
            ASSERT_TRUE(QDir().mkdir(file));
            ASSERT_TRUE(WriteAll(file + "/inside.asm", original));
        } else {
            ASSERT_TRUE(WriteAll(file, c.bytes));
        }
        messages.all.clear();
        Load(file);
        std::vector<Message> expected = c.opened;
        for (auto& r : expected)
            if (const auto at = r.text.find("PATH"); at != std::string::npos) r.text.replace(at, 4, file.toStdString());
        EXPECT_EQ(messages.all, expected);
        EXPECT_EQ(Cell(1, 1), c.loads ? "14" : "");
        if (c.directory || c.bytes.isEmpty()) {
            EXPECT_TRUE(window->Memo1->toPlainText().isEmpty());
        }
        if (c.loads) {
            const QString memo = window->Memo1->toPlainText();
            EXPECT_TRUE(
                memo.contains(QString::fromUtf8(c.bytes.size() < (2 << 20) ? ";блок задержки искры" : "; padding")));
            EXPECT_TRUE(memo.contains(QString::fromUtf8(c.shown))) << c.shown;
        }

        // An unchanged save writes the same bytes; one that cannot run writes nothing.
        Save();
        EXPECT_EQ(messages.all, c.loads ? std::vector<Message>{} : std::vector<Message>{missingData});
        if (c.directory) {
            EXPECT_EQ(Entries(file), QStringList{"inside.asm"});
            EXPECT_EQ(ReadAll(file + "/inside.asm"), original);
        } else {
            EXPECT_TRUE(ReadAll(file) == c.bytes) << "the file changed";
        }
    }
}

// Load times of the sample and of generated sources, through the logic alone
// and through the window, which also shows the text. Reported as test
// properties; the bound only catches work that grows out of proportion.
// Files that give no size (those of /proc say 0) or that are read as they are written still read whole.
TEST(DiskFilesRead, FilesWithoutAKnownSizeReadWhole) {
    const struct {
        const char* path;
        bool sizeKnown;
    } cases[] = {{"/proc/self/mountinfo", false}, {"/proc/version", false}, {TIMINGCALC_EXAMPLES "/CDI.asm", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        if (!QFile::exists(c.path)) GTEST_SKIP() << c.path << " is not here";
        EXPECT_EQ(QFileInfo(c.path).size() > 0, c.sizeKnown);
        tc::os::DiskFiles disk;
        const auto read = disk.Read(c.path);
        ASSERT_EQ(read.status, tc::FileStore::ReadResult::Ok);
        const QByteArray expected = ReadAll(c.path);
        ASSERT_FALSE(expected.isEmpty());
        EXPECT_EQ(read.bytes, expected.toStdString());
    }
}

TEST_F(FaultTest, LoadTimes) {
    struct Case {
        const char* name;
        const char* key;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"CDI.asm", "sample", original},
        {"1 MB", "1MB", Padded(original, 1 << 20)},
        {"1 MB line", "1MB_line", WithLongLine(original, 1 << 20)},
        {"50 MB", "50MB", Padded(original, 50 << 20)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString file = folder + "/timed.asm";
        ASSERT_TRUE(WriteAll(file, c.bytes));

        RecordingMessages logicMessages;
        ScriptedChooser logicChooser;
        RecordingDesktop logicDesktop;
        tc::os::DiskFiles disk;
        tc::Core core(tc::Ports{logicChooser, disk, logicDesktop}, U'.');
        core.Start();
        logicChooser.answers.push_back(file.toStdString());
        QElapsedTimer timer;
        timer.start();
        tc::ShowDiagnostics(logicMessages, core.OpenSource().diagnostics, core.LanguageFlag());
        const qint64 logicMs = timer.elapsed();
        EXPECT_TRUE(logicMessages.all.empty());
        EXPECT_EQ(core.Model().grid.Cell(1, 1), "14");

        window.reset();
        Open();
        messages.all.clear();
        timer.restart();
        Load(file);
        const qint64 windowMs = timer.elapsed();
        EXPECT_TRUE(messages.all.empty());
        EXPECT_EQ(Cell(1, 1), "14");

        RecordProperty(std::string("logic_ms_") + c.key, std::to_string(logicMs));
        RecordProperty(std::string("window_ms_") + c.key, std::to_string(windowMs));
        std::printf("[  load    ] %-10s %9lld bytes: logic %6lld ms, window %6lld ms\n", c.name,
                    static_cast<long long>(c.bytes.size()), static_cast<long long>(logicMs),
                    static_cast<long long>(windowMs));
        // A 1 MB line once took the text box over a minute to lay out.
        EXPECT_LT(windowMs, 30000);
    }
}

}  // namespace
}  // namespace gui
