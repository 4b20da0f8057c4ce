#include "win32/Unit1.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "app/source_view.h"
#include "win32/text.h"

namespace tc::win32 {

namespace {
constexpr wchar_t kClassName[] = L"TcForm1";
// Fixed size: no sizing border, no maximise box.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr int kFirstId = 1000;  // control IDs: the layout's order from here, clear of IDOK and IDCANCEL
constexpr int kIconId = 1;
constexpr int kComboListRows = 6;

HINSTANCE Instance() { return ::GetModuleHandleW(nullptr); }

const FormControl* ControlOf(auto matches) {
    const auto at = std::find_if(kForm1Layout.begin(), kForm1Layout.end(), matches);
    return at == kForm1Layout.end() ? nullptr : &*at;
}

// The window's DPI; where the system has none for it (wine, now and then), the screen's.
int WindowDpi(HWND window) {
    if (const UINT dpi = ::GetDpiForWindow(window); dpi > 0) return static_cast<int>(dpi);
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

// The clipboard's text in UTF-8; empty when it holds none.
std::string ClipboardText(HWND owner) {
    std::string text;
    if (!::OpenClipboard(owner)) return text;
    if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* wide = static_cast<const wchar_t*>(::GlobalLock(data))) {
            text = Utf8(wide);
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    return text;
}

// Puts the text on the clipboard with CR LF line ends, as Windows programs expect.
void SetClipboardText(HWND owner, const std::string& text) {
    const std::wstring wide = WithCrLf(Wide(text));
    const std::size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    HGLOBAL data = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!data) return;
    std::memcpy(::GlobalLock(data), wide.c_str(), bytes);
    ::GlobalUnlock(data);
    if (!::OpenClipboard(owner)) {
        ::GlobalFree(data);
        return;
    }
    ::EmptyClipboard();
    if (!::SetClipboardData(CF_UNICODETEXT, data)) ::GlobalFree(data);  // owned by the system once set
    ::CloseClipboard();
}

int IdOf(const FormControl& control) { return kFirstId + static_cast<int>(&control - kForm1Layout.data()); }

// The source text box is read-only: Tab and Enter go on through the window, as in the Qt window.
LRESULT CALLBACK MemoKeys(HWND memo, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_NCDESTROY) ::RemoveWindowSubclass(memo, &MemoKeys, 1);
    const LRESULT result = ::DefSubclassProc(memo, message, wParam, lParam);
    return message == WM_GETDLGCODE ? result & ~(DLGC_WANTALLKEYS | DLGC_WANTTAB) : result;
}

std::string ItemText(HWND combo, LRESULT item) {
    const auto length = ::SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(item), 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    ::SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return Utf8(text);
}

}  // namespace

TForm1::TForm1(Services services) {
    INITCOMMONCONTROLSEX common{sizeof common, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&common);
    static const bool registered = [] {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = &TForm1::Proc;
        wc.hInstance = Instance();
        wc.hIcon = ::LoadIconW(Instance(), MAKEINTRESOURCEW(kIconId));
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kClassName;
        return ::RegisterClassExW(&wc) != 0;
    }();
    (void)registered;
    ::CreateWindowExW(0, kClassName, L"", kStyle | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT, kClientWidth,
                      kClientHeight, nullptr, nullptr, Instance(), this);

    if (!services.messages) services.messages = (ownMessages_ = std::make_unique<BoxMessages>(hwnd_)).get();
    if (!services.chooser) services.chooser = (ownChooser_ = std::make_unique<DialogChooser>(hwnd_)).get();
    if (!services.files) services.files = (ownFiles_ = std::make_unique<tc::os::DiskFiles>()).get();
    if (!services.desktop) services.desktop = (ownDesktop_ = std::make_unique<SystemDesktop>()).get();
    if (!services.questions) services.questions = (ownQuestions_ = std::make_unique<BoxQuestions>(hwnd_)).get();
    messages_ = services.messages;
    const char32_t separator = services.decimalSeparator.value_or(LocaleDecimalSeparator());
    core_ = std::make_unique<tc::Core>(Ports{*services.chooser, *services.files, *services.desktop, services.questions},
                                       separator, true);

    // The DPI first: each control is then made at its place, in its font, with no second layout pass.
    SetDpi(WindowDpi(hwnd_));
    CreateControls();
    core_->SetObserver(this);
    FormCreate();
    // Memo1 takes the focus when the window is first activated, as it is shown
    // (WM_ACTIVATE): focusing it now would activate the hidden window once more.
    focus_ = Memo1;
}

TForm1::~TForm1() {
    core_->SetObserver(nullptr);
    // The controls show the core's model: they go first, while it still exists.
    if (hwnd_) ::DestroyWindow(hwnd_);
    if (font_) ::DeleteObject(font_);
}

HWND TForm1::Control(const char* name) const {
    const FormControl* control = ControlOf([&](const FormControl& c) { return std::string_view(c.name) == name; });
    return control ? ::GetDlgItem(hwnd_, IdOf(*control)) : nullptr;
}

std::string TForm1::TextOf(HWND control) {
    const int length = ::GetWindowTextLengthW(control);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(control, text.data(), length + 1)));
    return Utf8(text);
}

HWND TForm1::NewControl(const FormControl& control, int id) {
    const RECT place = Place(control);
    const auto create = [&](DWORD exStyle, const wchar_t* kind, DWORD style) {
        HWND window = ::CreateWindowExW(exStyle, kind, L"", WS_CHILD | WS_VISIBLE | style, place.left, place.top,
                                        place.right - place.left, place.bottom - place.top, hwnd_,
                                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Instance(), nullptr);
        SetFont(window, control);
        return window;
    };
    switch (control.kind) {
        case FormControl::Memo: {
            HWND memo = create(
                WS_EX_CLIENTEDGE, L"EDIT",
                WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL);
            ::SetWindowSubclass(memo, &MemoKeys, 1, 0);
            return memo;
        }
        case FormControl::Button: return create(0, L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON);
        case FormControl::Grid: return NewGrid(id, place);
        case FormControl::Combo: {
            HWND combo = create(0, L"COMBOBOX", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL);
            COMBOBOXINFO info{};
            info.cbSize = sizeof info;
            ::GetComboBoxInfo(combo, &info);
            ComboEdit& edit = comboEdits_[static_cast<int>(*control.combo)];
            edit.combo = combo;
            // The table number takes 1 to 3; the sensor angle and spark duration digits.
            edit.table = *control.combo == tc::Combo::TableNumber;
            ::SetWindowSubclass(info.hwndItem, &ComboKeys, 1, reinterpret_cast<DWORD_PTR>(&edit));
            return combo;
        }
        case FormControl::Chart:
            Chart1 = std::make_unique<AdvanceChart>(hwnd_, id, place, dpi_, font_);
            return Chart1->Handle();
        case FormControl::Label: return create(0, L"STATIC", SS_LEFT | SS_NOPREFIX);
    }
    return nullptr;
}

// The typed characters a combo box's edit takes: the same filters as the Qt window's.
LRESULT CALLBACK TForm1::ComboKeys(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    ComboEdit& combo = *reinterpret_cast<ComboEdit*>(data);
    switch (message) {
        case WM_CHAR: {
            const auto typed = static_cast<char32_t>(wParam);
            // Enter and Escape close an open list: the control takes them as characters.
            const bool closing =
                (typed == U'\r' || typed == U'\x1b') && ::SendMessageW(combo.combo, CB_GETDROPPEDSTATE, 0, 0) != 0;
            if (closing) break;
            if (!(combo.table ? FilterTableKey(typed) : FilterDigitKey(typed))) return 0;
            return combo.typing.Type(edit, message, wParam, lParam);
        }
        case WM_KEYDOWN:
            if (wParam == VK_DELETE) return combo.typing.Type(edit, message, wParam, lParam);
            break;
        case WM_PASTE: return 0;  // pasted text would pass by the filter
        case WM_MOUSEWHEEL:       // a step in the list, as Windows hands it on from the edit; wine's edit keeps it
            return ::SendMessageW(combo.combo, message, wParam, lParam);
        case WM_NCDESTROY: ::RemoveWindowSubclass(edit, &ComboKeys, 1); break;
        default: break;
    }
    return ::DefSubclassProc(edit, message, wParam, lParam);
}

TForm1::ComboEdit& TForm1::EditOf(HWND combo) {
    return *std::find_if(std::begin(comboEdits_), std::end(comboEdits_),
                         [combo](const ComboEdit& edit) { return edit.combo == combo; });
}

HWND TForm1::NewGrid(int id, const RECT& place) {
    StringGrid1 = std::make_unique<StringGrid>(hwnd_, id, place, dpi_, font_, core_->Model(),
                                               [this] { return core_->DecimalSeparator(); });
    StringGrid1->selectCell = [this](int column, int row) { StringGrid1SelectCell(column, row); };
    StringGrid1->edited = [this](int column, int row, const std::string& text) {
        StringGrid1SetEditText(column, row, text);
    };
    StringGrid1->copy = [this] { StringGrid1Copy(); };
    StringGrid1->paste = [this] { StringGrid1Paste(); };
    StringGrid1->undo = [this] { EditUndo(); };
    StringGrid1->redo = [this] { EditRedo(); };
    return StringGrid1->Handle();
}

void TForm1::CreateControls() {
    // Created in the table's order, which is then the Tab order.
    for (const FormControl& control : kForm1Layout) NewControl(control, IdOf(control));
    HWND* buttons[] = {&Button1, &Button2, &Button3, &Button4, &Button5, &Button6, &Button7};
    for (std::size_t i = 0; i < std::size(buttons); ++i)
        *buttons[i] = Control(("Button" + std::to_string(i + 1)).c_str());
    ComboBox1 = Control("ComboBox1");
    ComboBox2 = Control("ComboBox2");
    ComboBox3 = Control("ComboBox3");
    Label1 = Control("Label1");
    Label2 = Control("Label2");
    Label3 = Control("Label3");
    Memo1 = Control("Memo1");
    Tooltip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, Instance(), nullptr);
    std::wstring tip = Wide(kFileButtonTooltip);
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hwnd_;
    tool.uId = reinterpret_cast<UINT_PTR>(Button1);
    tool.lpszText = tip.data();
    ::SendMessageW(Tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void TForm1::SetDpi(int dpi) {
    dpi_ = dpi;
    HFONT old = font_;
    font_ = ::CreateFontW(-::MulDiv(kFontPoints, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                          OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS,
                          L"MS Shell Dlg 2");
    const int width = Scaled(kClientWidth, dpi), height = Scaled(kClientHeight, dpi);
    RECT frame{0, 0, width, height};
    ::AdjustWindowRectExForDpi(&frame, kStyle, FALSE, 0, static_cast<UINT>(dpi));
    ::SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The frame as drawn may differ from the one computed (a window of another DPI than the process's).
    RECT client;
    ::GetClientRect(hwnd_, &client);
    if (client.right != width || client.bottom != height)
        ::SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left + width - client.right,
                       frame.bottom - frame.top + height - client.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    for (const FormControl& control : kForm1Layout) {
        HWND window = ::GetDlgItem(hwnd_, IdOf(control));
        if (!window) continue;  // at the start, before the controls are made
        SetFont(window, control);
        const RECT place = Place(control);
        ::MoveWindow(window, place.left, place.top, place.right - place.left, place.bottom - place.top, TRUE);
        if (control.kind == FormControl::Label) FitLabel(window, control);
    }
    if (StringGrid1) StringGrid1->SetDpi(dpi, font_);
    if (Chart1) Chart1->SetDpi(dpi, font_);
    if (old) ::DeleteObject(old);
}

RECT TForm1::Place(const FormControl& control) const {
    int height = Scaled(control.height, dpi_);
    // A combo box's window holds its open list too.
    if (control.kind == FormControl::Combo) height += kComboListRows * Scaled(kDefaultRowHeight + 2, dpi_);
    const int x = Scaled(control.x, dpi_), y = Scaled(control.y, dpi_);
    return {x, y, x + Scaled(control.width, dpi_), y + height};
}

void TForm1::SetFont(HWND window, const FormControl& control) {
    ::SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    // The closed box at the layout's height.
    if (control.kind == FormControl::Combo)
        ::SendMessageW(window, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1),
                       Scaled(control.height, dpi_) - Scaled(6, dpi_));
}

// Keeps the place; grows only where the font is wider than the original. Painted anew whole: bits
// kept from the old text showed parts of it erased after a language switch.
void TForm1::FitLabel(HWND label, const FormControl& control) {
    const std::wstring text = Wide(TextOf(label));
    HDC dc = ::GetDC(label);
    HGDIOBJ old = ::SelectObject(dc, font_);
    SIZE size{0, 0};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    ::SelectObject(dc, old);
    ::ReleaseDC(label, dc);
    ::SetWindowPos(label, nullptr, 0, 0, std::max<int>(Scaled(control.width, dpi_), size.cx),
                   Scaled(control.height, dpi_), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
}

bool TForm1::PreTranslate(MSG& msg) {
    if (!hwnd_) return false;
    // Undo and redo from wherever the focus is; the grid takes them first, for its editor's own typing.
    // Never translated: no control sees them as characters.
    // The combo boxes' edits undo their own typing first, as the grid's editor does.
    const EditKey key = EditKeyOf(msg.message, msg.wParam);
    if ((key == EditKey::Undo || key == EditKey::Redo) && ::IsChild(hwnd_, msg.hwnd)) {
        HWND grid = StringGrid1->Handle();
        if (msg.hwnd == grid || ::IsChild(grid, msg.hwnd)) {
            ::DispatchMessageW(&msg);
            return true;
        }
        for (ComboEdit& combo : comboEdits_)
            if (::IsChild(combo.combo, msg.hwnd) &&
                (key == EditKey::Undo ? combo.typing.Undo(msg.hwnd) : combo.typing.Redo(msg.hwnd)))
                return true;
        key == EditKey::Undo ? EditUndo() : EditRedo();
        return true;
    }
    // Enter presses the focused button, as Space does; the dialog manager would send IDOK instead.
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN)
        if (const Click click = ClickOf(msg.hwnd)) {
            (this->*click)();
            return true;
        }
    return ::IsDialogMessageW(hwnd_, &msg);
}

LRESULT CALLBACK TForm1::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* created = static_cast<TForm1*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        created->hwnd_ = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    }
    auto* form = reinterpret_cast<TForm1*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message == WM_NCDESTROY && form) {
        form->hwnd_ = nullptr;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    }
    return form && form->hwnd_ ? form->Handle(message, wParam, lParam)
                               : ::DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT TForm1::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: Command(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)); return 0;
        case WM_CLOSE: FormClose(); return 0;
        case WM_DESTROY:
            if (quitOnClose) ::PostQuitMessage(0);
            return 0;
        case WM_DPICHANGED: {
            // Where the system suggests, then the size the layout needs at the new DPI.
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            ::SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                           suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
            SetDpi(HIWORD(wParam));
            return 0;
        }
        case WM_ACTIVATE:
            // The focus comes back to the control that had it, as in a dialog.
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = ::GetFocus();
                if (focus && ::IsChild(hwnd_, focus)) focus_ = focus;
            } else if (focus_ && ::IsWindow(focus_)) {
                ::SetFocus(focus_);
            }
            return 0;
        case WM_CTLCOLORSTATIC:
            // The read-only text box stays white, like any text box.
            if (reinterpret_cast<HWND>(lParam) == Memo1) {
                ::SetBkColor(reinterpret_cast<HDC>(wParam), ::GetSysColor(COLOR_WINDOW));
                return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_WINDOW));
            }
            break;
        default: break;
    }
    return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

TForm1::Click TForm1::ClickOf(HWND control) const {
    const struct {
        HWND button;
        Click click;
    } buttons[] = {{Button1, &TForm1::Button1Click}, {Button2, &TForm1::Button2Click}, {Button3, &TForm1::Button3Click},
                   {Button4, &TForm1::Button4Click}, {Button5, &TForm1::Button5Click}, {Button6, &TForm1::Button6Click},
                   {Button7, &TForm1::Button7Click}};
    for (const auto& [button, click] : buttons)
        if (control == button) return click;
    return nullptr;
}

void TForm1::Command(int /*id*/, int code, HWND control) {
    if (const Click click = ClickOf(control)) {
        if (code == BN_CLICKED) (this->*click)();
        return;
    }

    const struct {
        HWND combo;
        void (TForm1::*change)(const std::string&);
        tc::Combo field;
    } combos[] = {{ComboBox1, &TForm1::ComboBox1Change, tc::Combo::SensorAngle},
                  {ComboBox2, &TForm1::ComboBox2Change, tc::Combo::TableNumber},
                  {ComboBox3, &TForm1::ComboBox3Change, tc::Combo::SparkDuration}};
    for (const auto& [combo, change, field] : combos)
        if (control == combo)
            if (const auto text = ComboText(combo, field, code)) {
                (this->*change)(*text);
                // A text typed into the open list stays in the box when Enter takes the item highlighted.
                if (code == CBN_SELENDOK || code == CBN_CLOSEUP) ComboChanged(field);
            }
}

std::optional<std::string> TForm1::ComboText(HWND combo, tc::Combo field, int code) {
    if (code == CBN_EDITCHANGE) return TextOf(combo);
    // In the open list the highlight only points: the item is taken when the list closes on it
    // (Enter, a click), and any cancel shows the value again, as in Qt. Opening the list puts
    // the first item the text begins with into the box, with no notice. The system's order of
    // these notices is not fixed, so the close-up takes a pointed item too.
    ComboEdit& edit = EditOf(combo);
    const bool dropped = ::SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) != 0;
    if (code == CBN_SELCHANGE && dropped) {
        edit.pointed = true;
        return std::nullopt;
    }
    if (code == CBN_DROPDOWN) {
        edit.opened = {TextOf(combo), ::SendMessageW(combo, CB_GETEDITSEL, 0, 0)};
        return std::nullopt;
    }
    if (code == CBN_SELENDCANCEL) {
        edit.pointed = false;
        TypingHistory typing = edit.typing;
        ComboChanged(field);
        if (TextOf(combo) == edit.opened.text) {  // the text as it was: its caret and undo too
            edit.typing = std::move(typing);
            ::SendMessageW(combo, CB_SETEDITSEL, 0, static_cast<LPARAM>(edit.opened.selection));
        }
        edit.opened = {};  // leaving a closed box cancels too
        return std::nullopt;
    }
    const bool taken = code == CBN_SELCHANGE || code == CBN_SELENDOK || (code == CBN_CLOSEUP && edit.pointed);
    if (!taken) return std::nullopt;
    edit.pointed = false;
    edit.opened = {};
    // The edit shows the picked item only after this notice: the text is the item's.
    const auto item = ::SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (item == CB_ERR) return std::nullopt;  // Enter on a list with no item highlighted keeps the text
    edit.typing.Forget();                     // an item picked replaces the typed text
    return ItemText(combo, item);
}

void TForm1::Show(const Outcome& outcome) { ShowDiagnostics(*messages_, outcome.diagnostics, core_->LanguageFlag()); }

void TForm1::FormCreate() { core_->Start(); }
// The close button, the system menu and Alt+F4 all arrive here.
void TForm1::FormClose() {
    const Outcome outcome = core_->ConfirmLeave();
    Show(outcome);
    if (outcome.Ok()) ::DestroyWindow(hwnd_);
}
void TForm1::Button1Click() { Show(core_->OpenSource()); }
void TForm1::Button2Click() { Show(core_->StoreAngles()); }
void TForm1::Button3Click() { core_->ShowHelp(); }
void TForm1::Button4Click() { Show(core_->Plot()); }
void TForm1::Button5Click() { Show(core_->Save()); }
void TForm1::Button6Click() { Show(core_->Compile()); }
void TForm1::Button7Click() { core_->SwitchLanguage(); }
void TForm1::ComboBox1Change(const std::string& text) { Show(core_->SetSensorAngle(text)); }
void TForm1::ComboBox2Change(const std::string& text) { Show(core_->ChooseTable(text)); }
void TForm1::ComboBox3Change(const std::string& text) { Show(core_->SetSparkDuration(text)); }
void TForm1::StringGrid1SelectCell(int column, int row) { core_->SelectCell(column, row); }
void TForm1::StringGrid1SetEditText(int column, int row, const std::string& text) {
    Show(core_->Edit({Field::Cell, column, row}, text));
}

void TForm1::StringGrid1Copy() { SetClipboardText(hwnd_, core_->CopyTable()); }
void TForm1::StringGrid1Paste() { Show(core_->Paste(StringGrid1->Column(), StringGrid1->Row(), ClipboardText(hwnd_))); }
void TForm1::EditUndo() { Show(core_->Undo()); }
void TForm1::EditRedo() { Show(core_->Redo()); }

void TForm1::ShowComboText(HWND combo, const ComboField& field) {
    const std::string shown = TextOf(combo);
    // Setting a combo box's text or selection sends no change notice: showing the model is no edit.
    if (::SendMessageW(combo, CB_GETCOUNT, 0, 0) != static_cast<LRESULT>(field.items.size())) {
        ::SendMessageW(combo, CB_RESETCONTENT, 0, 0);
        for (const auto& item : field.items)
            ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
    }
    ::SendMessageW(combo, CB_LIMITTEXT, static_cast<WPARAM>(std::max(field.maxLength, 0)), 0);
    // The list follows the text: its item when it has one, none otherwise (the start-up 65).
    const std::wstring text = Wide(field.text);
    const auto found = std::find(field.items.begin(), field.items.end(), field.text);
    const auto item = found == field.items.end() ? -1 : static_cast<LRESULT>(found - field.items.begin());
    if (::SendMessageW(combo, CB_GETCURSEL, 0, 0) != item)
        ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
    if (TextOf(combo) != field.text) ::SetWindowTextW(combo, text.c_str());
    if (item < 0) {
        // With no item selected, Up and Down pick the item the list points at: the first
        // one the text begins with, else the first, as after typing the text.
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        ::GetComboBoxInfo(combo, &info);
        const auto begins =
            ::SendMessageW(combo, CB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()));
        ::SendMessageW(info.hwndList, LB_SETCARETINDEX, static_cast<WPARAM>(std::max<LRESULT>(begins, 0)), FALSE);
    }
    if (TextOf(combo) != shown) EditOf(combo).typing.Forget();  // its typing is no longer there to undo
}

void TForm1::CellChanged(int column, int row) { StringGrid1->CellChanged(column, row); }

void TForm1::ComboChanged(tc::Combo combo) {
    const GridModel& model = core_->Model();
    switch (combo) {
        case tc::Combo::SensorAngle: ShowComboText(ComboBox1, model.sensor); break;
        case tc::Combo::TableNumber: ShowComboText(ComboBox2, model.table); break;
        case tc::Combo::SparkDuration: ShowComboText(ComboBox3, model.spark); break;
    }
}

void TForm1::EditingChanged(bool editing) { StringGrid1->SetEditing(editing); }

void TForm1::SourceChanged() {
    const SourceView view = ShownSource(core_->Source().Text(), core_->LanguageFlag());
    std::wstring display = DecodeCp1251(view.lines);
    if (!view.note.empty()) display += L"\n" + Wide(view.note);
    ::SetWindowTextW(Memo1, WithCrLf(display).c_str());
}

void TForm1::PlotChanged() { Chart1->SetPoints(core_->Series().Points()); }

void TForm1::TextChanged(Element element) {
    const std::wstring text = Wide(core_->TextOf(element));
    if (element == Element::WindowCaption) {
        ::SetWindowTextW(hwnd_, text.c_str());
        return;
    }
    if (element == Element::ChartTitle) return Chart1->SetTitle(core_->TextOf(element), core_->SourceFileName());
    const FormControl* control = ControlOf([&](const FormControl& c) { return c.text == element; });
    if (!control) return;  // grid headers arrive as cells
    HWND window = ::GetDlgItem(hwnd_, IdOf(*control));
    ::SetWindowTextW(window, text.c_str());
    if (control->kind == FormControl::Label) FitLabel(window, *control);
}

void ProcessMessages(TForm1* form) {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));  // left for the loop that waits for it
            return;
        }
        if (form && form->PreTranslate(msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

int RunMessageLoop(TForm1& form) {
    MSG msg{};
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (form.PreTranslate(msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

}  // namespace tc::win32
