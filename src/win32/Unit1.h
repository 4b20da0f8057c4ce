// The main window on the Windows API: the same layout and handlers as the Qt
// window, each handler one call into the core.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "app/core.h"
#include "app/layout.h"
#include "os/files.h"
#include "win32/chart.h"
#include "win32/grid.h"
#include "win32/ports.h"

namespace tc::win32 {

class TForm1 : private CoreObserver {
public:
    using Services = WindowServices;
    explicit TForm1(Services services = {});
    ~TForm1() override;
    TForm1(const TForm1&) = delete;
    TForm1& operator=(const TForm1&) = delete;

    HWND Handle() const { return hwnd_; }
    tc::Core& Core() { return *core_; }
    // The window of a control of the layout, by its name.
    HWND Control(const char* name) const;
    int Dpi() const { return dpi_; }
    // The text a control shows, in UTF-8.
    static std::string TextOf(HWND control);

    HWND Button1 = nullptr, Button2 = nullptr, Button3 = nullptr, Button4 = nullptr, Button5 = nullptr,
         Button6 = nullptr, Button7 = nullptr;
    HWND Label1 = nullptr, Label2 = nullptr, Label3 = nullptr;
    HWND ComboBox1 = nullptr, ComboBox2 = nullptr, ComboBox3 = nullptr;
    HWND Memo1 = nullptr;
    HWND Tooltip = nullptr;  // Button1's
    std::unique_ptr<StringGrid> StringGrid1;
    std::unique_ptr<AdvanceChart> Chart1;

    // The handlers.
    void FormCreate();
    void FormClose();
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Button5Click();
    void Button6Click();
    void Button7Click();
    void ComboBox1Change(const std::string& text);
    void ComboBox2Change(const std::string& text);
    void ComboBox3Change(const std::string& text);
    void StringGrid1SelectCell(int column, int row);
    void StringGrid1SetEditText(int column, int row, const std::string& text);
    void StringGrid1Copy();
    void StringGrid1Paste();
    void EditUndo();
    void EditRedo();

    // The message loop's part of the window: undo and redo, Enter on a button, Tab and the dialog keys. True when it
    // took the message.
    bool PreTranslate(MSG& msg);
    // Sizes the window, and lays out the controls made so far, for the DPI (at the start, and WM_DPICHANGED).
    void SetDpi(int dpi);
    // Closing the window ends the program's message loop.
    bool quitOnClose = false;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void CreateControls();
    HWND NewControl(const FormControl& control, int id);
    HWND NewGrid(int id, const RECT& place);
    using Click = void (TForm1::*)();
    // The handler of one of the buttons; none for any other window.
    Click ClickOf(HWND control) const;
    void Command(int id, int code, HWND control);
    // The text a combo box's notice hands to its handler, if any. A list closed without taking
    // the item its highlight points at shows the box's value again.
    std::optional<std::string> ComboText(HWND combo, tc::Combo field, int code);
    void Show(const Outcome& outcome);
    void ShowComboText(HWND combo, const ComboField& field);
    // A combo box's edit: its key filter and its own typing's undo.
    struct ComboEdit {
        HWND combo = nullptr;
        bool table = false;  // the table number's keys, else digits
        TypingHistory typing;
        bool pointed = false;  // the open list's highlight has moved to an item not yet taken
        struct {
            std::string text;
            LRESULT selection = 0;  // as CB_GETEDITSEL gives it
        } opened;                   // the box when its list opened
    };
    ComboEdit& EditOf(HWND combo);
    static LRESULT CALLBACK ComboKeys(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data);
    // The control's place and font at the window's DPI.
    RECT Place(const FormControl& control) const;
    void SetFont(HWND window, const FormControl& control);
    void FitLabel(HWND label, const FormControl& control);

    // What the core tells.
    void CellChanged(int column, int row) override;
    void ComboChanged(tc::Combo combo) override;
    void EditingChanged(bool editing) override;
    void SourceChanged() override;
    void PlotChanged() override;
    void TextChanged(Element element) override;

    HWND hwnd_ = nullptr;
    int dpi_ = 96;
    HFONT font_ = nullptr;
    HWND focus_ = nullptr;  // the control that had the focus when the window was left
    ComboEdit comboEdits_[3];
    std::unique_ptr<BoxMessages> ownMessages_;
    std::unique_ptr<DialogChooser> ownChooser_;
    std::unique_ptr<tc::os::DiskFiles> ownFiles_;
    std::unique_ptr<SystemDesktop> ownDesktop_;
    std::unique_ptr<BoxQuestions> ownQuestions_;
    Messages* messages_ = nullptr;
    std::unique_ptr<tc::Core> core_;
};

// Runs the messages waiting now, as the program's loop does, through the window's filter.
void ProcessMessages(TForm1* form);
// The program's loop, until the window is closed.
int RunMessageLoop(TForm1& form);

}  // namespace tc::win32
