#include "platform/grid_view.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>

#include "app/layout.h"
#include "platform/qt_ports.h"

namespace tc::qt {

bool KeyFilter::Apply(const CharFilter& filter, QObject* target, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    // Keys without a character (arrows, Home, End, Delete) are not filtered; Tab moves the focus.
    if (key->text().isEmpty() || key->key() == Qt::Key_Delete || key->key() == Qt::Key_Tab ||
        key->key() == Qt::Key_Backtab)
        return false;
    const auto codes = key->text().toUcs4();
    const char32_t typed = codes.front();
    const auto passed = filter(typed);
    if (!passed) return true;
    if (*passed == typed) return false;
    const QString replacement = QString::fromUcs4(&*passed, 1);
    QKeyEvent replaced(QEvent::KeyPress, 0, key->modifiers(), replacement, key->isAutoRepeat());
    QCoreApplication::sendEvent(target, &replaced);
    return true;
}

bool KeyFilter::eventFilter(QObject* watched, QEvent* event) {
    return Apply(filter_, watched, event) || QObject::eventFilter(watched, event);
}

EditKey EditKeyOf(const QKeyEvent& key) {
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    const bool ctrl = modifiers == Qt::ControlModifier;
    const bool ctrlShift = modifiers == (Qt::ControlModifier | Qt::ShiftModifier);
    if (key.matches(QKeySequence::Copy) || (ctrl && key.key() == Qt::Key_C)) return EditKey::Copy;
    if (key.matches(QKeySequence::Paste) || (ctrl && key.key() == Qt::Key_V)) return EditKey::Paste;
    if (key.matches(QKeySequence::Redo) || (ctrl && key.key() == Qt::Key_Y) || (ctrlShift && key.key() == Qt::Key_Z))
        return EditKey::Redo;
    if (key.matches(QKeySequence::Undo) || (ctrl && key.key() == Qt::Key_Z)) return EditKey::Undo;
    return EditKey::None;
}

namespace {
void Call(const std::function<void()>& command) {
    if (command) command();
}

// The line edit's own undo or redo when it has one, else the core's; true when it was either key.
bool UndoOrRedo(EditKey which, QLineEdit* line, const std::function<void()>& undo, const std::function<void()>& redo) {
    if (which == EditKey::Undo) {
        if (line && line->isUndoAvailable())
            line->undo();
        else
            Call(undo);
        return true;
    }
    if (which == EditKey::Redo) {
        if (line && line->isRedoAvailable())
            line->redo();
        else
            Call(redo);
        return true;
    }
    return false;
}
}  // namespace

bool UndoKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress &&
        UndoOrRedo(EditKeyOf(*static_cast<QKeyEvent*>(event)), line_, undo_, redo_))
        return true;
    return QObject::eventFilter(watched, event);
}

int GridTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kGridRows - 1; }

int GridTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kGridColumns; }

QVariant GridTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
    return FromUtf8(grid_.Cell(index.column(), index.row() + 1));
}

QVariant GridTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    return FromUtf8(grid_.Cell(section, 0));
}

Qt::ItemFlags GridTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

bool GridTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole) return false;
    if (edited) edited(index.column(), index.row() + 1, value.toString());
    return true;
}

void GridTableModel::CellChanged(int column, int row) {
    if (row == 0) {
        emit headerDataChanged(Qt::Horizontal, column, column);
        return;
    }
    const QModelIndex at = index(row - 1, column);
    emit dataChanged(at, at);
}

void GridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    if (index.column() != kAngleColumn) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    // The angle column: yellow whatever its state, text at the very top-left corner.
    painter->save();
    painter->fillRect(option.rect, QColor(kAngleColumnColor.r, kAngleColumnColor.g, kAngleColumnColor.b));
    painter->setFont(option.font);
    painter->setPen(option.palette.color(QPalette::Text));
    painter->drawText(option.rect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, index.data().toString());
    painter->restore();
}

QWidget* GridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const {
    auto* editor = new QLineEdit(parent);
    editor->setFrame(false);
    editor->setTextMargins(0, 0, 0, 0);
    editor->setContentsMargins(0, 0, 0, 0);
    // The cell follows the editor as it is typed in, as the grid's own text.
    auto* model = const_cast<QAbstractItemModel*>(index.model());
    const QPersistentModelIndex cell(index);
    connect(editor, &QLineEdit::textEdited, editor, [model, cell](const QString& text) {
        if (cell.isValid()) model->setData(cell, text, Qt::EditRole);
    });
    return editor;
}

void GridDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option, const QModelIndex&) const {
    editor->setGeometry(option.rect);
}

namespace {

// Where a Left or Right arrow leaves the text for the neighbouring cell, as in a
// grid whose editor is always shown: at that end of the text, or with all of it selected.
bool AtEdge(const QLineEdit& line, bool left) {
    const auto length = line.text().size();
    if (line.hasSelectedText()) return line.selectionStart() == 0 && line.selectedText().size() == length;
    return line.cursorPosition() == (left ? 0 : length);
}

}  // namespace

bool GridDelegate::eventFilter(QObject* editor, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* view = qobject_cast<QAbstractItemView*>(editor->parent() ? editor->parent()->parent() : nullptr);
        const int column = view ? view->currentIndex().column() : -1;
        auto* grid = qobject_cast<StringGridView*>(view);
        if (grid && grid->Command(*static_cast<QKeyEvent*>(event), qobject_cast<QLineEdit*>(editor))) return true;
        const char32_t separator = separator_();
        const CharFilter filter = [column, separator](char32_t ch) { return FilterGridKey(column, ch, separator); };
        if (KeyFilter::Apply(filter, editor, event)) return true;
        // Tab belongs to the focus chain, not to moving between cells.
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) return false;
        const bool left = key->key() == Qt::Key_Left;
        const bool plain = (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;  // the keypad's arrows too
        if ((left || key->key() == Qt::Key_Right) && plain) {
            const auto* line = qobject_cast<QLineEdit*>(editor);
            if (view && line && AtEdge(*line, left)) {
                QCoreApplication::sendEvent(view, event);
                return true;
            }
        }
    }
    return QStyledItemDelegate::eventFilter(editor, event);
}

namespace {
// The header row has a height of its own: it need not measure every header text to find one.
class FixedHeightHeader : public QHeaderView {
public:
    explicit FixedHeightHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {}
    QSize sizeHint() const override { return {length(), kHeaderRowHeight}; }
};
}  // namespace

StringGridView::StringGridView(QWidget* parent, const GridModel& model, std::function<char32_t()> separator)
    : QTableView(parent), model_(model), tableModel_(model.grid), separator_(std::move(separator)) {
    setObjectName("StringGrid1");
    setHorizontalHeader(new FixedHeightHeader(this));
    // Hidden before the model comes, which would have it measure every row's number first.
    verticalHeader()->hide();
    setModel(&tableModel_);
    setItemDelegate(new GridDelegate(this, separator_));
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setFixedHeight(kHeaderRowHeight);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(kDefaultRowHeight);
    for (int column = 0; column < kGridColumns; ++column) setColumnWidth(column, ColumnWidth(column));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setCurrentIndex(tableModel_.index(0, kSpeedColumn));
}

void StringGridView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    // The editing option must be right before the base class decides whether to open an editor.
    if (current.isValid() && selectCell) selectCell(current.column(), current.row() + 1);
    QTableView::currentChanged(current, previous);
    if (current.isValid()) ShowEditor();
}

bool StringGridView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    // A click on the current cell would open its editor only after a double-click
    // interval, and the keys typed meanwhile would be lost; it opens at once here,
    // as on any cell that becomes current.
    if (trigger == SelectedClicked && (editTriggers() & SelectedClicked))
        return QTableView::edit(index, EditKeyPressed, nullptr);
    return QTableView::edit(index, trigger, event);
}

void StringGridView::SetEditing(bool editing) {
    setEditTriggers(editing ? QAbstractItemView::AllEditTriggers : QAbstractItemView::NoEditTriggers);
    if (!editing)
        if (QWidget* editor = indexWidget(currentIndex())) closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void StringGridView::ShowEditor() {
    if (!model_.editing || !isVisible() || state() == QAbstractItemView::EditingState) return;
    edit(currentIndex());
}

void StringGridView::showEvent(QShowEvent* event) {
    QTableView::showEvent(event);
    ShowEditor();
}

// The editor closes when the focus leaves the grid; back in it, the current cell's
// editor shows again, its text selected, as when the cell became current.
void StringGridView::focusInEvent(QFocusEvent* event) {
    QTableView::focusInEvent(event);
    ShowEditor();
}

// Copy and paste take the whole grid and a column, so the editor's own are not
// used; its typing is undone in it first, as in any text field.
bool StringGridView::Command(const QKeyEvent& key, QLineEdit* editor) {
    const EditKey which = EditKeyOf(key);
    const bool own = editor && ((which == EditKey::Undo && editor->isUndoAvailable()) ||
                                (which == EditKey::Redo && editor->isRedoAvailable()));
    if (own) {
        which == EditKey::Undo ? editor->undo() : editor->redo();
        // The cell follows its editor, whether or not the undo told it.
        if (currentIndex().isValid()) model()->setData(currentIndex(), editor->text(), Qt::EditRole);
        return true;
    }
    switch (which) {
        case EditKey::Copy: Call(copy); return true;
        case EditKey::Paste: Call(paste); return true;
        case EditKey::Undo: Call(undo); return true;
        case EditKey::Redo: Call(redo); return true;
        case EditKey::None: break;
    }
    return false;
}

void StringGridView::keyPressEvent(QKeyEvent* event) {
    if (Command(*event, nullptr)) return;
    // Typing on a read-only cell does nothing; on an editable one the editor takes it.
    const int column = currentIndex().column();
    const char32_t separator = separator_();
    const CharFilter filter = [column, separator](char32_t ch) { return FilterGridKey(column, ch, separator); };
    if (KeyFilter::Apply(filter, this, event)) return;
    QTableView::keyPressEvent(event);
}

}  // namespace tc::qt
