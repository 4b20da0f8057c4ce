#include "platform/combo_box.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWheelEvent>
#include <algorithm>

namespace tc::qt {

EditCombo::EditCombo(QWidget* parent) : QComboBox(parent) {
    // A line edit of its own makes it editable without setEditable's drop-down made
    // up front, which would add a tenth to the start-up; the drop-down comes when opened.
    setLineEdit(new QLineEdit(this));
    // No completion from the list, which setLineEdit adds: a typed "3" is the angle 3,
    // not the list's "35", as in the Win32 window.
    setCompleter(nullptr);
    setInsertPolicy(QComboBox::NoInsert);
    setDuplicatesEnabled(true);
    connect(lineEdit(), &QLineEdit::textEdited, this, [this] {
        typed_ = true;
        ++edits_;
    });
    connect(this, &QComboBox::activated, this, [this] {
        typed_ = false;
        SelectAllIfFocused();
    });
}

void EditCombo::ShowText(const QString& text) {
    const int item = findText(text, Qt::MatchExactly);
    if (currentIndex() != item) setCurrentIndex(item);
    if (currentText() != text) setEditText(text);
    typed_ = item < 0;
    if (listWatched_ && view()->isVisible()) Highlight(item);
}

int EditCombo::ItemTextBegins() const {
    const QString text = lineEdit()->text();
    return text.isEmpty() ? -1 : findText(text, Qt::MatchStartsWith);
}

void EditCombo::Pick(int item) {
    typed_ = false;
    setCurrentIndex(item);  // also shows the item's text when the index stays
    SelectAllIfFocused();
}

// A picked item's text is selected, so that typing replaces it, as in Windows.
void EditCombo::SelectAllIfFocused() {
    if (hasFocus()) lineEdit()->selectAll();
}

void EditCombo::Step(int key) {
    if (typed_) {
        Pick(std::max(ItemTextBegins(), 0));
        return;
    }
    const int step = key == Qt::Key_Up ? -1 : key == Qt::Key_Down ? 1 : key == Qt::Key_PageUp ? -count() : count();
    Pick(std::clamp(currentIndex() + step, 0, count() - 1));
}

void EditCombo::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const bool listKey = key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown;
    if (listKey && (event->modifiers() & Qt::AltModifier)) {
        if (key == Qt::Key_Up || key == Qt::Key_Down) showPopup();  // Alt+Page Up and Down do nothing
        event->accept();
        return;
    }
    if (!listKey || count() == 0) {
        QComboBox::keyPressEvent(event);
        return;
    }
    Step(key);
    event->accept();
}

// The focused box's wheel is Up or Down, as in a Windows combo box; with Shift or Ctrl it is not.
void EditCombo::wheelEvent(QWheelEvent* event) {
    const int turned = event->angleDelta().y();
    const bool plain = (event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier)) == Qt::NoModifier;
    if (turned == 0 || count() == 0 || !hasFocus() || !plain) {
        event->ignore();
        return;
    }
    Step(turned > 0 ? Qt::Key_Up : Qt::Key_Down);
    event->accept();
}

void EditCombo::showPopup() {
    const int item = ItemTextBegins();
    QLineEdit& line = *lineEdit();
    opened_ = {line.text(), line.cursorPosition(), line.selectionStart(), line.selectionLength()};
    QComboBox::showPopup();
    if (!listWatched_) {
        view()->installEventFilter(this);  // after the list's own filter, so it comes first
        listWatched_ = true;
    }
    Highlight(item);
    if (item >= 0) lineEdit()->selectAll();  // typing replaces the text, as the highlighted item would be
}

// A list closed on the text it opened on leaves the caret where it was.
void EditCombo::hidePopup() {
    QComboBox::hidePopup();
    QLineEdit& line = *lineEdit();
    if (line.text() != opened_.text) return;
    if (opened_.selected > 0)
        line.setSelection(opened_.start, opened_.selected);
    else
        line.setCursorPosition(opened_.cursor);
}

void EditCombo::Highlight(int item) {
    view()->selectionModel()->setCurrentIndex(item < 0 ? QModelIndex() : model()->index(item, modelColumn()),
                                              QItemSelectionModel::ClearAndSelect);
}

// While the list is open, the keys that edit go on editing the text, and the list
// highlights the first item the text begins with; Enter with no item highlighted
// closes the list and keeps the text.
bool EditCombo::eventFilter(QObject* watched, QEvent* event) {
    if (watched != view() || event->type() != QEvent::KeyPress) return QComboBox::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (view()->currentIndex().isValid()) return false;
            hidePopup();
            return true;
        case Qt::Key_Escape:
        case Qt::Key_Tab:
        case Qt::Key_Backtab: return false;
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Delete:
        case Qt::Key_Insert: break;
        default:
            if (key->text().isEmpty()) return false;
    }
    const int edits = edits_;
    QCoreApplication::sendEvent(lineEdit(), key);
    if (edits_ != edits) Highlight(ItemTextBegins());  // a text the program sets shows its own item
    return true;
}

}  // namespace tc::qt
