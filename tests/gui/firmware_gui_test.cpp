// Opening, saving and assembling the sample firmware through the real window.
#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <unistd.h>

#include <functional>

#include "gui_support.h"
#include "support/avra.h"

namespace gui {
namespace {

class FirmwareWindowTest : public SampleWindowTest {};

// The chart's one-line title for file names short and long, in both languages.
struct TitleCase {
    const char* name;
    const char* file;
    bool shortened;
};

void PrintTo(const TitleCase& c, std::ostream* os) { *os << c.name; }

class ChartTitleOf : public FirmwareWindowTest, public ::testing::WithParamInterface<TitleCase> {};

TEST_P(ChartTitleOf, KeepsTheWarningWhole) {
    const QString name = QString::fromUtf8(GetParam().file);
    if (folder.filePath(name) != path) {
        ASSERT_TRUE(QFile::rename(path, folder.filePath(name)));
        path = folder.filePath(name);
    }
    Load();
    ASSERT_TRUE(messages.all.empty());
    const char* const warnings[] = {". Внимание, с подстроечным резистором!", ". Attention, with adjust resistor!"};
    const char* const leads[] = {"График УОЗ, файл: ", "Timing graph, file: "};
    for (int language = 0; language < 2; ++language) {
        SCOPED_TRACE(language);
        const QString whole = QString::fromUtf8(leads[language]) + name + QString::fromUtf8(warnings[language]);
        const QString shown = window->Chart1->Title();
        EXPECT_TRUE(shown.startsWith(QString::fromUtf8(leads[language]))) << shown.toStdString();
        EXPECT_TRUE(shown.endsWith(QString::fromUtf8(warnings[language]))) << shown.toStdString();
        EXPECT_EQ(shown == whole, !GetParam().shortened) << shown.toStdString();
        EXPECT_EQ(shown.contains(QChar(0x2026)), GetParam().shortened) << shown.toStdString();
        EXPECT_EQ(window->Chart1->toolTip(), QString()) << "only the File button has a tooltip";
        const QMargins margins = window->Chart1->chart()->margins();
        EXPECT_LE(QFontMetricsF(window->Chart1->chart()->titleFont()).horizontalAdvance(shown),
                  window->Chart1->viewport()->width() - margins.left() - margins.right());
        QTest::mouseClick(window->Button7, Qt::LeftButton);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Names, ChartTitleOf,
    ::testing::Values(TitleCase{"Short", "CDI.asm", false},
                      TitleCase{"Long", "CDI_firmware_for_the_sport_engine_with_a_long_name_2026.asm", true},
                      TitleCase{"LongCyrillic", "прошивка_для_спортивного_двигателя_длинное_имя.asm", true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FirmwareWindowTest, OpeningTheSampleFillsGridChartAndTitle) {
    Load();
    EXPECT_TRUE(messages.all.empty()) << messages.all.front().text;
    EXPECT_EQ(chooser.proposed, std::vector<std::string>{"CDI.asm"});
    EXPECT_EQ(window->ComboBox3->currentText(), "66");
    EXPECT_EQ(Cell(0, 1), "460");
    EXPECT_EQ(Cell(0, 2), "600");
    EXPECT_EQ(Cell(0, 32), "19530");
    EXPECT_EQ(Cell(1, 0), QString::fromUtf8("таб.1"));
    EXPECT_EQ(Cell(3, 0), QString::fromUtf8("таб.3"));
    EXPECT_EQ(Cell(1, 1), "14");
    EXPECT_EQ(Cell(4, 1), "10.2");
    EXPECT_EQ(window->Chart1->Series1()->count(), 32);
    EXPECT_EQ(window->Chart1->Title(),
              QString::fromUtf8("График УОЗ, файл: CDI.asm. Внимание, с подстроечным резистором!"));
    EXPECT_TRUE(window->Memo1->toPlainText().contains(QString::fromUtf8(";блок задержки искры")));
    EXPECT_TRUE(window->Memo1->isReadOnly());

    QTest::mouseClick(window->Button7, Qt::LeftButton);
    EXPECT_EQ(window->Chart1->Title(), "Timing graph, file: CDI.asm. Attention, with adjust resistor!");
    EXPECT_EQ(Cell(2, 0), "Tab.2");

    // A cancelled dialog loads the same file again, and proposes it; the change was given up before.
    TypeIntoCell(4, 1, "5");
    questions.answers.push_back(tc::Answer::No);
    QTest::mouseClick(window->Button1, Qt::LeftButton);
    EXPECT_EQ(questions.asked.size(), 1U);
    EXPECT_EQ(chooser.proposed.back(), path.toStdString());
    EXPECT_EQ(Cell(4, 1), "10.2");
}

TEST_F(FirmwareWindowTest, SavingUnchangedGivesTheSameBytesAndAFailedOpenSaysSo) {
    const QByteArray before = ReadAll(path);
    Load();
    QTest::mouseClick(window->Button5, Qt::LeftButton);
    EXPECT_TRUE(messages.all.empty());
    EXPECT_EQ(ReadAll(path), before);

    const std::string missing = folder.filePath("gone.asm").toStdString();
    chooser.answers.push_back(missing);
    QTest::mouseClick(window->Button1, Qt::LeftButton);
    EXPECT_EQ(messages.all, (std::vector<Message>{{"error", "Ошибка доступа к файлу " + missing}}));
    EXPECT_TRUE(window->Memo1->toPlainText().isEmpty());
}

TEST_F(FirmwareWindowTest, RefusedSavesLeaveTheFileByteForByte) {
    Load();
    const QByteArray before = ReadAll(path);
    struct Case {
        int column, row;
        const char* typed;
        Message message;
    };
    const Case cases[] = {
        {0, 2, "459", {"warning", "Обороты не ниже холостых, 460/мин"}},
        {0, 20, "20001", {"warning", "Превышены обороты 20000/мин"}},
        {4, 9, "-106", {"warning", "Превышен предел 125° ниже датчика"}},
        {0, 12, "", {"app", "'' is not a valid integer value."}},
    };
    for (const auto& c : cases) {
        const QString old = Cell(c.column, c.row);
        TypeIntoCell(c.column, c.row, c.typed);
        messages.all.clear();
        QTest::mouseClick(window->Button5, Qt::LeftButton);
        EXPECT_EQ(messages.all, std::vector<Message>{c.message}) << c.typed;
        EXPECT_EQ(ReadAll(path), before) << c.typed;
        TypeIntoCell(c.column, c.row, old);
    }
}

TEST_F(FirmwareWindowTest, SavingKeepsTheFilesMode) {
    std::vector<QFile::Permissions> modes = {
        QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup,
        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther};
    // Only root may save over a read-only file; it must stay read-only.
    if (geteuid() == 0) modes.push_back(QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    for (const auto mode : modes) {
        ASSERT_TRUE(QFile::setPermissions(path, mode));
        Load();
        TypeIntoCell(4, 4, "3");
        QTest::mouseClick(window->Button5, Qt::LeftButton);
        EXPECT_TRUE(messages.all.empty()) << messages.all.front().text;
        const auto bits = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                          QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
        EXPECT_EQ(QFile::permissions(path) & bits, mode) << static_cast<int>(mode);
        EXPECT_EQ(Cell(1, 4), "24");
    }
}

TEST_F(FirmwareWindowTest, CompileStartsTheAssemblerInTheSourcesFolder) {
    QTest::mouseClick(window->Button6, Qt::LeftButton);
    EXPECT_TRUE(desktop.started.empty());
    Load();
    QTest::mouseClick(window->Button6, Qt::LeftButton);
    ASSERT_EQ(desktop.started.size(), 1u);
    const auto& command = desktop.started.front();
    EXPECT_EQ(command.program, "xterm");
    EXPECT_EQ(command.workingDirectory, folder.path().toStdString());
    ASSERT_GE(command.arguments.size(), 2u);
    EXPECT_EQ(command.arguments.back(), "CDI.asm");
    EXPECT_EQ(command.arguments[command.arguments.size() - 2], "avra");
}

// The ldi R16 immediates of the table code, in program order, from an Intel HEX image.
std::vector<int> TableImmediates(const QByteArray& hex) {
    std::vector<unsigned char> image;
    for (const QByteArray& line : hex.split('\n')) {
        const QByteArray record = line.trimmed();
        if (record.size() < 11 || record[0] != ':') continue;
        const int count = record.mid(1, 2).toInt(nullptr, 16);
        const int address = record.mid(3, 4).toInt(nullptr, 16);
        if (record.mid(7, 2).toInt(nullptr, 16) != 0) continue;
        if (image.size() < static_cast<std::size_t>(address + count))
            image.resize(static_cast<std::size_t>(address + count));
        for (int i = 0; i < count; ++i)
            image[static_cast<std::size_t>(address + i)] =
                static_cast<unsigned char>(record.mid(9 + 2 * i, 2).toInt(nullptr, 16));
    }
    std::vector<int> codes;
    for (std::size_t at = 0; at + 3 < image.size(); at += 2) {
        const unsigned word = image[at] | (image[at + 1] << 8);
        const unsigned next = image[at + 2] | (image[at + 3] << 8);
        const bool ldiR16 = (word & 0xF0F0) == 0xE000;  // ldi R16, K: 1110 KKKK 0000 KKKK
        if (ldiR16 && next == 0x930D)                   // st X+, R16
            codes.push_back(static_cast<int>(((word >> 4) & 0xF0) | (word & 0x0F)));
    }
    return codes;
}

TEST_F(FirmwareWindowTest, EditedTablesSurviveTheRealAssembler) {
    const QString avra = QStandardPaths::findExecutable("avra");
    if (avra.isEmpty()) GTEST_FAIL() << "avra is not installed (scripts/test installs it)";
    Load();
    const char* angles[3][3] = {{"5", "-", "40.5"}, {"0.4", "71.8", "-105.3"}, {"12", "19.3", "-"}};
    for (int table = 0; table < 3; ++table) {
        PickItem(window->ComboBox2, table);
        TypeIntoCell(4, 3, angles[table][0]);
        TypeIntoCell(4, 17, angles[table][1]);
        TypeIntoCell(4, 32, angles[table][2]);
        QTest::mouseClick(window->Button2, Qt::LeftButton);
    }
    QTest::mouseClick(window->Button5, Qt::LeftButton);
    ASSERT_TRUE(messages.all.empty()) << messages.all.front().text;
    EXPECT_EQ(Cell(1, 3), "21");
    EXPECT_EQ(Cell(1, 17), "180");
    EXPECT_EQ(Cell(2, 32), "179");
    EXPECT_EQ(Cell(3, 32), "180");

    const tc::test::AvraRun assembled = tc::test::Avra(path.toStdString());
    ASSERT_TRUE(assembled.built) << assembled.log;
    const std::vector<int> codes = TableImmediates(ReadAll(folder.filePath("CDI.hex")));
    std::vector<int> expected;
    for (int table = 1; table <= 3; ++table)
        for (int row = 1; row <= 32; ++row) expected.push_back(Cell(table, row).toInt());
    ASSERT_GE(codes.size(), expected.size());
    EXPECT_EQ(std::vector<int>(codes.end() - static_cast<std::ptrdiff_t>(expected.size()), codes.end()), expected);
}

// Another program changes the opened file before Save to file is pressed.
struct OutsideChange {
    const char* name;
    std::function<void(QByteArray&)> edit;  // nothing: the file is deleted
    bool merged;                            // the save went into the changed file
    bool refused;                           // the file is left as the other program left it
    const char* ru;
    const char* en;
};

void PrintTo(const OutsideChange& c, std::ostream* os) { *os << c.name; }

const QByteArray kComment = "; CDI.asm - ";
const QByteArray kMyComment = "; my notes on CDI.asm - ";

const OutsideChange kOutsideChanges[] = {
    {"Unchanged", [](QByteArray&) {}, false, false, "", ""},
    {"CommentChanged", [](QByteArray& bytes) { bytes.replace(kComment, kMyComment); }, true, false,
     "Файл \"PATH\" изменился на диске после открытия; его другие изменения сохранены, а значения таблицы "
     "записаны в него",
     "The file \"PATH\" had changed on disk since it was opened; its other changes were kept, and the table's "
     "values were written into it"},
    {"TableLineChanged",
     [](QByteArray& bytes) {
         bytes.replace(kComment, kMyComment);
         // Table 1, row 4 as the other program wrote it; the window's 3 degrees must win.
         const qsizetype label = bytes.indexOf("FuozTable1:");
         qsizetype at = label;
         for (int k = 0; k < 4; ++k) at = bytes.indexOf("\nldi R16, ", at + 1);
         bytes.replace(at + 10, bytes.indexOf('\t', at + 10) - (at + 10), "99");
     },
     true, false,
     "Файл \"PATH\" изменился на диске после открытия; его другие изменения сохранены, а значения таблицы "
     "записаны в него",
     "The file \"PATH\" had changed on disk since it was opened; its other changes were kept, and the table's "
     "values were written into it"},
    {"TruncatedBeforeTable2", [](QByteArray& bytes) { bytes.truncate(bytes.indexOf("FuozTable2:")); }, false, true,
     "Файл \"PATH\" изменился на диске после открытия и больше не читается полностью; файл не записан. В "
     "исходном тексте не найдено: \"FuozTable2:\"",
     "The file \"PATH\" has changed on disk since it was opened and no longer reads completely; the file is not "
     "written. Not found in the source: \"FuozTable2:\""},
    {"Deleted", nullptr, false, false, "", ""},
};

class WindowOverAChangedFile : public FirmwareWindowTest, public ::testing::WithParamInterface<OutsideChange> {};

TEST_P(WindowOverAChangedFile, SaveToFileKeepsWhatChangedOutside) {
    const OutsideChange& c = GetParam();
    // What Save to file writes when nothing changes outside, from a window of its own.
    Load();
    TypeIntoCell(4, 4, "3");
    QTest::mouseClick(window->Button5, Qt::LeftButton);
    ASSERT_TRUE(messages.all.empty());
    const QByteArray saved = ReadAll(path);
    for (const bool english : {false, true}) {
        SCOPED_TRACE(english ? "English" : "Russian");
        window.reset();
        QFile::remove(path);
        ASSERT_TRUE(QFile::copy(TIMINGCALC_EXAMPLES "/CDI.asm", path));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        Open();
        if (english) QTest::mouseClick(window->Button7, Qt::LeftButton);
        Load();
        TypeIntoCell(4, 4, "3");
        QByteArray outside;
        if (c.edit) {
            outside = ReadAll(path);
            c.edit(outside);
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(outside);
        } else {
            ASSERT_TRUE(QFile::remove(path));
        }
        messages.all.clear();
        QTest::mouseClick(window->Button5, Qt::LeftButton);

        const std::string said = QString::fromUtf8(english ? c.en : c.ru).replace("PATH", path).toStdString();
        std::vector<tc::test::Message> expected;
        if (!said.empty()) expected.push_back({"warning", said});
        EXPECT_EQ(messages.all, expected);
        QByteArray written = saved;
        if (c.merged) written.replace(kComment, kMyComment);
        EXPECT_EQ(ReadAll(path), c.refused ? outside : written);
        if (c.merged) {
            EXPECT_TRUE(window->Memo1->toPlainText().contains("my notes on CDI.asm")) << "the text box shows the file";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Window, WindowOverAChangedFile, ::testing::ValuesIn(kOutsideChanges),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace gui
