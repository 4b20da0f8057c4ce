// StringGrid1: a table view over the grid model. Row 0 of the model is the
// view's header; model rows 1 to 32 are view rows 0 to 31.
#pragma once

#include <QAbstractTableModel>
#include <QStyledItemDelegate>
#include <QLineEdit>
#include <QTableView>
#include <functional>
#include <optional>

#include "table/grid.h"

namespace tc::qt {

// Lets a typed character through, replaces it or drops it.
using CharFilter = std::function<std::optional<char32_t>(char32_t)>;

// Applies a character filter to the key presses of a widget.
class KeyFilter : public QObject {
public:
    KeyFilter(QObject* parent, CharFilter filter) : QObject(parent), filter_(std::move(filter)) {}
    bool eventFilter(QObject* watched, QEvent* event) override;
    // True when the event was consumed (dropped, or resent with its replacement).
    static bool Apply(const CharFilter& filter, QObject* target, QEvent* event);

private:
    CharFilter filter_;
};

// The editing keys the window answers itself, whatever the platform's own are.
enum class EditKey { None, Copy, Paste, Undo, Redo };
EditKey EditKeyOf(const QKeyEvent& key);

// Undo and redo for a line edit that shows a value of the core: its own typing
// first, then the core's steps. The line edit's own history starts anew
// whenever the core sets its text.
class UndoKeys : public QObject {
public:
    UndoKeys(QObject* parent, QLineEdit* line, std::function<void()> undo, std::function<void()> redo)
        : QObject(parent), line_(line), undo_(std::move(undo)), redo_(std::move(redo)) {}
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* line_;
    std::function<void()> undo_, redo_;
};

class GridTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GridTableModel(const AdvanceGrid& grid, QObject* parent = nullptr)
        : QAbstractTableModel(parent), grid_(grid) {}
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    void CellChanged(int column, int row);

    // A typed text for the cell (column, model row); the grid itself changes only through its owner.
    std::function<void(int column, int row, const QString& text)> edited;

private:
    const AdvanceGrid& grid_;
};

class GridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    GridDelegate(QObject* parent, std::function<char32_t()> separator)
        : QStyledItemDelegate(parent), separator_(std::move(separator)) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

protected:
    bool eventFilter(QObject* editor, QEvent* event) override;

private:
    std::function<char32_t()> separator_;
};

class StringGridView : public QTableView {
    Q_OBJECT
public:
    StringGridView(QWidget* parent, const GridModel& model, std::function<char32_t()> separator);
    GridTableModel& TableModel() { return tableModel_; }
    // Follows the editing option: the editor is shown whenever an editable cell is current.
    void SetEditing(bool editing);
    std::function<void(int column, int row)> selectCell;
    // Ctrl+C, Ctrl+V, Ctrl+Z and Ctrl+Y (or Ctrl+Shift+Z), for the whole grid.
    std::function<void()> copy, paste, undo, redo;
    // Runs the command of an editing key, the cell editor's own undo first; false for other keys.
    bool Command(const QKeyEvent& key, QLineEdit* editor);

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    using QTableView::edit;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void keyboardSearch(const QString&) override {}
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void ShowEditor();
    const GridModel& model_;
    GridTableModel tableModel_;
    std::function<char32_t()> separator_;
};

}  // namespace tc::qt
