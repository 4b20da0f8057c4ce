// Drivers for tests of the real window, on the shared recorders.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <memory>
#include <string>

#include "Unit1.h"
#include "support/recorders.h"  // also for targets without tests/ on their include path

namespace gui {

// The file's bytes; empty when it cannot be read.
inline QByteArray ReadAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

using tc::test::Message;
using tc::test::RecordingDesktop;
using tc::test::RecordingMessages;
using tc::test::ScriptedChooser;
using tc::test::ScriptedQuestions;

// A shown main window with recorders, using the given decimal separator.
class WindowTest : public ::testing::Test, protected tc::test::WindowRecorders {
protected:
    // The terminal and assembler this desktop has.
    WindowTest() { desktop.onPath = {"xterm", "avra"}; }

    void Open(char32_t separator = U'.') {
        window = std::make_unique<TForm1>(Services(separator));
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    void SetUp() override { Open(); }
    void TearDown() override { window.reset(); }

    QString Cell(int column, int row) { return tc::qt::FromUtf8(window->Core().Model().grid.Cell(column, row)); }

    // Clicks a cell of the grid (model row 1 to 32) as a user does.
    void ClickCell(int column, int row) {
        auto* grid = window->StringGrid1;
        const QRect rect = grid->visualRect(grid->model()->index(row - 1, column));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, rect.center());
        QApplication::processEvents();
    }

    // The cell editor, when one is open on the current cell.
    QLineEdit* Editor() { return qobject_cast<QLineEdit*>(QApplication::focusWidget()); }

    // Clicks the cell, selects its whole text with Shift+Home and types over it.
    void TypeIntoCell(int column, int row, const QString& text) {
        ClickCell(column, row);
        QWidget* target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr);
        QTest::keyClick(target, Qt::Key_End);
        QTest::keyClick(target, Qt::Key_Home, Qt::ShiftModifier);
        if (text.isEmpty()) QTest::keyClick(target, Qt::Key_Backspace);
        QTest::keyClicks(target, text);
        QApplication::processEvents();
    }

    // Picks a combo box item with the keyboard, as from its list.
    void PickItem(QComboBox* combo, int index) {
        combo->setFocus();
        while (combo->currentIndex() < index) QTest::keyClick(combo, Qt::Key_Down);
        while (combo->currentIndex() > index) QTest::keyClick(combo, Qt::Key_Up);
        QApplication::processEvents();
    }

    std::unique_ptr<TForm1> window;
};

// The window over a writable copy of the sample firmware in a folder of its own.
class SampleWindowTest : public WindowTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        path = folder.filePath("CDI.asm");
        ASSERT_TRUE(QFile::copy(TIMINGCALC_EXAMPLES "/CDI.asm", path));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        Open();
    }
    // Opens the copy through the open dialog, as a user does.
    void Load() {
        chooser.answers.push_back(path.toStdString());
        QTest::mouseClick(window->Button1, Qt::LeftButton);
    }

    QTemporaryDir folder;
    QString path;
};

}  // namespace gui
