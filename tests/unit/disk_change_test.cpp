// A save over the opened file when another program changed the file since it
// was opened or last saved.
#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <map>

#include "app/core.h"
#include "test_support.h"

namespace tc {
namespace {

using test::Firmware;
using test::Harness;
using test::MakeFirmware;
using test::Message;

const std::string kPath = "/fw/CDI.asm";

// The sample as opened, with angle row 5 of table 1 changed in the grid.
std::unique_ptr<Harness> Edited(unsigned language) {
    auto h = std::make_unique<Harness>();
    if (language == kEnglish) h->core.SwitchLanguage();
    h->Load(MakeFirmware().Bytes(), kPath);
    h->SetCell(4, 5, "12.5");
    EXPECT_TRUE(h->messages.all.empty());
    return h;
}

// What the grid's values make of the opened source: the file a save writes when nothing changed outside.
std::string SavedUnchanged() {
    Harness h;
    h.Load(MakeFirmware().Bytes(), kPath);
    h.SetCell(4, 5, "12.5");
    h.Show(h.core.Save());
    return h.files.files.at(kPath);
}

std::string WithLine(std::string bytes, const std::string& from, const std::string& to) {
    const auto at = bytes.find(test::Cp(from));
    EXPECT_NE(at, std::string::npos) << from;
    return bytes.replace(at, test::Cp(from).size(), test::Cp(to));
}

struct Change {
    const char* name;
    std::function<void(test::MemoryFiles&)> outside;  // what another program did to the file
    std::function<std::string()> expected;            // the file afterwards; nothing: as the outside left it
    Outcome::Status status;
    const char* ru;  // the message, empty for none
    const char* en;
};

std::string Changed(const std::string& bytes) {
    // The comment line and table 1's row 1 entry, as an editor might have changed them.
    return WithLine(WithLine(bytes, "; timing test source", "; timing test source, edited in the editor"),
                    "ldi R16, 0\t;множитель", "ldi R16, 99\t;множитель");
}

const Change kChanges[] = {
    {"unchanged", [](test::MemoryFiles&) {}, SavedUnchanged, Outcome::Done, "", ""},
    {"comment changed",
     [](test::MemoryFiles& files) {
         files.files[kPath] = WithLine(files.files[kPath], "; timing test source", "; my notes");
     },
     [] { return WithLine(SavedUnchanged(), "; timing test source", "; my notes"); }, Outcome::Done,
     "Файл \"/fw/CDI.asm\" изменился на диске после открытия; его другие изменения сохранены, а значения таблицы "
     "записаны в него",
     "The file \"/fw/CDI.asm\" had changed on disk since it was opened; its other changes were kept, and the "
     "table's values were written into it"},
    {"table line changed", [](test::MemoryFiles& files) { files.files[kPath] = Changed(files.files[kPath]); },
     // The grid's value wins on the table line; the comment changed with it stays.
     [] { return WithLine(SavedUnchanged(), "; timing test source", "; timing test source, edited in the editor"); },
     Outcome::Done,
     "Файл \"/fw/CDI.asm\" изменился на диске после открытия; его другие изменения сохранены, а значения таблицы "
     "записаны в него",
     "The file \"/fw/CDI.asm\" had changed on disk since it was opened; its other changes were kept, and the "
     "table's values were written into it"},
    {"truncated",
     [](test::MemoryFiles& files) {
         std::string& bytes = files.files[kPath];
         bytes.resize(bytes.find(test::Cp("FuozTable2:")));
     },
     nullptr, Outcome::Refused,
     "Файл \"/fw/CDI.asm\" изменился на диске после открытия и больше не читается полностью; файл не записан. "
     "В исходном тексте не найдено: \"FuozTable2:\"",
     "The file \"/fw/CDI.asm\" has changed on disk since it was opened and no longer reads completely; the file "
     "is not written. Not found in the source: \"FuozTable2:\""},
    // Nothing is written over a file that cannot be read to the end: what it holds is not known.
    {"unreadable", [](test::MemoryFiles& files) { files.readErrors[kPath] = "Input/output error"; }, nullptr,
     Outcome::Failed, "Input/output error", "Input/output error"},
    {"deleted", [](test::MemoryFiles& files) { files.files.erase(kPath); }, SavedUnchanged, Outcome::Done, "", ""},
};

void PrintTo(const Change& c, std::ostream* os) { *os << c.name; }

class SaveOverAChangedFile : public ::testing::TestWithParam<Change> {};

TEST_P(SaveOverAChangedFile, KeepsWhatChangedOutsideOrWritesNothing) {
    const Change& c = GetParam();
    for (const unsigned language : {kRussian, kEnglish}) {
        SCOPED_TRACE(language == kEnglish ? "English" : "Russian");
        const auto h = Edited(language);
        c.outside(h->files);
        const bool existed = h->files.files.count(kPath) != 0;
        const std::string before = existed ? h->files.files.at(kPath) : "";
        const Outcome outcome = h->core.Save();
        h->Show(outcome);
        EXPECT_EQ(outcome.status, c.status);
        const std::string said = language == kEnglish ? c.en : c.ru;
        std::vector<Message> shown;
        if (!said.empty()) shown.push_back({c.status == Outcome::Failed ? "app" : "warning", said});
        EXPECT_EQ(h->messages.all, shown);
        const std::string expected = c.expected ? c.expected() : before;
        EXPECT_EQ(h->files.files.count(kPath) ? h->files.files.at(kPath) : "", expected);
        if (c.expected) {
            EXPECT_EQ(h->core.Source().ToFileBytes(), expected) << "the text box shows what was written";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Core, SaveOverAChangedFile, ::testing::ValuesIn(kChanges), [](const auto& info) {
    std::string name = info.param.name;
    for (char& ch : name)
        if (ch == ' ') ch = '_';
    return name;
});

TEST(SaveOverAChangedFile, ASecondSaveComparesWithWhatTheFirstWrote) {
    const auto h = Edited(kEnglish);
    h->files.files[kPath] = WithLine(h->files.files[kPath], "; timing test source", "; my notes");
    h->Show(h->core.Save());
    ASSERT_EQ(h->messages.all.size(), 1u);
    h->messages.all.clear();
    const std::string first = h->files.files.at(kPath);
    h->Show(h->core.Save());
    EXPECT_TRUE(h->messages.all.empty());
    EXPECT_EQ(h->files.files.at(kPath), first);
}

// The opened text is refused by the rewrite (two entries share a line), and another
// program has since done something to the file: the refusal holds only for the file as it is.
struct AfterARefusal {
    const char* name;
    std::function<void(test::MemoryFiles&)> outside;
    bool written;  // the save went into the file as it is now
    Outcome::Status status;
    const char* message;  // in English
};

void PrintTo(const AfterARefusal& c, std::ostream* os) { *os << c.name; }

const AfterARefusal kAfterARefusal[] = {
    {"nothing", [](test::MemoryFiles&) {}, false, Outcome::Refused, nullptr},
    {"set right", [](test::MemoryFiles& files) { files.files[kPath] = MakeFirmware().Bytes(); }, true, Outcome::Done,
     "The file \"/fw/CDI.asm\" had changed on disk since it was opened; its other changes were kept, and the "
     "table's values were written into it"},
    {"unreadable", [](test::MemoryFiles& files) { files.readErrors[kPath] = "Input/output error"; }, false,
     Outcome::Failed, "Input/output error"},
    {"deleted", [](test::MemoryFiles& files) { files.files.erase(kPath); }, false, Outcome::Refused, nullptr},
};

class SaveAfterARefusal : public ::testing::TestWithParam<AfterARefusal> {};

TEST_P(SaveAfterARefusal, AnswersForTheFileAsItIsNow) {
    const AfterARefusal& c = GetParam();
    Firmware conflict = MakeFirmware();
    conflict.Erase(conflict.Index("st X+", 32 + 4));
    Harness h;
    h.core.SwitchLanguage();
    h.Load(conflict.Bytes(), kPath);
    h.SetCell(4, 5, "12.5");
    h.messages.all.clear();  // the load's own warnings
    c.outside(h.files);
    const std::map<std::string, std::string> before = h.files.files;

    const Outcome outcome = h.core.Save();
    h.Show(outcome);

    EXPECT_EQ(outcome.status, c.status);
    ASSERT_EQ(h.messages.all.size(), 1u);
    const std::string refusal =
        test::AtLine(Diagnostic::Kind::LayoutConflict, conflict.Index("ldi R16,", 32 + 5) + 1, kEnglish);
    EXPECT_EQ(h.messages.all[0].text, c.message ? c.message : refusal);
    if (c.written) {
        EXPECT_EQ(h.files.files.at(kPath), SavedUnchanged());
        EXPECT_EQ(h.core.Source().ToFileBytes(), SavedUnchanged());
    } else {
        EXPECT_EQ(h.files.files, before);
        EXPECT_EQ(h.files.writes, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Core, SaveAfterARefusal, ::testing::ValuesIn(kAfterARefusal), [](const auto& info) {
    std::string name = info.param.name;
    for (char& ch : name)
        if (ch == ' ') ch = '_';
    return name;
});

// What happens between a first save over the opened file and the next one.
struct Between {
    const char* name;
    std::function<void(Harness&)> happens;
    bool changedOutside;  // the next save finds another program's change and says so
};

void SaveFails(Harness& h) {
    h.files.writeError = "No space left on device";
    h.SetCell(4, 6, "10");
    EXPECT_FALSE(h.Show(h.core.Save()));
    h.files.writeError.reset();
}

void SaveElsewhere(Harness& h) {
    h.SetCell(4, 6, "10");
    EXPECT_TRUE(h.Show(h.core.SaveAs("/fw/copy.asm")));
}

void ChangeOutside(Harness& h) {
    h.files.files[kPath] = WithLine(h.files.files[kPath], "; timing test source", "; my notes");
}

const Between kBetween[] = {
    {"nothing", [](Harness&) {}, false},
    {"another program's change", ChangeOutside, true},
    {"a failed save", SaveFails, false},
    {"a save to another file", SaveElsewhere, false},
    {"a failed save, then another program's change",
     [](Harness& h) {
         SaveFails(h);
         ChangeOutside(h);
     },
     true},
    {"a save to another file, then another program's change",
     [](Harness& h) {
         SaveElsewhere(h);
         ChangeOutside(h);
     },
     true},
};

void PrintTo(const Between& b, std::ostream* os) { *os << b.name; }

class SaveAfterASave : public ::testing::TestWithParam<Between> {};

// A save keeps no copy of what it wrote: the next one must still know what the disk holds.
TEST_P(SaveAfterASave, FindsOnlyWhatAnotherProgramChanged) {
    const Between& b = GetParam();
    const auto h = Edited(kEnglish);
    ASSERT_TRUE(h->Show(h->core.Save()));
    b.happens(*h);
    h->messages.all.clear();
    h->SetCell(4, 7, "11");
    EXPECT_TRUE(h->Show(h->core.Save()));
    std::vector<Message> shown;
    if (b.changedOutside)
        shown.push_back({"warning",
                         "The file \"/fw/CDI.asm\" had changed on disk since it was opened; its other changes were "
                         "kept, and the table's values were written into it"});
    EXPECT_EQ(h->messages.all, shown);
    const std::string written = h->files.files.at(kPath);
    EXPECT_EQ(written.find(test::Cp("; my notes")) != std::string::npos, b.changedOutside);
    EXPECT_EQ(h->core.Source().ToFileBytes(), written);
}

INSTANTIATE_TEST_SUITE_P(Core, SaveAfterASave, ::testing::ValuesIn(kBetween), [](const auto& info) {
    std::string name = info.param.name;
    for (char& ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
    return name;
});

TEST(SaveOverAChangedFile, ReadsTheFileOnceRightBeforeTheWrite) {
    const auto h = Edited(kEnglish);
    struct Counting : test::MemoryFiles {
        int reads = 0;
        ReadResult Read(const std::string& path) override {
            ++reads;
            return MemoryFiles::Read(path);
        }
    };
    Counting files;
    files.files = h->files.files;
    Harness counted;
    // Another core on the counting files, opened and edited the same way.
    Core core(Ports{counted.chooser, files, counted.desktop}, U'.');
    core.Start();
    ASSERT_TRUE(core.OpenSource(kPath).Ok());
    ASSERT_EQ(files.reads, 1);
    ASSERT_TRUE(core.Save().Ok());
    EXPECT_EQ(files.reads, 2);
    EXPECT_EQ(files.writes, 1);
}

TEST(SaveOverAChangedFile, ASaveToAnotherFileLeavesTheChangedOneAlone) {
    const auto h = Edited(kEnglish);
    h->files.files[kPath] = Changed(h->files.files[kPath]);
    const std::string changed = h->files.files[kPath];
    h->Show(h->core.SaveAs("/fw/copy.asm"));
    EXPECT_TRUE(h->messages.all.empty());
    EXPECT_EQ(h->files.files.at(kPath), changed);
    EXPECT_EQ(h->files.files.at("/fw/copy.asm"), SavedUnchanged());
}

}  // namespace
}  // namespace tc
