// StringGrid1: a window class of our own over the grid model. Row 0 of the
// model is the header row; rows 1 to 32 scroll under it. An edit control over
// the current cell takes the typing while the cell is editable.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "table/grid.h"

namespace tc::win32 {

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

    std::function<void(int column, int row)> selectCell;
    // A typed text for the cell; the grid itself changes only through its owner.
    std::function<void(int column, int row, const std::string& text)> edited;
    // Ctrl+C, Ctrl+V, Ctrl+Z and Ctrl+Y (or Ctrl+Shift+Z) for the whole grid; the
    // editor's own typing is undone and redone in it first.
    std::function<void()> copy, paste, undo, redo;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK EditorProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR data);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT EditorMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool NavigationKey(WPARAM key, bool fromEditor);
    // The accelerator keys of the grid (Ctrl+…); true when the key was one of them.
    bool Shortcut(WPARAM key);
    // The editor's own undo and redo of what was typed since it showed the cell; false when it has none.
    bool EditorUndo();
    bool EditorRedo();
    // Sets the editor's text as the user would type it, so that the cell follows.
    void TypeIntoEditor(const std::wstring& text);
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
    std::wstring entered_;  // the editor's text as the cell gave it, before any typing
    std::wstring undone_;   // the typing the editor's own undo took back, for its redo
    bool canRedoTyping_ = false;
};

}  // namespace tc::win32
