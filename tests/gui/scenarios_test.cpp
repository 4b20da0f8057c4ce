// The scenarios both windows go through, here through the Qt window with real mouse and key events.
#include "support/window_scenarios.h"

#include "gui_support.h"

namespace gui {
namespace {

class QtDriver : public scenarios::Driver {
public:
    explicit QtDriver(TForm1& window) : window_(window) {}

    void Do(const scenarios::Action& action) override {
        QPushButton* buttons[] = {window_.Button1, window_.Button2, window_.Button3, window_.Button4,
                                  window_.Button5, window_.Button6, window_.Button7};
        QComboBox* combos[] = {window_.ComboBox1, window_.ComboBox2, window_.ComboBox3};
        switch (action.kind) {
            case scenarios::Action::Click: QTest::mouseClick(buttons[action.number - 1], Qt::LeftButton); break;
            case scenarios::Action::TypeCombo: {
                QLineEdit* line = combos[action.number - 1]->lineEdit();
                QTest::mouseClick(line, Qt::LeftButton, {}, line->rect().center());
                QTest::keyClick(line, Qt::Key_End);
                QTest::keyClick(line, Qt::Key_Home, Qt::ShiftModifier);
                if (action.text.empty()) QTest::keyClick(line, Qt::Key_Backspace);
                QTest::keyClicks(line, QString::fromStdString(action.text));
                break;
            }
            case scenarios::Action::PickItem: PickFromList(combos[action.number - 1], action.index); break;
            case scenarios::Action::TypeCell: TypeIntoCell(action.number, action.index, action.text); break;
        }
        QApplication::processEvents();
    }

    std::string Cell(int column, int row) override { return window_.Core().Model().grid.Cell(column, row); }
    std::string Combo(int number) override {
        QComboBox* combos[] = {window_.ComboBox1, window_.ComboBox2, window_.ComboBox3};
        return tc::qt::ToUtf8(combos[number - 1]->currentText());
    }

private:
    // Opens the list, points at the item and takes it with Enter: one change, as the
    // Win32 driver's pick, and the item is taken even when it is the current one.
    static void PickFromList(QComboBox* combo, int index) {
        combo->showPopup();
        QAbstractItemView* list = combo->view();
        ASSERT_TRUE(list->isVisible());
        list->setCurrentIndex(combo->model()->index(index, combo->modelColumn()));
        QTest::keyClick(list, Qt::Key_Return);
        // The closed list leaves no window active; the user's next click goes to the main one.
        combo->window()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(combo->window()));
        combo->setFocus();
    }

    void TypeIntoCell(int column, int row, const std::string& text) {
        auto* grid = window_.StringGrid1;
        const QRect rect = grid->visualRect(grid->model()->index(row - 1, column));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, rect.center());
        QApplication::processEvents();
        QWidget* target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr);
        QTest::keyClick(target, Qt::Key_End);
        QTest::keyClick(target, Qt::Key_Home, Qt::ShiftModifier);
        if (text.empty()) QTest::keyClick(target, Qt::Key_Backspace);
        QTest::keyClicks(target, QString::fromStdString(text));
    }

    TForm1& window_;
};

class Scenarios : public WindowTest, public ::testing::WithParamInterface<scenarios::Scenario> {};

TEST_P(Scenarios, SaySaveAndShowAsTheTableSays) {
    QtDriver driver(*window);
    scenarios::Run(GetParam(), driver, *this);
}

INSTANTIATE_TEST_SUITE_P(Window, Scenarios, ::testing::ValuesIn(scenarios::All()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace gui
