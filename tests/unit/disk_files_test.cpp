// The file layer on the real file system of whatever platform runs the tests:
// Linux natively, Windows under wine.
#include "os/files.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#endif
#ifdef __linux__
#include "support/without_capability.h"
#endif

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace tc::os {
namespace {

namespace fs = std::filesystem;

// A fresh folder of its own, removed with everything in it.
class Folder {
public:
    Folder() {
        std::random_device random;
        path_ = fs::temp_directory_path() / ("timingcalc-files-" + std::to_string(random()) + std::to_string(random()));
        fs::create_directories(path_);
    }
    ~Folder() {
        std::error_code ignored;
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(path_, ignored);
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
    const fs::path& Path() const { return path_; }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(path_)) names.push_back(Utf8Of(entry.path().filename()));
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    fs::path path_;
};

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void Put(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// Every byte value once, with CR LF and a Ctrl-Z among them: nothing is translated.
std::string AllBytes() {
    std::string bytes;
    for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
    return bytes + "\r\n\x1a tail";
}

struct WriteCase {
    const char* name;
    std::string file;                             // the target, relative to the folder
    std::function<void(const fs::path&)> before;  // prepares the folder
    std::vector<std::string> pieces;
    bool succeeds;
    std::vector<std::string> namesAfter;  // what the folder holds afterwards
};

class DiskFilesWrite : public ::testing::TestWithParam<WriteCase> {};

TEST_P(DiskFilesWrite, ReplacesWholeOrLeavesAsItWas) {
    const WriteCase& c = GetParam();
    Folder folder;
    if (c.before) c.before(folder.Path());
    const fs::path target = folder.Path() / PathOf(c.file);
    const std::string old = fs::is_regular_file(target) ? Slurp(target) : "";
    std::vector<std::string_view> pieces(c.pieces.begin(), c.pieces.end());

    DiskFiles files;
    const auto error = files.Write(Utf8Of(target), pieces);

    std::string joined;
    for (const auto& piece : c.pieces) joined += piece;
    if (c.succeeds) {
        EXPECT_FALSE(error.has_value()) << *error;
        EXPECT_EQ(Slurp(target), joined);
    } else {
        EXPECT_TRUE(error.has_value());
        EXPECT_FALSE(error.value_or("").empty());
        if (fs::is_regular_file(target)) {
            EXPECT_EQ(Slurp(target), old);
        }
    }
    EXPECT_EQ(folder.Names(), c.namesAfter) << "no temporary file is left behind";
}

const WriteCase kWriteCases[] = {
    {"NewFile", "CDI.asm", nullptr, {"ldi R16, 12\r\n"}, true, {"CDI.asm"}},
    {"ReplacesAnExistingFile",
     "CDI.asm",
     [](const fs::path& f) { Put(f / "CDI.asm", "old text, longer than the new\r\n"); },
     {"new\r\n"},
     true,
     {"CDI.asm"}},
    {"PiecesAreWrittenInOrder", "CDI.asm", nullptr, {"text\r\n", "", "\x1a tail"}, true, {"CDI.asm"}},
    {"EveryByteKept", "CDI.asm", nullptr, {AllBytes()}, true, {"CDI.asm"}},
    {"EmptyFile", "CDI.asm", [](const fs::path& f) { Put(f / "CDI.asm", "something"); }, {}, true, {"CDI.asm"}},
    {"CyrillicName", "прошивка.asm", nullptr, {"\xE1\xEB\xEE\xEA\r\n"}, true, {"прошивка.asm"}},
    {"FolderMissing", "gone/CDI.asm", nullptr, {"text"}, false, {}},
    {"DirectoryInPlaceOfTheFile",
     "CDI.asm",
     [](const fs::path& f) { fs::create_directory(f / "CDI.asm"); },
     {"text"},
     false,
     {"CDI.asm"}},
};

INSTANTIATE_TEST_SUITE_P(Files, DiskFilesWrite, ::testing::ValuesIn(kWriteCases),
                         [](const auto& info) { return std::string(info.param.name); });

void WriteNew(DiskFiles& files, const std::string& path) {
    const std::string_view piece = "new\r\n";
    EXPECT_FALSE(files.Write(path, {&piece, 1}).has_value()) << path;
}

// A name without a folder is saved in the current one, whose entry is flushed too.
TEST(DiskFilesWrite, ANameWithoutAFolderIsTheCurrentFolders) {
    Folder folder;
    Put(folder.Path() / "CDI.asm", "old\r\n");
    const fs::path before = fs::current_path();
    fs::current_path(folder.Path());
    DiskFiles files;
    WriteNew(files, "CDI.asm");
    fs::current_path(before);
    EXPECT_EQ(Slurp(folder.Path() / "CDI.asm"), "new\r\n");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"CDI.asm"});
}

// Whether a write of "new" over the target is refused, in a process that may not
// override permissions: root, as CI runs, meets the refusal an ordinary user meets.
bool WriteIsRefused(const fs::path& target) {
    const auto refused = [&] {
        DiskFiles files;
        const std::string_view piece = "new\r\n";
        return files.Write(Utf8Of(target), {&piece, 1}).has_value() ? 1 : 0;
    };
#ifdef __linux__
    const int answer = test::InChildWithout(CAP_DAC_OVERRIDE, refused);
    EXPECT_GE(answer, 0) << "the child without the capability could not run";
    return answer == 1;
#else
    return refused() == 1;
#endif
}

struct LockCase {
    const char* name;
    fs::path locked;  // relative to the folder: the file, or the folder itself
};

class DiskFilesLocked : public ::testing::TestWithParam<LockCase> {};

TEST_P(DiskFilesLocked, IsRefusedAndKept) {
    Folder folder;
    const fs::path target = folder.Path() / "CDI.asm";
    Put(target, "kept\r\n");
    const fs::path locked = folder.Path() / GetParam().locked;
    // On Windows, for the file, this sets the read-only attribute.
    const auto writable = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    fs::permissions(locked, writable, fs::perm_options::remove);
    EXPECT_TRUE(WriteIsRefused(target));
    fs::permissions(locked, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(Slurp(target), "kept\r\n");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"CDI.asm"});
}

const LockCase kLockCases[] = {
    {"ReadOnlyFile", "CDI.asm"},
#ifndef _WIN32
    {"ReadOnlyFolder", "."},
#endif
};

INSTANTIATE_TEST_SUITE_P(Files, DiskFilesLocked, ::testing::ValuesIn(kLockCases),
                         [](const auto& info) { return std::string(info.param.name); });

#ifndef _WIN32
TEST(DiskFilesPosix, KeepsTheModeAndFollowsALink) {
    Folder folder;
    const fs::path real = folder.Path() / "CDI.asm";
    const fs::path link = folder.Path() / "link.asm";
    Put(real, "old\r\n");
    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink(real, link);
    DiskFiles files;
    const std::string_view piece = "new\r\n";
    ASSERT_FALSE(files.Write(Utf8Of(link), {&piece, 1}).has_value());
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(Slurp(real), "new\r\n");
    EXPECT_EQ(fs::status(real).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"CDI.asm", "link.asm"}));
}

TEST(DiskFilesPosix, ANewFileTakesTheModeTheUmaskLeaves) {
    Folder folder;
    const fs::path target = folder.Path() / "new.asm";
    const mode_t before = ::umask(027);
    DiskFiles files;
    const std::string_view piece = "new\r\n";
    const auto error = files.Write(Utf8Of(target), {&piece, 1});
    ::umask(before);
    ASSERT_FALSE(error.has_value()) << *error;
    EXPECT_EQ(fs::status(target).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

struct ChangeCase {
    const char* name;
    const char* written;  // the name written: the link, or the file itself
    // What another program did to the folder before the write.
    std::function<void(const fs::path& folder)> change;
    std::string cdi, other;  // CDI.asm and other.asm afterwards
    fs::perms mode;          // the mode of the file written
};

class DiskFilesChanged : public ::testing::TestWithParam<ChangeCase> {};

// The write replaces what is there when it runs: another program may have changed the folder.
TEST_P(DiskFilesChanged, TheFileThereNowIsReplaced) {
    const ChangeCase& c = GetParam();
    Folder folder;
    Put(folder.Path() / "CDI.asm", "old\r\n");
    Put(folder.Path() / "other.asm", "other\r\n");
    fs::permissions(folder.Path() / "CDI.asm", fs::perms::owner_read | fs::perms::owner_write);
    fs::permissions(folder.Path() / "other.asm", fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink(folder.Path() / "CDI.asm", folder.Path() / "link.asm");
    DiskFiles files;
    c.change(folder.Path());
    const mode_t umask = ::umask(022);
    WriteNew(files, Utf8Of(folder.Path() / c.written));
    ::umask(umask);
    EXPECT_TRUE(fs::is_symlink(folder.Path() / "link.asm"));
    const fs::path written = fs::canonical(folder.Path() / c.written);
    EXPECT_EQ(fs::status(written).permissions(), c.mode);
    EXPECT_EQ(Slurp(folder.Path() / "CDI.asm"), c.cdi);
    EXPECT_EQ(Slurp(folder.Path() / "other.asm"), c.other);
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"CDI.asm", "link.asm", "other.asm"}));
}

const fs::perms kOwner = fs::perms::owner_read | fs::perms::owner_write;
const fs::perms kShared = kOwner | fs::perms::group_read | fs::perms::others_read;

const auto kModeChanged = [](const fs::path& f) { fs::permissions(f / "CDI.asm", kShared); };
const auto kReplacedByAnEditor = [](const fs::path& f) {
    Put(f / "edited.tmp", "edited\r\n");
    fs::permissions(f / "edited.tmp", kShared);
    fs::rename(f / "edited.tmp", f / "CDI.asm");
};

const ChangeCase kChangeCases[] = {
    {"Unchanged", "link.asm", [](const fs::path&) {}, "new\r\n", "other\r\n", kOwner},
    {"UnchangedFile", "CDI.asm", [](const fs::path&) {}, "new\r\n", "other\r\n", kOwner},
    {"ModeChanged", "link.asm", kModeChanged, "new\r\n", "other\r\n", kShared},
    {"FileModeChanged", "CDI.asm", kModeChanged, "new\r\n", "other\r\n", kShared},
    {"ReplacedByAnEditor", "link.asm", kReplacedByAnEditor, "new\r\n", "other\r\n", kShared},
    {"FileReplacedByAnEditor", "CDI.asm", kReplacedByAnEditor, "new\r\n", "other\r\n", kShared},
    {"FileMadeALink", "CDI.asm",
     [](const fs::path& f) {
         fs::remove(f / "CDI.asm");
         fs::create_symlink(f / "other.asm", f / "CDI.asm");
     },
     "new\r\n", "new\r\n", kOwner},
    // Written anew, as any new file: with the mode the umask leaves.
    {"FileDeleted", "CDI.asm", [](const fs::path& f) { fs::remove(f / "CDI.asm"); }, "new\r\n", "other\r\n", kShared},
    {"LinkPointedElsewhere", "link.asm",
     [](const fs::path& f) {
         fs::remove(f / "link.asm");
         fs::create_symlink(f / "other.asm", f / "link.asm");
     },
     "old\r\n", "new\r\n", kOwner},
};

INSTANTIATE_TEST_SUITE_P(Files, DiskFilesChanged, ::testing::ValuesIn(kChangeCases),
                         [](const auto& info) { return std::string(info.param.name); });
#endif

#ifdef __linux__
struct ModeCase {
    const char* name;
    mode_t mode;
};

class DiskFilesMode : public ::testing::TestWithParam<ModeCase> {};

// A write by a process without CAP_FSETID takes the set-ID bits off a file; the replaced file keeps them all.
TEST_P(DiskFilesMode, TheReplacedFileKeepsEveryModeBit) {
    const ModeCase& c = GetParam();
    test::WithoutCapability noSetId(CAP_FSETID);
    Folder folder;
    const fs::path target = folder.Path() / "CDI.asm";
    Put(target, "old\r\n");
    ASSERT_EQ(::chmod(target.c_str(), c.mode), 0);
    DiskFiles files;
    WriteNew(files, Utf8Of(target));
    struct stat after {};
    ASSERT_EQ(::stat(target.c_str(), &after), 0);
    EXPECT_EQ(after.st_mode & 07777, c.mode);
    EXPECT_EQ(Slurp(target), "new\r\n");
}

const ModeCase kModeCases[] = {
    {"Plain", 0640},
    {"SetUserId", 04755},
    {"SetGroupId", 02755},
};

INSTANTIATE_TEST_SUITE_P(Files, DiskFilesMode, ::testing::ValuesIn(kModeCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A disk that fills up part way, as a limit on the size of any file this process writes.
TEST(DiskFilesFull, AWriteThatRunsOutOfRoomKeepsTheFile) {
    Folder folder;
    const fs::path target = folder.Path() / "CDI.asm";
    Put(target, "old\r\n");
    DiskFiles files;
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 4096;
    const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string big(20000, 'x');
    const std::string_view piece = big;
    const auto error = files.Write(Utf8Of(target), {&piece, 1});
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldSignal);
    EXPECT_TRUE(error.has_value());
    EXPECT_EQ(Slurp(target), "old\r\n");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"CDI.asm"});
}

// The files of the folder that this process still has open, deleted ones included.
int OpenFilesIn(const fs::path& folder) {
    int open = 0;
    for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
        std::error_code gone;  // the iterator's own descriptor is closed by now
        const std::string target = fs::read_symlink(entry.path(), gone).string();
        if (!gone && target.rfind(folder.string() + "/", 0) == 0) ++open;
    }
    return open;
}

struct LetGoCase {
    const char* name;
    int saves;
    bool folderLocked;  // the folder refuses the temporary file: every save fails
};

class DiskFilesLetGo : public ::testing::TestWithParam<LetGoCase> {};

// Every file a save opens, the folder's too, is closed when it returns.
TEST_P(DiskFilesLetGo, NoFileStaysOpen) {
    const LetGoCase& c = GetParam();
    Folder folder;
    const fs::path target = folder.Path() / "CDI.asm";
    Put(target, "first\r\n");
    if (c.folderLocked) fs::permissions(folder.Path(), fs::perms::owner_write, fs::perm_options::remove);
    // The saves made, or 255 when a file stayed open.
    const int saved = test::InChildWithout(CAP_DAC_OVERRIDE, [&] {
        DiskFiles files;
        int done = 0;
        for (int i = 0; i < c.saves; ++i) {
            const std::string bytes = "save " + std::to_string(i) + "\r\n";
            const std::string_view piece = bytes;
            if (!files.Write(Utf8Of(target), {&piece, 1})) ++done;
        }
        return OpenFilesIn(folder.Path()) == 0 ? done : 255;
    });
    fs::permissions(folder.Path(), fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(saved, c.folderLocked ? 0 : c.saves);
    EXPECT_EQ(Slurp(target), c.folderLocked ? "first\r\n" : "save " + std::to_string(c.saves - 1) + "\r\n");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"CDI.asm"});
}

const LetGoCase kLetGoCases[] = {
    {"OneSave", 1, false},
    {"SavesInARow", 20, false},
    {"RefusedSaves", 3, true},
};

INSTANTIATE_TEST_SUITE_P(Files, DiskFilesLetGo, ::testing::ValuesIn(kLetGoCases),
                         [](const auto& info) { return std::string(info.param.name); });
#endif

struct ReadCase {
    const char* name;
    std::string file;
    std::function<void(const fs::path&)> before;
    FileStore::ReadResult::Status status;
    std::string bytes;
};

class DiskFilesRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(DiskFilesRead, ReadsWholeOrSaysWhy) {
    const ReadCase& c = GetParam();
    Folder folder;
    if (c.before) c.before(folder.Path());
    DiskFiles files;
    const auto result = files.Read(Utf8Of(folder.Path() / PathOf(c.file)));
    EXPECT_EQ(result.status, c.status);
    EXPECT_EQ(result.bytes, c.bytes);
}

const ReadCase kReadCases[] = {
    {"EveryByteAsItIs", "CDI.asm", [](const fs::path& f) { Put(f / "CDI.asm", AllBytes()); }, FileStore::ReadResult::Ok,
     AllBytes()},
    {"EmptyFile", "CDI.asm", [](const fs::path& f) { Put(f / "CDI.asm", ""); }, FileStore::ReadResult::Ok, ""},
    {"LargerThanOneBuffer", "CDI.asm", [](const fs::path& f) { Put(f / "CDI.asm", std::string(300000, 'x')); },
     FileStore::ReadResult::Ok, std::string(300000, 'x')},
    {"CyrillicName", "прошивка.asm", [](const fs::path& f) { Put(f / PathOf("прошивка.asm"), "ok"); },
     FileStore::ReadResult::Ok, "ok"},
    {"Missing", "CDI.asm", nullptr, FileStore::ReadResult::CannotOpen, ""},
    {"Directory", "CDI.asm", [](const fs::path& f) { fs::create_directory(f / "CDI.asm"); },
     FileStore::ReadResult::CannotOpen, ""},
};

INSTANTIATE_TEST_SUITE_P(Files, DiskFilesRead, ::testing::ValuesIn(kReadCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tc::os
