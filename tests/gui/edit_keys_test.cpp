// Copy, paste, undo and redo with real keys, and the question before the
// window closes with unsaved changes, on a copy of the sample firmware.
#include <QClipboard>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

#include "support/window_cases.h"
#include "gui_support.h"

namespace gui {
namespace {

class EditKeysTest : public SampleWindowTest {
protected:
    void SetUp() override {
        SampleWindowTest::SetUp();
        original = ReadAll(path);
        Load();
        ASSERT_TRUE(messages.all.empty());
    }
    // A key with Ctrl (and Shift) on the widget that has the focus.
    static void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
        QWidget* target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr);
        QTest::keyClick(target, key, modifiers);
        QApplication::processEvents();
    }
    QStringList Column(int column) {
        QStringList cells;
        for (int row = 1; row <= 32; ++row) cells << Cell(column, row);
        return cells;
    }

    QByteArray original;
};

TEST_F(EditKeysTest, CtrlCCopiesTheTableAndCtrlVPastesItsAnglesBack) {
    const QStringList angles = Column(4);
    ClickCell(4, 7);
    ASSERT_NE(Editor(), nullptr);
    Press(Qt::Key_C);
    const QString copied = QGuiApplication::clipboard()->text();
    EXPECT_EQ(copied, tc::qt::FromUtf8(window->Core().CopyTable()));
    EXPECT_TRUE(copied.startsWith(QString::fromUtf8("об/мин\tтаб.1\tтаб.2\tтаб.3\tУОЗ\n460\t")))
        << copied.toStdString();

    TypeIntoCell(4, 3, "5");
    TypeIntoCell(4, 30, "6");
    ClickCell(4, 1);
    Press(Qt::Key_V);
    EXPECT_TRUE(messages.all.empty());
    EXPECT_EQ(Column(4), angles);
    EXPECT_EQ(Editor()->text(), angles.front()) << "the open editor shows the pasted value";
}

TEST_F(EditKeysTest, CtrlVPastesAColumnFromTheCurrentCellDown) {
    const struct {
        const char* name;
        int column, row;
        const char* clipboard;
        QStringList cells;  // from the row down
    } cases[] = {
        {"angles with either separator", 4, 5, "12,5\r\n-\r\n13.5\r\n", {"12.5", "-", "13.5"}},
        {"speeds", 0, 2, "700\n800\n", {"700", "800"}},
        {"Calc's lines, last field", 4, 31, "a\tb\n1\t22\n2\t23\n", {"22", "23"}},
    };
    for (const auto& c : cases) {
        QGuiApplication::clipboard()->setText(QString::fromUtf8(c.clipboard));
        ClickCell(c.column, c.row);
        Press(Qt::Key_V);
        for (int n = 0; n < c.cells.size(); ++n) EXPECT_EQ(Cell(c.column, c.row + n), c.cells[n]) << c.name;
        EXPECT_TRUE(messages.all.empty()) << c.name;
    }
}

TEST_F(EditKeysTest, ARefusedPasteSaysWhyAndChangesNothing) {
    for (const auto& c : tc::test::kRefusedPastes) {
        const tc::GridModel before = window->Core().Model();
        messages.all.clear();
        QGuiApplication::clipboard()->setText(QString::fromUtf8(c.clipboard));
        ClickCell(c.column, c.row);
        Press(Qt::Key_V);
        EXPECT_EQ(messages.all, (std::vector<Message>{{"warning", c.said}})) << c.name;
        EXPECT_TRUE(window->Core().Model().grid == before.grid) << c.name;
    }
}

// Keys after typing 12 into the angle of row 5: whether rows 5 and 6 then hold what was typed.
struct UndoCase {
    const char* name;
    std::vector<std::function<void()>> keys;
    bool row5Typed, row6Typed;
};

TEST_F(EditKeysTest, CtrlZUndoesTheEditorsTypingFirstThenTheGrids) {
    const auto down = [] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down); };
    const auto undo = [] { Press(Qt::Key_Z); };
    const auto redoY = [] { Press(Qt::Key_Y); };
    const auto redoShiftZ = [] { Press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier); };
    const auto type3 = [] { QTest::keyClicks(QApplication::focusWidget(), "3"); };
    const UndoCase cases[] = {
        {"type, Down, Ctrl+Z: the angle is back", {down, undo}, false, false},
        {"Ctrl+Z in the editor", {undo}, false, false},
        {"Ctrl+Y types it again", {down, undo, redoY}, true, false},
        {"Ctrl+Shift+Z as well", {down, undo, redoShiftZ}, true, false},
        {"the editor's own redo", {undo, redoY}, true, false},
        {"the next cell's typing goes first", {down, type3, undo}, true, false},
        {"then the first cell's", {down, type3, undo, undo}, false, false},
        {"a change after an undo drops the redo", {down, undo, type3, redoY}, false, true},
    };
    for (const auto& c : cases) {
        window->Core().OpenSource(path.toStdString());  // no steps left from the row before
        const QString row5 = Cell(4, 5), row6 = Cell(4, 6);
        ClickCell(4, 10);  // a click on the viewport under an open editor is none a user makes
        TypeIntoCell(4, 5, "12");
        ASSERT_EQ(Cell(4, 5), "12") << c.name;
        for (const auto& key : c.keys) key();
        QApplication::processEvents();
        EXPECT_EQ(Cell(4, 5), c.row5Typed ? "12" : row5) << c.name;
        EXPECT_EQ(Cell(4, 6), c.row6Typed ? "3" : row6) << c.name;
        ASSERT_NE(Editor(), nullptr) << c.name;
        EXPECT_EQ(Editor()->text(), window->StringGrid1->currentIndex().data().toString()) << c.name;
        EXPECT_TRUE(messages.all.empty()) << c.name;
    }
}

TEST_F(EditKeysTest, CtrlZInAComboBoxUndoesItsChangeAndTheRefill) {
    const QStringList angles = Column(4);
    PickItem(window->ComboBox2, 1);
    ASSERT_EQ(window->ComboBox2->currentText(), "2");
    ASSERT_NE(Column(4), angles);
    Press(Qt::Key_Z);
    EXPECT_EQ(window->ComboBox2->currentText(), "1");
    EXPECT_EQ(Column(4), angles);
    // From a button too.
    window->Button4->setFocus();
    Press(Qt::Key_Y);
    EXPECT_EQ(window->ComboBox2->currentText(), "2");
}

TEST_F(EditKeysTest, ClosingWithChangesAsksAndDoesWhatTheAnswerSays) {
    // What Save to file writes for the same change.
    tc::test::Harness twin;
    twin.Load(original.toStdString(), "/fw/CDI.asm");
    twin.SetCell(4, 5, "12");
    ASSERT_TRUE(twin.Show(twin.core.Save()));
    const QByteArray saved = QByteArray::fromStdString(twin.files.files.at("/fw/CDI.asm"));
    ASSERT_NE(saved, original);

    const struct {
        const char* name;
        bool change;
        std::optional<tc::Answer> answer;  // none: nothing is asked
        bool closed;
        QByteArray file;
    } cases[] = {
        {"nothing changed", false, std::nullopt, true, original},
        {"yes", true, tc::Answer::Yes, true, saved},
        {"no", true, tc::Answer::No, true, original},
        {"cancel", true, tc::Answer::Cancel, false, original},
    };
    for (const auto& c : cases) {
        QFile::remove(path);
        ASSERT_TRUE(QFile::copy(TIMINGCALC_EXAMPLES "/CDI.asm", path));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        Open();
        chooser.answers.push_back(path.toStdString());
        QTest::mouseClick(window->Button1, Qt::LeftButton);
        questions.asked.clear();
        if (c.change) TypeIntoCell(4, 5, "12");
        if (c.answer) questions.answers.push_back(*c.answer);
        EXPECT_EQ(window->close(), c.closed) << c.name;
        EXPECT_EQ(window->isVisible(), !c.closed) << c.name;
        EXPECT_EQ(questions.asked.size(), c.answer ? 1U : 0U) << c.name;
        if (c.answer) {
            EXPECT_EQ(questions.asked.front().text, "Сохранить изменения в файле CDI.asm?") << c.name;
        }
        EXPECT_EQ(ReadAll(path), c.file) << c.name;
        if (!c.closed) {
            EXPECT_EQ(Cell(4, 5), "12") << c.name;
        }
        EXPECT_TRUE(messages.all.empty()) << c.name;
    }
}

TEST_F(EditKeysTest, AFailedSaveKeepsTheWindowOpen) {
    TypeIntoCell(4, 5, "99");  // above the range the save takes
    questions.answers.push_back(tc::Answer::Yes);
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(messages.all, (std::vector<Message>{{"warning", "Превышен предел 52° выше датчика"}}));
    EXPECT_EQ(ReadAll(path), original);
}

// The real question box: its buttons in the question's language, each giving its answer.
TEST(QuestionBox, ThreeButtonsInTheQuestionsLanguage) {
    QWidget parent;
    tc::qt::BoxQuestions box(&parent);
    const struct {
        const char* name;
        unsigned language;
        int button;  // 0 to 2 clicked, -1 Escape
        tc::Answer answer;
    } cases[] = {
        {"yes", tc::kRussian, 0, tc::Answer::Yes},
        {"no", tc::kEnglish, 1, tc::Answer::No},
        {"cancel", tc::kRussian, 2, tc::Answer::Cancel},
        {"escape", tc::kEnglish, -1, tc::Answer::Cancel},
    };
    for (const auto& c : cases) {
        const tc::Question question = tc::SaveChangesQuestion("CDI.asm", c.language);
        QString caption, text;
        QStringList buttons;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QTimer::singleShot(0, [&] {
            auto* shown = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(shown, nullptr);
            caption = shown->windowTitle();
            text = shown->text();
            icon = shown->icon();
            const QList<QAbstractButton*> all = shown->buttons();
            for (const std::string& want : {question.yes, question.no, question.cancel})
                for (QAbstractButton* button : all)
                    if (button->text() == tc::qt::FromUtf8(want)) buttons << button->text();
            if (c.button < 0) {
                QTest::keyClick(shown, Qt::Key_Escape);
                return;
            }
            for (QAbstractButton* button : all)
                if (button->text() == buttons.value(c.button)) QTest::mouseClick(button, Qt::LeftButton);
        });
        EXPECT_EQ(box.Ask(question), c.answer) << c.name;
        EXPECT_EQ(caption, "Ignition timing calculator") << c.name;
        EXPECT_EQ(text, tc::qt::FromUtf8(question.text)) << c.name;
        EXPECT_EQ(icon, QMessageBox::Question) << c.name;
        EXPECT_EQ(buttons, (QStringList{tc::qt::FromUtf8(question.yes), tc::qt::FromUtf8(question.no),
                                        tc::qt::FromUtf8(question.cancel)}))
            << c.name;
    }
}

}  // namespace
}  // namespace gui
