// StringGrid1: a window class of our own over the grid model. Row 0 of the
// model is the header row; rows 1 to 32 scroll under it. An edit control over
// the current cell takes the typing while the cell is editable.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "table/grid.h"

namespace tc::win32 {

// The editing keys the window answers itself, whatever the controls' own are:
// Ctrl+C or Ctrl+Insert, Ctrl+V or Shift+Insert, Ctrl+Z or Alt+Backspace, and
// Ctrl+Y, Ctrl+Shift+Z or Alt+Shift+Backspace. From a key-down message, with
// the keys held now.
enum class EditKey { None, Copy, Paste, Undo, Redo };
EditKey EditKeyOf(UINT message, WPARAM key);

// The own undo and redo of the typing in a subclassed edit control, in the
// parts any text field takes back at once: a part ends where the caret was
// moved or the kind of typing changes. Undo and redo set the text as typed,
// so that the edit tells its owner of the change.
class TypingHistory {
public:
    // Hands a typing key (a character, or Delete) on to the edit and keeps the text from before it.
    LRESULT Type(HWND edit, UINT message, WPARAM wParam, LPARAM lParam);
    // False when there is nothing of its own to undo or redo.
    bool Undo(HWND edit);
    bool Redo(HWND edit);
    // When the text is set from elsewhere: its typing is no longer there to undo.
    void Forget();

private:
    struct State {
        std::wstring text;
        DWORD start = 0, end = 0;  // the selection
    };
    enum class Kind { None, Insert, Backspace, Delete };
    static State Now(HWND edit);
    void Restore(HWND edit, const State& state);
    // Back to the last state of `from`, keeping the present in `to`.
    bool Step(HWND edit, std::vector<State>& from, std::vector<State>& to);

    std::vector<State> undo_, redo_;
    Kind last_ = Kind::None;  // the kind of the last typing key
    DWORD caret_ = 0;         // where it left the caret
};

class StringGrid {
public:
    // Made at its place, in the window's DPI and font.
    StringGrid(HWND parent, int id, const RECT& place, int dpi, HFONT font, const GridModel& model,
               std::function<char32_t()> separator);
    StringGrid(const StringGrid&) = delete;
    StringGrid& operator=(const StringGrid&) = delete;

    HWND Handle() const { return hwnd_; }
    // The cell editor while one is shown on the current cell, else nullptr.
    HWND Editor() const;
    int Column() const { return column_; }
    int Row() const { return row_; }  // a model row, 1 to 32
    int TopRow() const { return topRow_; }
    // Where a cell lies in the client area; rows scrolled out of sight lie outside it.
    RECT CellRect(int column, int row) const;

    void SetDpi(int dpi, HFONT font);
    // Follows the editing option: the editor is shown whenever an editable cell is current.
    void SetEditing(bool editing);
    void CellChanged(int column, int row);
    // Makes the cell current, as a click or an arrow key does.
    void MoveTo(int column, int row);
    // Draws the grid, without the editor, into any device context.
    void Paint(HDC dc) const;

    // Runs the command of an editing key, the editor's own undo and redo first; false for EditKey::None.
    bool Command(EditKey which);

    std::function<void(int column, int row)> selectCell;
    // A typed text for the cell; the grid itself changes only through its owner.
    std::function<void(int column, int row, const std::string& text)> edited;
    // Copy, paste, undo and redo for the whole grid.
    std::function<void()> copy, paste, undo, redo;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK EditorProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR data);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT EditorMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool NavigationKey(WPARAM key, bool fromEditor);
    void Click(int x, int y);
    void Scroll(int topRow);
    void ScrollBar(int code, int position);
    void PaintWindow();
    int VisibleRows() const;
    void UpdateScrollBar();
    void ShowEditor();
    void PlaceEditor();
    void Typed();
    void PaintCell(HDC dc, int column, int row) const;

    HWND hwnd_ = nullptr;
    HWND editor_ = nullptr;
    HFONT font_ = nullptr;
    const GridModel& model_;
    std::function<char32_t()> separator_;
    int dpi_ = 96;
    int column_ = kSpeedColumn;
    int row_ = 1;
    int topRow_ = 1;
    bool showing_ = false;  // the editor's text is being set, not typed
    TypingHistory typing_;  // the editor's, since it showed the cell and while it has the focus
};

}  // namespace tc::win32
