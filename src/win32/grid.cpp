#include "win32/grid.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "app/layout.h"
#include "win32/text.h"

namespace tc::win32 {

namespace {
constexpr wchar_t kClassName[] = L"TcStringGrid";
constexpr int kRows = kGridRows - 1;  // below the header
constexpr COLORREF kGridLine = RGB(192, 192, 192);

void RegisterClassOnce(WNDPROC proc) {
    static const bool registered = [proc] {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof wc;
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kClassName;
        return ::RegisterClassExW(&wc) != 0;
    }();
    (void)registered;
}

COLORREF ToColorRef(const Rgb& rgb) { return RGB(rgb.r, rgb.g, rgb.b); }

bool Pressed(int key) { return ::GetKeyState(key) < 0; }
}  // namespace

EditKey EditKeyOf(UINT message, WPARAM key) {
    const bool control = Pressed(VK_CONTROL), shift = Pressed(VK_SHIFT), alt = Pressed(VK_MENU);
    if (message == WM_SYSKEYDOWN && alt && !control && key == VK_BACK) return shift ? EditKey::Redo : EditKey::Undo;
    if (message != WM_KEYDOWN || alt) return EditKey::None;
    if (control && shift) return key == 'Z' ? EditKey::Redo : EditKey::None;
    if (shift) return key == VK_INSERT ? EditKey::Paste : EditKey::None;
    if (!control) return EditKey::None;
    switch (key) {
        case 'C':
        case VK_INSERT: return EditKey::Copy;
        case 'V': return EditKey::Paste;
        case 'Z': return EditKey::Undo;
        case 'Y': return EditKey::Redo;
        default: return EditKey::None;
    }
}

TypingHistory::State TypingHistory::Now(HWND edit) {
    const int length = ::GetWindowTextLengthW(edit);
    State state{std::wstring(static_cast<std::size_t>(length) + 1, L'\0')};
    state.text.resize(static_cast<std::size_t>(::GetWindowTextW(edit, state.text.data(), length + 1)));
    ::SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&state.start), reinterpret_cast<LPARAM>(&state.end));
    return state;
}

LRESULT TypingHistory::Type(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    Kind kind = Kind::Delete;
    if (message == WM_CHAR) kind = wParam == kBackspace ? Kind::Backspace : Kind::Insert;
    State before = Now(edit);
    const LRESULT result = ::DefSubclassProc(edit, message, wParam, lParam);
    const State after = Now(edit);
    if (after.text == before.text) return result;
    const bool continued = kind == last_ && before.start == before.end && before.end == caret_;
    if (!continued) undo_.push_back(std::move(before));
    redo_.clear();
    last_ = kind;
    caret_ = after.end;
    return result;
}

// Replaced, not set: a combo box's edit tells of a text set by WM_SETTEXT to no one.
void TypingHistory::Restore(HWND edit, const State& state) {
    ::SendMessageW(edit, EM_SETSEL, 0, -1);
    ::SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(state.text.c_str()));
    ::SendMessageW(edit, EM_SETSEL, state.start, static_cast<LPARAM>(state.end));
    last_ = Kind::None;
}

bool TypingHistory::Undo(HWND edit) { return Step(edit, undo_, redo_); }

bool TypingHistory::Redo(HWND edit) { return Step(edit, redo_, undo_); }

bool TypingHistory::Step(HWND edit, std::vector<State>& from, std::vector<State>& to) {
    if (from.empty()) return false;
    const State state = from.back();
    from.pop_back();
    to.push_back(Now(edit));
    Restore(edit, state);
    return true;
}

void TypingHistory::Forget() {
    undo_.clear();
    redo_.clear();
    last_ = Kind::None;
}

StringGrid::StringGrid(HWND parent, int id, const RECT& place, int dpi, HFONT font, const GridModel& model,
                       std::function<char32_t()> separator)
    : font_(font), model_(model), separator_(std::move(separator)), dpi_(dpi) {
    RegisterClassOnce(&StringGrid::Proc);
    hwnd_ = ::CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER | WS_CLIPCHILDREN,
                              place.left, place.top, place.right - place.left, place.bottom - place.top, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr), this);
    editor_ = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | ES_AUTOHSCROLL, 0, 0, 0, 0, hwnd_, nullptr,
                                ::GetModuleHandleW(nullptr), nullptr);
    ::SetWindowSubclass(editor_, &StringGrid::EditorProc, 1, reinterpret_cast<DWORD_PTR>(this));
    SetDpi(dpi, font);  // the editor's font and margins
}

LRESULT CALLBACK StringGrid::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* created = static_cast<StringGrid*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        created->hwnd_ = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    }
    auto* grid = reinterpret_cast<StringGrid*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    return grid ? grid->Handle(message, wParam, lParam) : ::DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK StringGrid::EditorProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                        DWORD_PTR data) {
    auto* grid = reinterpret_cast<StringGrid*>(data);
    if (message == WM_NCDESTROY) ::RemoveWindowSubclass(hwnd, &StringGrid::EditorProc, 1);
    return grid->EditorMessage(message, wParam, lParam);
}

HWND StringGrid::Editor() const { return ::IsWindowVisible(editor_) ? editor_ : nullptr; }

int StringGrid::VisibleRows() const {
    RECT client;
    ::GetClientRect(hwnd_, &client);
    const int rows = (client.bottom - Scaled(kHeaderRowHeight, dpi_)) / Scaled(kDefaultRowHeight, dpi_);
    return std::clamp(rows, 1, kRows);
}

RECT StringGrid::CellRect(int column, int row) const {
    RECT cell{0, 0, 0, 0};
    for (int c = 0; c < column; ++c) cell.left += Scaled(ColumnWidth(c), dpi_);
    cell.right = cell.left + Scaled(ColumnWidth(column), dpi_);
    if (row == 0) {
        cell.bottom = Scaled(kHeaderRowHeight, dpi_);
        return cell;
    }
    cell.top = Scaled(kHeaderRowHeight, dpi_) + (row - topRow_) * Scaled(kDefaultRowHeight, dpi_);
    cell.bottom = cell.top + Scaled(kDefaultRowHeight, dpi_);
    return cell;
}

void StringGrid::SetDpi(int dpi, HFONT font) {
    dpi_ = dpi;
    font_ = font;
    ::SendMessageW(editor_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    ::SendMessageW(editor_, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(Scaled(2, dpi), 0));
    UpdateScrollBar();
    PlaceEditor();
    ::InvalidateRect(hwnd_, nullptr, FALSE);
}

void StringGrid::UpdateScrollBar() {
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = 1;
    info.nMax = kRows;
    info.nPage = static_cast<UINT>(VisibleRows());
    info.nPos = topRow_;
    // Shown only when the rows do not all fit; showing it narrows the rows' room.
    ::ShowScrollBar(hwnd_, SB_VERT, VisibleRows() < kRows);
    ::SetScrollInfo(hwnd_, SB_VERT, &info, TRUE);
}

void StringGrid::Scroll(int topRow) {
    topRow = std::clamp(topRow, 1, kRows - VisibleRows() + 1);
    if (topRow == topRow_) return;
    topRow_ = topRow;
    UpdateScrollBar();
    PlaceEditor();
    ::InvalidateRect(hwnd_, nullptr, FALSE);
}

void StringGrid::SetEditing(bool editing) {
    if (!editing) ::ShowWindow(editor_, SW_HIDE);
}

void StringGrid::CellChanged(int column, int row) {
    RECT cell = CellRect(column, row);
    ::InvalidateRect(hwnd_, &cell, FALSE);
    if (column != column_ || row != row_ || !Editor()) return;
    const std::wstring text = Wide(model_.grid.Cell(column, row));
    // A change from elsewhere (undo, paste) is the editor's new starting point.
    typing_.Forget();
    wchar_t shown[256] = {};
    ::GetWindowTextW(editor_, shown, 256);
    if (text == shown) return;
    showing_ = true;
    ::SetWindowTextW(editor_, text.c_str());
    showing_ = false;
}

void StringGrid::MoveTo(int column, int row) {
    column = std::clamp(column, 0, kGridColumns - 1);
    row = std::clamp(row, 1, kRows);
    if (column == column_ && row == row_ && Editor()) return;  // an arrow at the grid's edge
    if (row < topRow_) Scroll(row);
    if (row >= topRow_ + VisibleRows()) Scroll(row - VisibleRows() + 1);
    RECT before = CellRect(column_, row_);
    ::InvalidateRect(hwnd_, &before, FALSE);
    column_ = column;
    row_ = row;
    RECT after = CellRect(column_, row_);
    ::InvalidateRect(hwnd_, &after, FALSE);
    // The editing option must be right before the editor is shown or not.
    ::ShowWindow(editor_, SW_HIDE);
    if (selectCell) selectCell(column, row);
    ShowEditor();
}

void StringGrid::ShowEditor() {
    if (!model_.editing) return;
    const bool focused = ::GetFocus() == hwnd_ || ::GetFocus() == editor_;
    typing_.Forget();
    showing_ = true;
    ::SetWindowTextW(editor_, Wide(model_.grid.Cell(column_, row_)).c_str());
    showing_ = false;
    PlaceEditor();
    ::ShowWindow(editor_, SW_SHOW);
    // As a grid whose editor is always shown: a cell entered has its whole text selected.
    ::SendMessageW(editor_, EM_SETSEL, 0, -1);
    if (focused) ::SetFocus(editor_);
}

void StringGrid::PlaceEditor() {
    const RECT cell = CellRect(column_, row_);
    // Inside the grid lines, which lie on each cell's right and bottom edge.
    ::MoveWindow(editor_, cell.left, cell.top, cell.right - cell.left - 1, cell.bottom - cell.top - 1, TRUE);
}

namespace {
std::wstring TextOf(HWND edit) {
    const int length = ::GetWindowTextLengthW(edit);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    ::GetWindowTextW(edit, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

void Call(const std::function<void()>& command) {
    if (command) command();
}
}  // namespace

void StringGrid::Typed() {
    if (showing_) return;
    if (edited) edited(column_, row_, Utf8(TextOf(editor_)));
}

void StringGrid::Click(int x, int y) {
    ::SetFocus(hwnd_);
    if (y < Scaled(kHeaderRowHeight, dpi_)) return;
    const int row = topRow_ + (y - Scaled(kHeaderRowHeight, dpi_)) / Scaled(kDefaultRowHeight, dpi_);
    for (int column = 0; column < kGridColumns; ++column) {
        const RECT cell = CellRect(column, row);
        if (x < cell.left || x >= cell.right || row > kRows) continue;
        // A click on the current cell opens its editor at once, as on any other.
        if (column == column_ && row == row_)
            ShowEditor();
        else
            MoveTo(column, row);
        return;
    }
}

// Copy and paste take the whole grid and a column, so the editor's own are not used.
bool StringGrid::Command(EditKey which) {
    switch (which) {
        case EditKey::Copy: Call(copy); return true;
        case EditKey::Paste: Call(paste); return true;
        // The editor's own typing first, as in any text field.
        case EditKey::Undo:
            if (!Editor() || !typing_.Undo(editor_)) Call(undo);
            return true;
        case EditKey::Redo:
            if (!Editor() || !typing_.Redo(editor_)) Call(redo);
            return true;
        case EditKey::None: break;
    }
    return false;
}

// Arrows and paging. From the editor, Left and Right leave the text only at
// its ends, or with all of it selected, as in a grid whose editor is always shown.
bool StringGrid::NavigationKey(WPARAM key, bool fromEditor) {
    if (Pressed(VK_SHIFT) || Pressed(VK_MENU)) return false;
    if (Pressed(VK_CONTROL)) {
        // The grid's first and last cell.
        if (key == VK_HOME) MoveTo(0, 1);
        if (key == VK_END) MoveTo(kGridColumns - 1, kRows);
        return key == VK_HOME || key == VK_END;
    }
    if ((key == VK_LEFT || key == VK_RIGHT) && fromEditor) {
        DWORD start = 0, end = 0;
        ::SendMessageW(editor_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        const auto length = static_cast<DWORD>(::GetWindowTextLengthW(editor_));
        const bool all = start == 0 && end == length && length > 0;
        const bool edge = start == end && start == (key == VK_LEFT ? 0 : length);
        if (!all && !edge) return false;
    }
    switch (key) {
        case VK_LEFT: MoveTo(column_ - 1, row_); return true;
        case VK_RIGHT: MoveTo(column_ + 1, row_); return true;
        case VK_UP: MoveTo(column_, row_ - 1); return true;
        case VK_DOWN: MoveTo(column_, row_ + 1); return true;
        case VK_PRIOR: MoveTo(column_, row_ - VisibleRows()); return true;
        case VK_NEXT: MoveTo(column_, row_ + VisibleRows()); return true;
        default: return false;
    }
}

LRESULT StringGrid::EditorMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_GETDLGCODE: {
            // Enter stays with the cell; Tab goes on through the window's controls.
            const auto* msg = reinterpret_cast<const MSG*>(lParam);
            const bool enter = msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN;
            return ::DefSubclassProc(editor_, message, wParam, lParam) | DLGC_WANTARROWS |
                   (enter ? DLGC_WANTMESSAGE : 0);
        }
        case WM_SYSKEYDOWN:
            if (Command(EditKeyOf(message, wParam))) return 0;
            break;
        case WM_KEYDOWN:
            if (Command(EditKeyOf(message, wParam)) || NavigationKey(wParam, true)) return 0;
            if (wParam == VK_RETURN) return 0;  // a cell's text has one line: Enter does nothing
            if (wParam == VK_DELETE) return typing_.Type(editor_, message, wParam, lParam);
            break;
        case WM_CHAR: {
            // Every character through the cell's filter, control characters too, as in the Qt grid.
            const auto passed = FilterGridKey(column_, static_cast<char32_t>(wParam), separator_());
            if (!passed || wParam == L'\r' || wParam == L'\t') return 0;
            return typing_.Type(editor_, message, static_cast<WPARAM>(*passed), lParam);
        }
        case WM_KILLFOCUS: typing_.Forget(); break;  // as if the editor were closed: coming back starts anew
        case WM_PASTE:
        case WM_CUT:
        case WM_CLEAR:
        case WM_UNDO:
        case WM_CONTEXTMENU: return 0;  // the clipboard and undo go through the core, not past it
        default: break;
    }
    return ::DefSubclassProc(editor_, message, wParam, lParam);
}

LRESULT StringGrid::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_SETFOCUS:
            // Back in the grid, as by Tab, the editor's text is selected: typing replaces it.
            if (Editor()) {
                ::SetFocus(editor_);
                ::SendMessageW(editor_, EM_SETSEL, 0, -1);
            }
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: Click(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return 0;
        case WM_SYSKEYDOWN:
            if (Command(EditKeyOf(message, wParam))) return 0;
            break;
        case WM_KEYDOWN:
            if (Command(EditKeyOf(message, wParam)) || NavigationKey(wParam, false)) return 0;
            break;
        case WM_CHAR: return 0;  // typing on a read-only cell does nothing
        case WM_COMMAND:
            if (reinterpret_cast<HWND>(lParam) == editor_ && HIWORD(wParam) == EN_CHANGE) Typed();
            return 0;
        case WM_VSCROLL: ScrollBar(LOWORD(wParam), HIWORD(wParam)); return 0;
        case WM_MOUSEWHEEL: Scroll(topRow_ - GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA * 3); return 0;
        case WM_SIZE: UpdateScrollBar(); return 0;
        case WM_ERASEBKGND: return 1;
        case WM_PRINTCLIENT: Paint(reinterpret_cast<HDC>(wParam)); return 0;
        case WM_PAINT: PaintWindow(); return 0;
        default: break;
    }
    return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

void StringGrid::ScrollBar(int code, int position) {
    const int page = VisibleRows();
    switch (code) {
        case SB_LINEUP: Scroll(topRow_ - 1); break;
        case SB_LINEDOWN: Scroll(topRow_ + 1); break;
        case SB_PAGEUP: Scroll(topRow_ - page); break;
        case SB_PAGEDOWN: Scroll(topRow_ + page); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: Scroll(position); break;
        default: break;
    }
}

void StringGrid::PaintWindow() {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(hwnd_, &ps);
    // Drawn whole off screen first: no flicker while typing.
    RECT client;
    ::GetClientRect(hwnd_, &client);
    HDC memory = ::CreateCompatibleDC(dc);
    HBITMAP bitmap = ::CreateCompatibleBitmap(dc, client.right, client.bottom);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    Paint(memory);
    ::BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::EndPaint(hwnd_, &ps);
}

void StringGrid::PaintCell(HDC dc, int column, int row) const {
    RECT cell = CellRect(column, row);
    const bool header = row == 0;
    const bool current = column == column_ && row == row_;
    COLORREF fill = ::GetSysColor(COLOR_WINDOW), ink = ::GetSysColor(COLOR_WINDOWTEXT);
    if (header) fill = ::GetSysColor(COLOR_BTNFACE);
    if (!header && current) {
        fill = ::GetSysColor(COLOR_HIGHLIGHT);
        ink = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    }
    // The angle column: yellow whatever its state.
    if (!header && column == kAngleColumn) {
        fill = ToColorRef(kAngleColumnColor);
        ink = ::GetSysColor(COLOR_WINDOWTEXT);
    }
    ::SetBkColor(dc, fill);
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &cell, nullptr, 0, nullptr);
    ::SetTextColor(dc, ink);
    const std::wstring text = Wide(model_.grid.Cell(column, row));
    RECT inside = cell;
    inside.left += Scaled(2, dpi_);
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &inside,
                DT_LEFT | (header ? DT_VCENTER : DT_TOP) | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    if (header) {
        ::DrawEdge(dc, &cell, BDR_RAISEDINNER, BF_RECT);
        return;
    }
    HPEN pen = ::CreatePen(PS_SOLID, 1, kGridLine);
    HGDIOBJ old = ::SelectObject(dc, pen);
    ::MoveToEx(dc, cell.right - 1, cell.top, nullptr);
    ::LineTo(dc, cell.right - 1, cell.bottom - 1);
    ::LineTo(dc, cell.left - 1, cell.bottom - 1);
    ::SelectObject(dc, old);
    ::DeleteObject(pen);
}

void StringGrid::Paint(HDC dc) const {
    RECT client;
    ::GetClientRect(hwnd_, &client);
    ::SetBkColor(dc, ::GetSysColor(COLOR_WINDOW));
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &client, nullptr, 0, nullptr);
    HGDIOBJ oldFont = ::SelectObject(dc, font_ ? font_ : ::GetStockObject(DEFAULT_GUI_FONT));
    for (int column = 0; column < kGridColumns; ++column) {
        PaintCell(dc, column, 0);
        for (int row = topRow_; row < topRow_ + VisibleRows(); ++row) PaintCell(dc, column, row);
    }
    ::SelectObject(dc, oldFont);
}

}  // namespace tc::win32
