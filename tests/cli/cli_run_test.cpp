// timingcalc-cli's set over FILE when another program changed FILE between
// the open and the save: the command runs in this process on the real file
// layer, and the change is made on the disk right before the save reads the
// file again.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "cli/run.h"
#include "cli_support.h"
#include "os/files.h"

namespace cli {
namespace {

// The disk, with what another program does to the file just before the second read.
class ChangingFiles : public tc::FileStore {
public:
    ChangingFiles(std::string path, std::function<void()> change)
        : path_(std::move(path)), change_(std::move(change)) {}
    ReadResult Read(const std::string& path) override {
        if (path == path_ && ++reads_ == 2) change_();
        return disk_.Read(path);
    }
    std::optional<std::string> Write(const std::string& path, std::span<const std::string_view> pieces) override {
        return disk_.Write(path, pieces);
    }

private:
    std::string path_;
    std::function<void()> change_;
    int reads_ = 0;
    tc::os::DiskFiles disk_;
};

const std::string kComment = "; CDI.asm - ";
const std::string kMyComment = "; my notes on CDI.asm - ";

// Table 1, row 1 as another program wrote it; the grid's code must win.
std::string OtherCode(const std::string& bytes) {
    const auto span = FindEntry(bytes, 1, 1);
    EXPECT_TRUE(span.has_value());
    std::string changed = bytes;
    if (span) changed.replace(span->code, span->codeLength, "99");
    return changed;
}

struct Change {
    const char* name;
    std::function<std::string(const std::string&)> outside;  // the file as the other program left it; empty: deleted
    bool merged;                                             // the save went into the changed file
    bool refused;                                            // nothing was written
    const char* ru;                                          // the message, empty for none
    const char* en;
};

void PrintTo(const Change& c, std::ostream* os) { *os << c.name; }

const Change kChanges[] = {
    {"Unchanged", [](const std::string& bytes) { return bytes; }, false, false, "", ""},
    {"CommentChanged", [](const std::string& bytes) { return ReplaceOnce(bytes, kComment, kMyComment); }, true, false,
     "Warning: Файл \"@FILE@\" изменился на диске после открытия; его другие изменения сохранены, а значения "
     "таблицы записаны в него\n",
     "Warning: The file \"@FILE@\" had changed on disk since it was opened; its other changes were kept, and the "
     "table's values were written into it\n"},
    {"TableLineChanged", [](const std::string& bytes) { return OtherCode(ReplaceOnce(bytes, kComment, kMyComment)); },
     true, false,
     "Warning: Файл \"@FILE@\" изменился на диске после открытия; его другие изменения сохранены, а значения "
     "таблицы записаны в него\n",
     "Warning: The file \"@FILE@\" had changed on disk since it was opened; its other changes were kept, and the "
     "table's values were written into it\n"},
    {"TruncatedBeforeTable3", [](const std::string& bytes) { return bytes.substr(0, bytes.find("FuozTable3:")); },
     false, true,
     "Warning: Файл \"@FILE@\" изменился на диске после открытия и больше не читается полностью; файл не записан. "
     "В исходном тексте не найдено: \"FuozTable3:\"\ntimingcalc-cli: nothing written\n",
     "Warning: The file \"@FILE@\" has changed on disk since it was opened and no longer reads completely; the "
     "file is not written. Not found in the source: \"FuozTable3:\"\ntimingcalc-cli: nothing written\n"},
    {"Deleted", nullptr, false, false, "", ""},
};

class SetOverAChangedFile : public ::testing::TestWithParam<Change> {};

TEST_P(SetOverAChangedFile, KeepsWhatChangedOutsideOrWritesNothing) {
    const Change& c = GetParam();
    for (const std::string language : {"ru", "en"}) {
        SCOPED_TRACE(language);
        Folder folder;
        const fs::path file = folder / "CDI.asm";
        const std::string path = tc::os::Utf8Of(file);
        // What set makes of the sample when nothing changes outside.
        WriteFile(file, Sample());
        tc::os::DiskFiles disk;
        std::ostringstream ignored;
        ASSERT_EQ(tc::cli::Run({"set", path, "--spark", "72"}, disk, ignored, ignored), 0);
        const std::string saved = ReadFile(file);

        WriteFile(file, Sample());
        std::string outside;
        ChangingFiles files(path, [&] {
            if (!c.outside) return fs::remove(file), void();
            outside = c.outside(Sample());
            WriteFile(file, outside);
        });
        std::ostringstream out, err;
        const int status = tc::cli::Run({"set", path, "--spark", "72", "--language", language}, files, out, err);

        EXPECT_EQ(status, c.refused ? 1 : 0);
        EXPECT_EQ(out.str(), "");
        EXPECT_EQ(err.str(), ReplaceAll(language == "ru" ? c.ru : c.en, "@FILE@", path));
        const std::string expected = c.refused ? outside : c.merged ? ReplaceOnce(saved, kComment, kMyComment) : saved;
        EXPECT_EQ(ReadFile(file), expected);
        EXPECT_EQ(folder.Names(), std::vector<std::string>{"CDI.asm"}) << "no temporary file is left behind";
    }
}

INSTANTIATE_TEST_SUITE_P(Cli, SetOverAChangedFile, ::testing::ValuesIn(kChanges),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace cli
