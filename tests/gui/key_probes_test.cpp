// The shared keyboard and clipboard sessions through the Qt window, with real key and mouse events.
#include "support/key_probes.h"

#include <QAbstractItemView>
#include <QClipboard>
#include <algorithm>
#include <map>

#include "cli/cli_support.h"
#include "gui_support.h"

namespace gui {
namespace {

using tc::test::KeyProbe;

struct KeyPress {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
};

const std::map<std::string, KeyPress> kKeys = {
    {"Esc", {Qt::Key_Escape, {}}},
    {"Enter", {Qt::Key_Return, {}}},
    {"Tab", {Qt::Key_Tab, {}}},
    {"STab", {Qt::Key_Backtab, Qt::ShiftModifier}},
    {"Home", {Qt::Key_Home, {}}},
    {"SHome", {Qt::Key_Home, Qt::ShiftModifier}},
    {"End", {Qt::Key_End, {}}},
    {"Left", {Qt::Key_Left, {}}},
    {"Right", {Qt::Key_Right, {}}},
    {"Up", {Qt::Key_Up, {}}},
    {"Down", {Qt::Key_Down, {}}},
    {"Del", {Qt::Key_Delete, {}}},
    {"Bksp", {Qt::Key_Backspace, {}}},
    {"Space", {Qt::Key_Space, {}}},
    {"PgUp", {Qt::Key_PageUp, {}}},
    {"PgDn", {Qt::Key_PageDown, {}}},
    {"CHome", {Qt::Key_Home, Qt::ControlModifier}},
    {"CEnd", {Qt::Key_End, Qt::ControlModifier}},
    {"F4", {Qt::Key_F4, {}}},
    {"ADown", {Qt::Key_Down, Qt::AltModifier}},
    {"AUp", {Qt::Key_Up, Qt::AltModifier}},
    {"Cz", {Qt::Key_Z, Qt::ControlModifier}},
    {"Cy", {Qt::Key_Y, Qt::ControlModifier}},
    {"CSz", {Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier}},
    {"Cc", {Qt::Key_C, Qt::ControlModifier}},
    {"Cv", {Qt::Key_V, Qt::ControlModifier}},
    {"CIns", {Qt::Key_Insert, Qt::ControlModifier}},
    {"SIns", {Qt::Key_Insert, Qt::ShiftModifier}},
    {"SDel", {Qt::Key_Delete, Qt::ShiftModifier}},
    {"SDown", {Qt::Key_Down, Qt::ShiftModifier}},
    {"ABksp", {Qt::Key_Backspace, Qt::AltModifier}},
};

class KeyProbes : public SampleWindowTest, public ::testing::WithParamInterface<KeyProbe> {
protected:
    void SetUp() override {
        SampleWindowTest::SetUp();
        // Opened without a click, so that the focus stays where the window put it.
        window->Core().OpenSource(path.toStdString());
        QApplication::processEvents();
        opened = window->Core().Model();
        QGuiApplication::clipboard()->setText(QString::fromUtf8(GetParam().clipboard));
    }

    // Where keys go: an open list first, as the application sends them there.
    static QWidget* KeyTarget() {
        if (QWidget* popup = QApplication::activePopupWidget())
            return popup->focusWidget() ? popup->focusWidget() : popup;
        return QApplication::focusWidget();
    }

    void Do(const std::string& token) {
        QComboBox* combos[] = {window->ComboBox1, window->ComboBox2, window->ComboBox3};
        QPushButton* buttons[] = {window->Button1, window->Button2, window->Button3, window->Button4,
                                  window->Button5, window->Button6, window->Button7};
        if (const auto key = kKeys.find(token); key != kKeys.end()) {
            QWidget* target = KeyTarget();
            ASSERT_NE(target, nullptr) << token;
            QTest::keyClick(target, key->second.key, key->second.modifiers);
        } else if (token[0] == 'c') {
            const auto comma = token.find(',');
            ClickCell(std::stoi(token.substr(1, comma - 1)), std::stoi(token.substr(comma + 1)));
        } else if (token == "WUp" || token == "WDown" || token == "CWDown") {
            QWidget* target = KeyTarget();
            ASSERT_NE(target, nullptr) << token;
            const QPoint middle = target->rect().center();
            QWheelEvent wheel(middle, target->mapToGlobal(middle), {}, {0, token == "WUp" ? 120 : -120}, Qt::NoButton,
                              token == "CWDown" ? Qt::ControlModifier : Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(target, &wheel);
        } else if (token[0] == 't') {
            QTest::keyClicks(KeyTarget(), QString::fromUtf8(token.substr(1)));
        } else if (token[0] == 'b') {
            QTest::mouseClick(buttons[std::stoi(token.substr(1)) - 1], Qt::LeftButton);
        } else if (token[0] == 'k') {
            QLineEdit* line = combos[std::stoi(token.substr(1)) - 1]->lineEdit();
            QTest::mouseClick(line, Qt::LeftButton, {}, line->rect().center());
        } else if (token[0] == 'i') {
            const auto open = std::find_if(std::begin(combos), std::end(combos),
                                           [](QComboBox* combo) { return combo->view()->isVisible(); });
            ASSERT_NE(open, std::end(combos)) << token;
            QAbstractItemView* list = (*open)->view();
            const QRect item = list->visualRect(list->model()->index((*open)->findText(token.substr(1).c_str()), 0));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
        } else {
            FAIL() << "no such token: " << token;
        }
        QApplication::processEvents();
    }

    tc::test::ProbeState State() {
        tc::test::ProbeState s;
        QWidget* focus = QApplication::focusWidget();
        while (focus && focus->parentWidget() != window.get()) focus = focus->parentWidget();
        s.focus = focus ? focus->objectName().toStdString() : "(none)";
        const QModelIndex current = window->StringGrid1->currentIndex();
        s.column = current.column();
        s.row = current.row() + 1;
        // Shown or not while the grid has no focus, the editor is the toolkit's look.
        auto* editor = qobject_cast<QLineEdit*>(window->StringGrid1->indexWidget(current));
        if (editor && s.focus == "StringGrid1") s.editor = editor->text().toStdString();
        QComboBox* combos[] = {window->ComboBox1, window->ComboBox2, window->ComboBox3};
        for (int i = 0; i < 3; ++i) {
            s.combos[i] = combos[i]->currentText().toStdString();
            if (combos[i]->view()->isVisible()) s.listOpen = true;
        }
        s.changed = tc::test::ChangedCells(opened.grid, window->Core().Model().grid);
        s.said = messages.all;
        s.clipboard = QGuiApplication::clipboard()->text().toStdString();
        s.language = window->Button7->text().toStdString();
        s.plotted5 = tc::test::FifthAngle(window->Core().Series().Points());
        return s;
    }

    tc::GridModel opened;
};

TEST_P(KeyProbes, ShowWhatTheRowSays) {
    const KeyProbe& probe = GetParam();
    if (tc::test::KnownToDiffer(probe, "Qt")) GTEST_SKIP() << "known to differ here";
    for (const std::string& token : tc::test::Tokens(probe.script)) Do(token);
    EXPECT_EQ(tc::test::Describe(State()), probe.shown);
}

INSTANTIATE_TEST_SUITE_P(Keys, KeyProbes, ::testing::ValuesIn(tc::test::kKeyProbes),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace gui
