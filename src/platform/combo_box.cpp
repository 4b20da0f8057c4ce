#include "platform/combo_box.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QLineEdit>
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
    connect(lineEdit(), &QLineEdit::textEdited, this, [this] { typed_ = true; });
    connect(this, &QComboBox::activated, this, [this] { typed_ = false; });
}

void EditCombo::ShowText(const QString& text) {
    const int item = findText(text, Qt::MatchExactly);
    if (currentIndex() != item) setCurrentIndex(item);
    if (currentText() != text) setEditText(text);
    typed_ = item < 0;
}

int EditCombo::ItemTypedTextBegins() const {
    const QString text = lineEdit()->text();
    return text.isEmpty() ? -1 : findText(text, Qt::MatchStartsWith);
}

void EditCombo::Pick(int item) {
    typed_ = false;
    setCurrentIndex(item);  // also shows the item's text when the index stays
}

void EditCombo::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const bool listKey = key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown;
    if (!listKey || (event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier || count() == 0) {
        QComboBox::keyPressEvent(event);
        return;
    }
    if (typed_) {
        Pick(std::max(ItemTypedTextBegins(), 0));
    } else {
        const int step = key == Qt::Key_Up ? -1 : key == Qt::Key_Down ? 1 : key == Qt::Key_PageUp ? -count() : count();
        Pick(std::clamp(currentIndex() + step, 0, count() - 1));
    }
    event->accept();
}

void EditCombo::showPopup() {
    QComboBox::showPopup();
    if (!listWatched_) {
        view()->installEventFilter(this);  // after the list's own filter, so it comes first
        listWatched_ = true;
    }
    if (!typed_) return;
    const int item = ItemTypedTextBegins();
    view()->selectionModel()->setCurrentIndex(item < 0 ? QModelIndex() : model()->index(item, modelColumn()),
                                              QItemSelectionModel::ClearAndSelect);
}

// Enter on the open list with no item highlighted closes it and keeps the typed text.
bool EditCombo::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !view()->currentIndex().isValid()) {
            hidePopup();
            return true;
        }
    }
    return QComboBox::eventFilter(watched, event);
}

}  // namespace tc::qt
