// An editable combo box whose list keys work as a Windows combo box's, so that
// the same keys pick the same value in both windows.
#pragma once

#include <QComboBox>

namespace tc::qt {

// Typing leaves the list with no item selected, pointing at the first item the
// text begins with, else at the first item: Up, Down, Page Up and Page Down
// then pick that item, and the list opens on the item the text begins with, or
// on none. Otherwise Up and Down go one item, and Page Up and Page Down a page
// of the list, which holds every item.
class EditCombo : public QComboBox {
    Q_OBJECT
public:
    explicit EditCombo(QWidget* parent);
    // Shows a text of the program's: its item selected when the list has one.
    void ShowText(const QString& text);
    void showPopup() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int ItemTypedTextBegins() const;
    void Pick(int item);

    bool typed_ = false;  // the text was typed or set, no item picked since
    bool listWatched_ = false;
};

}  // namespace tc::qt
