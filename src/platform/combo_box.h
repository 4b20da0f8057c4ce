// An editable combo box whose list keys work as a Windows combo box's, so that
// the same keys pick the same value in both windows.
#pragma once

#include <QComboBox>

namespace tc::qt {

// Typing leaves the list with no item selected, pointing at the first item the
// text begins with, else at the first item: Up, Down, Page Up, Page Down and
// the wheel then pick that item. Otherwise Up and Down go one item, and Page Up and Page
// Down to the ends (one page holds every item). The list opens on the first
// item the text begins with, or on none, and typing goes on into the text.
class EditCombo : public QComboBox {
    Q_OBJECT
public:
    explicit EditCombo(QWidget* parent);
    // Shows a text of the program's: its item selected when the list has one.
    void ShowText(const QString& text);
    void showPopup() override;
    void hidePopup() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int ItemTextBegins() const;  // the first item the text begins with, or -1
    void Pick(int item);
    void Step(int key);  // Up, Down, Page Up or Page Down on the closed list
    void Highlight(int item);
    void SelectAllIfFocused();

    bool typed_ = false;  // typed, or set to a text not in the list; no item picked since
    bool listWatched_ = false;
    int edits_ = 0;  // the user's edits of the text so far
    struct {
        QString text;
        int cursor = 0, start = -1, selected = 0;
    } opened_;  // the text and its caret when the list opened
};

}  // namespace tc::qt
