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
#include <optional>
#include <random>
#include <stdexcept>
#include <tuple>
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

bool IsRoot() {
#ifdef _WIN32
    return false;
#else
    return geteuid() == 0;
#endif
}

#ifdef __linux__
// Whether this process can open a file that has no write permission for writing.
bool CanWriteReadOnlyFiles() {
    const fs::path probe = fs::temp_directory_path() / ("timingcalc-probe-" + std::to_string(::getpid()));
    Put(probe, "");
    fs::permissions(probe, fs::perms::owner_read);
    const int fd = ::open(probe.c_str(), O_WRONLY);
    if (fd >= 0) ::close(fd);
    fs::remove(probe);
    return fd >= 0;
}
#else
bool CanWriteReadOnlyFiles() { return false; }
#endif

struct WriteCase {
    const char* name;
    std::string file;                             // the target, relative to the folder
    std::function<void(const fs::path&)> before;  // prepares the folder
    std::vector<std::string> pieces;
    bool succeeds;
    std::vector<std::string> namesAfter;  // what the folder holds afterwards
};

// Each case written straight away, and prepared first as a save does.
class DiskFilesWrite : public ::testing::TestWithParam<std::tuple<WriteCase, bool>> {};

TEST_P(DiskFilesWrite, ReplacesWholeOrLeavesAsItWas) {
    const auto& [c, prepared] = GetParam();
    Folder folder;
    if (c.before) c.before(folder.Path());
    const fs::path target = folder.Path() / PathOf(c.file);
    const std::string old = fs::is_regular_file(target) ? Slurp(target) : "";
    std::vector<std::string_view> pieces(c.pieces.begin(), c.pieces.end());

    DiskFiles files;
    if (prepared) files.Prepare(Utf8Of(target));
    const auto error = files.Write(Utf8Of(target), pieces);

    std::string joined;
    for (const auto& piece : c.pieces) joined += piece;
    if (c.succeeds) {
        EXPECT_FALSE(error.has_value()) << *error;
        EXPECT_EQ(Slurp(target), joined);
        EXPECT_EQ(files.Writes(), 1);
    } else {
        EXPECT_TRUE(error.has_value());
        EXPECT_FALSE(error.value_or("").empty());
        if (fs::is_regular_file(target)) {
            EXPECT_EQ(Slurp(target), old);
        }
        EXPECT_EQ(files.Writes(), 0);
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

INSTANTIATE_TEST_SUITE_P(Files, DiskFilesWrite, ::testing::Combine(::testing::ValuesIn(kWriteCases), ::testing::Bool()),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) ? "_Prepared" : "");
                         });

struct PrepareCase {
    const char* name;
    // What is done with the files once CDI.asm holds "old": the file names prepared or written.
    std::function<void(DiskFiles&, const fs::path& folder)> act;
    std::string cdi;                      // CDI.asm afterwards
    std::vector<std::string> namesAfter;  // no temporary file among them
    bool leftPrepared = false;            // the temporary stays until the store goes
};

std::string Name(const fs::path& folder, const char* file) { return Utf8Of(folder / file); }

void WriteNew(DiskFiles& files, const std::string& path) {
    const std::string_view piece = "new\r\n";
    EXPECT_FALSE(files.Write(path, {&piece, 1}).has_value()) << path;
}

class DiskFilesPrepare : public ::testing::TestWithParam<PrepareCase> {};

TEST_P(DiskFilesPrepare, WhatIsPreparedIsTakenUpOrLeavesNothing) {
    const PrepareCase& c = GetParam();
    Folder folder;
    Put(folder.Path() / "CDI.asm", "old\r\n");
    {
        DiskFiles files;
        c.act(files, folder.Path());
        // Checked while the store lives: a preparation let go of is gone at once.
        EXPECT_EQ(Slurp(folder.Path() / "CDI.asm"), c.cdi);
        if (!c.leftPrepared) {
            EXPECT_EQ(folder.Names(), c.namesAfter);
        }
    }
    EXPECT_EQ(folder.Names(), c.namesAfter);
}

const PrepareCase kPrepareCases[] = {
    {"Dropped",
     [](DiskFiles& files, const fs::path& f) {
         files.Prepare(Name(f, "CDI.asm"));
         files.Drop();
     },
     "old\r\n",
     {"CDI.asm"}},
    {"PreparedForAnotherFile",
     [](DiskFiles& files, const fs::path& f) {
         files.Prepare(Name(f, "CDI.asm"));
         WriteNew(files, Name(f, "other.asm"));
     },
     "old\r\n",
     {"CDI.asm", "other.asm"}},
    {"PreparedTwice",
     [](DiskFiles& files, const fs::path& f) {
         files.Prepare(Name(f, "other.asm"));
         files.Prepare(Name(f, "CDI.asm"));
         WriteNew(files, Name(f, "CDI.asm"));
     },
     "new\r\n",
     {"CDI.asm"}},
    {"WrittenTwiceAfterOnePreparation",
     [](DiskFiles& files, const fs::path& f) {
         files.Prepare(Name(f, "CDI.asm"));
         WriteNew(files, Name(f, "CDI.asm"));
         WriteNew(files, Name(f, "CDI.asm"));
     },
     "new\r\n",
     {"CDI.asm"}},
    {"LeftUnused",
     [](DiskFiles& files, const fs::path& f) { files.Prepare(Name(f, "CDI.asm")); },
     "old\r\n",
     {"CDI.asm"},
     true},
};

INSTANTIATE_TEST_SUITE_P(Files, DiskFilesPrepare, ::testing::ValuesIn(kPrepareCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DiskFilesWrite, ReadOnlyFileIsRefusedAndKept) {
#ifdef __linux__
    // Root meets the refusal too once its permission override is set aside.
    test::WithoutCapability noOverride(CAP_DAC_OVERRIDE);
#endif
    if (IsRoot() && CanWriteReadOnlyFiles()) GTEST_SKIP() << "this root may write any file";
    Folder folder;
    const fs::path target = folder.Path() / "CDI.asm";
    Put(target, "kept\r\n");
    // On Windows this sets the read-only attribute.
    fs::permissions(target, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    DiskFiles files;
    const std::string_view piece = "new\r\n";
    EXPECT_TRUE(files.Write(Utf8Of(target), {&piece, 1}).has_value());
    EXPECT_EQ(Slurp(target), "kept\r\n");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"CDI.asm"});
    fs::permissions(target, fs::perms::owner_write, fs::perm_options::add);
}

struct CheckCase {
    const char* name;
    bool prepared;
    enum Answer { Keep, Refuse, Throw } answer;
};

class DiskFilesCheck : public ::testing::TestWithParam<CheckCase> {};

// The check runs once, while the bytes go to the disk; a refusal or a throw leaves the old file and nothing else.
TEST_P(DiskFilesCheck, TheCheckDecidesWhetherTheFileIsReplaced) {
    const CheckCase& c = GetParam();
    Folder folder;
    const fs::path target = folder.Path() / "CDI.asm";
    Put(target, "old\r\n");
    DiskFiles files;
    if (c.prepared) files.Prepare(Utf8Of(target));
    int checks = 0;
    const auto check = [&] {
        ++checks;
        if (c.answer == CheckCase::Throw) throw std::runtime_error("check failed");
        return c.answer == CheckCase::Keep;
    };
    const std::string_view piece = "new\r\n";
    std::optional<std::string> error;
    bool threw = false;
    try {
        error = files.WriteChecked(Utf8Of(target), {&piece, 1}, check);
    } catch (const std::runtime_error&) {
        threw = true;
    }
    EXPECT_EQ(checks, 1);
    EXPECT_EQ(threw, c.answer == CheckCase::Throw);
    EXPECT_FALSE(error.has_value());
    EXPECT_EQ(Slurp(target), c.answer == CheckCase::Keep ? "new\r\n" : "old\r\n");
    EXPECT_EQ(files.Writes(), c.answer == CheckCase::Keep ? 1 : 0);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"CDI.asm"});
}

const CheckCase kCheckCases[] = {
    {"Kept", false, CheckCase::Keep},         {"KeptPrepared", true, CheckCase::Keep},
    {"Refused", false, CheckCase::Refuse},    {"RefusedPrepared", true, CheckCase::Refuse},
    {"CheckThrows", false, CheckCase::Throw}, {"CheckThrowsPrepared", true, CheckCase::Throw},
};

INSTANTIATE_TEST_SUITE_P(Files, DiskFilesCheck, ::testing::ValuesIn(kCheckCases),
                         [](const auto& info) { return std::string(info.param.name); });

#ifndef _WIN32
// Written straight away, and prepared first as a save does.
class DiskFilesPosix : public ::testing::TestWithParam<bool> {};

TEST_P(DiskFilesPosix, KeepsTheModeAndFollowsALink) {
    Folder folder;
    const fs::path real = folder.Path() / "CDI.asm";
    const fs::path link = folder.Path() / "link.asm";
    Put(real, "old\r\n");
    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink(real, link);
    DiskFiles files;
    if (GetParam()) files.Prepare(Utf8Of(link));
    const std::string_view piece = "new\r\n";
    ASSERT_FALSE(files.Write(Utf8Of(link), {&piece, 1}).has_value());
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(Slurp(real), "new\r\n");
    EXPECT_EQ(fs::status(real).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"CDI.asm", "link.asm"}));
}

TEST_P(DiskFilesPosix, ANewFileTakesTheModeTheUmaskLeaves) {
    Folder folder;
    const fs::path target = folder.Path() / "new.asm";
    const mode_t before = ::umask(027);
    DiskFiles files;
    if (GetParam()) files.Prepare(Utf8Of(target));
    const std::string_view piece = "new\r\n";
    const auto error = files.Write(Utf8Of(target), {&piece, 1});
    ::umask(before);
    ASSERT_FALSE(error.has_value()) << *error;
    EXPECT_EQ(fs::status(target).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

INSTANTIATE_TEST_SUITE_P(Files, DiskFilesPosix, ::testing::Bool(),
                         [](const auto& info) { return std::string(info.param ? "Prepared" : "Straight"); });

struct ChangeCase {
    const char* name;
    const char* prepared;  // the name prepared and written: the link, or the file itself
    // What another program does to the folder between the preparation and the write.
    std::function<void(const fs::path& folder)> change;
    std::string cdi, other;  // CDI.asm and other.asm afterwards
    fs::perms written;       // the mode of the file written
};

class DiskFilesChanged : public ::testing::TestWithParam<ChangeCase> {};

// The save reads the file once more before it writes, because another program may have changed
// it: what was prepared before must give way to what is there now.
TEST_P(DiskFilesChanged, APreparationThatNoLongerFitsIsMadeAgain) {
    const ChangeCase& c = GetParam();
    Folder folder;
    Put(folder.Path() / "CDI.asm", "old\r\n");
    Put(folder.Path() / "other.asm", "other\r\n");
    fs::permissions(folder.Path() / "CDI.asm", fs::perms::owner_read | fs::perms::owner_write);
    fs::permissions(folder.Path() / "other.asm", fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink(folder.Path() / "CDI.asm", folder.Path() / "link.asm");
    DiskFiles files;
    files.Prepare(Name(folder.Path(), c.prepared));
    detail::WaitForBegun();  // the change comes after the preparation, not before it
    c.change(folder.Path());
    const mode_t umask = ::umask(022);
    WriteNew(files, Name(folder.Path(), c.prepared));
    ::umask(umask);
    EXPECT_TRUE(fs::is_symlink(folder.Path() / "link.asm"));
    const fs::path written = fs::canonical(folder.Path() / c.prepared);
    EXPECT_EQ(fs::status(written).permissions(), c.written);
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
    bool prepared;
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
    if (c.prepared) files.Prepare(Utf8Of(target));
    WriteNew(files, Utf8Of(target));
    struct stat after {};
    ASSERT_EQ(::stat(target.c_str(), &after), 0);
    EXPECT_EQ(after.st_mode & 07777, c.mode);
    EXPECT_EQ(Slurp(target), "new\r\n");
}

const ModeCase kModeCases[] = {
    {"Plain", 0640, false},       {"PlainPrepared", 0640, true},
    {"SetUserId", 04755, false},  {"SetUserIdPrepared", 04755, true},
    {"SetGroupId", 02755, false}, {"SetGroupIdPrepared", 02755, true},
};

INSTANTIATE_TEST_SUITE_P(Files, DiskFilesMode, ::testing::ValuesIn(kModeCases),
                         [](const auto& info) { return std::string(info.param.name); });

class DiskFilesFull : public ::testing::TestWithParam<bool> {};

// A disk that fills up part way, as a limit on the size of any file this process writes.
TEST_P(DiskFilesFull, AWriteThatRunsOutOfRoomKeepsTheFile) {
    Folder folder;
    const fs::path target = folder.Path() / "CDI.asm";
    Put(target, "old\r\n");
    DiskFiles files;
    if (GetParam()) files.Prepare(Utf8Of(target));
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 4096;
    const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string big(20000, 'x');
    const std::string_view piece = big;
    int checks = 0;
    const auto error = files.WriteChecked(Utf8Of(target), {&piece, 1}, [&] { return ++checks > 0; });
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldSignal);
    EXPECT_TRUE(error.has_value());
    EXPECT_EQ(checks, 0) << "a write that failed first runs no check: its caller does";
    EXPECT_EQ(Slurp(target), "old\r\n");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"CDI.asm"});
}

INSTANTIATE_TEST_SUITE_P(Files, DiskFilesFull, ::testing::Bool(),
                         [](const auto& info) { return std::string(info.param ? "Prepared" : "Straight"); });

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

// The old file stays open over the rename and is closed behind the save; none may be kept.
TEST_P(DiskFilesLetGo, NoReplacedFileStaysOpen) {
    const LetGoCase& c = GetParam();
    test::WithoutCapability noOverride(CAP_DAC_OVERRIDE);
    Folder folder;
    const fs::path target = folder.Path() / "CDI.asm";
    Put(target, "first\r\n");
    if (c.folderLocked) fs::permissions(folder.Path(), fs::perms::owner_write, fs::perm_options::remove);
    if (c.folderLocked && std::ofstream(folder.Path() / "probe")) GTEST_SKIP() << "this root may write anywhere";
    DiskFiles files;
    std::string last = "first\r\n";
    for (int i = 0; i < c.saves; ++i) {
        const std::string bytes = "save " + std::to_string(i) + "\r\n";
        const std::string_view piece = bytes;
        const bool saved = !files.Write(Utf8Of(target), {&piece, 1}).has_value();
        EXPECT_EQ(saved, !c.folderLocked);
        if (saved) last = bytes;
    }
    detail::WaitForReleasedFiles();
    EXPECT_EQ(OpenFilesIn(folder.Path()), 0);
    EXPECT_EQ(Slurp(target), last);
    fs::permissions(folder.Path(), fs::perms::owner_write, fs::perm_options::add);
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

// Bytes that differ from their neighbours, so that a chunk compared at the wrong offset shows.
std::string Counting(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    return bytes;
}

// The pieces of the bytes, cut at the given offsets.
std::vector<std::string> Cut(const std::string& bytes, std::vector<std::size_t> at) {
    std::vector<std::string> pieces;
    std::size_t from = 0;
    for (const std::size_t to : at) {
        pieces.push_back(bytes.substr(from, to - from));
        from = to;
    }
    pieces.push_back(bytes.substr(from));
    return pieces;
}

std::string Flipped(std::string bytes, std::size_t at) {
    bytes[at] = static_cast<char>(bytes[at] ^ 1);
    return bytes;
}

const std::string kLarge = Counting(200000);

struct CompareCase {
    const char* name;
    std::optional<std::string> file;  // nothing: no file; a folder stands there with `folder`
    std::vector<std::string> pieces;
    FileStore::Comparison::Status status;
    bool folder = false;
};

// The file's store that only reads: what any store's comparison does by default.
class ReadingOnly : public FileStore {
public:
    ReadResult Read(const std::string& path) override { return disk_.Read(path); }
    std::optional<std::string> Write(const std::string&, std::span<const std::string_view>) override {
        return "read only";
    }

private:
    DiskFiles disk_;
};

class DiskFilesCompare : public ::testing::TestWithParam<CompareCase> {};

TEST_P(DiskFilesCompare, SaysWhetherTheFileHoldsThePieces) {
    const CompareCase& c = GetParam();
    Folder folder;
    const fs::path target = folder.Path() / "CDI.asm";
    if (c.file) Put(target, *c.file);
    if (c.folder) fs::create_directory(target);
    const std::vector<std::string_view> pieces(c.pieces.begin(), c.pieces.end());
    DiskFiles disk;
    ReadingOnly whole;
    for (FileStore* files : {static_cast<FileStore*>(&disk), static_cast<FileStore*>(&whole)}) {
        SCOPED_TRACE(files == &disk ? "chunk by chunk" : "read whole");
        const FileStore::Comparison result = files->Compare(Utf8Of(target), pieces);
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.error, "");
    }
}

const CompareCase kCompareCases[] = {
    {"OnePiece", "abc\r\n", {"abc\r\n"}, FileStore::Comparison::Same},
    {"PiecesWithEmptyOnes", "abc\r\n", {"", "ab", "", "c\r\n", ""}, FileStore::Comparison::Same},
    {"EmptyFileNoPieces", "", {}, FileStore::Comparison::Same},
    {"EmptyFileEmptyPiece", "", {""}, FileStore::Comparison::Same},
    {"LastByteDiffers", "abc\r\n", {"abc\r\r"}, FileStore::Comparison::Differs},
    {"FileLonger", "abc\r\nx", {"abc\r\n"}, FileStore::Comparison::Differs},
    {"FileShorter", "abc", {"abc", "d"}, FileStore::Comparison::Differs},
    {"EmptyFileSomePiece", "", {"a"}, FileStore::Comparison::Differs},
    {"LargeAcrossChunks", kLarge, Cut(kLarge, {65535, 65537, 131075}), FileStore::Comparison::Same},
    {"LargeOneByteAtAChunkEdge", Flipped(kLarge, 65536), Cut(kLarge, {100}), FileStore::Comparison::Differs},
    {"LargeLastByte", Flipped(kLarge, kLarge.size() - 1), {kLarge}, FileStore::Comparison::Differs},
    {"FileLongerByAWholeChunk", kLarge.substr(0, 131072), {kLarge.substr(0, 65536)}, FileStore::Comparison::Differs},
    {"FileShorterByOneAfterFullChunks",
     kLarge.substr(0, 131072),
     {kLarge.substr(0, 131073)},
     FileStore::Comparison::Differs},
    {"Missing", std::nullopt, {"abc"}, FileStore::Comparison::CannotOpen},
    {"Directory", std::nullopt, {"abc"}, FileStore::Comparison::CannotOpen, true},
};

INSTANTIATE_TEST_SUITE_P(Files, DiskFilesCompare, ::testing::ValuesIn(kCompareCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tc::os
