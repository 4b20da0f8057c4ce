// Recorders and drivers for tests of the real window.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "Unit1.h"

namespace gui {

struct Recorded {
    std::string kind;  // "warning", "error" or "app"
    std::string text;
    bool operator==(const Recorded&) const = default;
};

inline void PrintTo(const Recorded& r, std::ostream* os) { *os << r.kind << ": " << r.text; }

class RecordingMessages : public tc::Messages {
public:
    void Warning(const std::string& text) override { all.push_back({"warning", text}); }
    void Error(const std::string& text) override { all.push_back({"error", text}); }
    void AppError(const std::string& text) override { all.push_back({"app", text}); }
    std::vector<Recorded> all;
};

class ScriptedChooser : public tc::FileChooser {
public:
    std::optional<std::string> ChooseSource(const std::string& proposedName) override {
        proposed.push_back(proposedName);
        if (answers.empty()) return std::nullopt;
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::deque<std::optional<std::string>> answers;
    std::vector<std::string> proposed;
};

class RecordingDesktop : public tc::Desktop {
public:
    void OpenDocument(const std::string& name) override { documents.push_back(name); }
    bool OnSearchPath(const std::string& program) override { return program == "xterm" || program == "avra"; }
    bool StartDetached(const tc::AssemblerCommand& command) override {
        started.push_back(command);
        return true;
    }
    std::vector<std::string> documents;
    std::vector<tc::AssemblerCommand> started;
};

// A shown main window with recorders, using the given decimal separator.
class WindowTest : public ::testing::Test {
protected:
    void Open(char32_t separator = U'.') {
        services.messages = &messages;
        services.chooser = &chooser;
        services.desktop = &desktop;
        services.decimalSeparator = separator;
        window = std::make_unique<TForm1>(services);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    void SetUp() override { Open(); }
    void TearDown() override { window.reset(); }

    QString Cell(int column, int row) { return tc::qt::FromUtf8(window->Logic().Model().grid.Cell(column, row)); }

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

    RecordingMessages messages;
    ScriptedChooser chooser;
    RecordingDesktop desktop;
    TForm1::Services services;
    std::unique_ptr<TForm1> window;
};

}  // namespace gui
