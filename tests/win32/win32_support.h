// Drivers for tests of the real Win32 window, on the shared recorders: clicks,
// keys and characters as the system delivers them, through the program's loop.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <memory>
#include <string>

#include "support/recorders.h"
#include "win32/Unit1.h"
#include "win32/text.h"

namespace win32 {

using tc::test::Message;
using tc::test::RecordingDesktop;
using tc::test::RecordingMessages;
using tc::test::ScriptedChooser;
using tc::test::ScriptedQuestions;
using tc::win32::TForm1;

// The clipboard's text, as another program would paste it.
inline std::string ClipboardText() {
    std::string text;
    if (!::OpenClipboard(nullptr)) return text;
    if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        text = tc::win32::Utf8(static_cast<const wchar_t*>(::GlobalLock(data)));
        ::GlobalUnlock(data);
    }
    ::CloseClipboard();
    return text;
}

// Text put on the clipboard, as another program would copy it.
inline void SetClipboardText(const std::string& text) {
    const std::wstring wide = tc::win32::Wide(text);
    const std::size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    HGLOBAL data = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    std::memcpy(::GlobalLock(data), wide.c_str(), bytes);
    ::GlobalUnlock(data);
    ASSERT_TRUE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    ::SetClipboardData(CF_UNICODETEXT, data);
    ::CloseClipboard();
}

// The messages waiting now, through the window's loop.
inline void Pump(TForm1* form) { tc::win32::ProcessMessages(form); }

// A key that the thread's keyboard state holds down while the keys are sent.
class HeldKey {
public:
    explicit HeldKey(int key) : key_(key) { Set(0x80); }
    ~HeldKey() { Set(0); }
    HeldKey(const HeldKey&) = delete;
    HeldKey& operator=(const HeldKey&) = delete;

private:
    void Set(BYTE state) {
        BYTE keys[256];
        ::GetKeyboardState(keys);
        keys[key_] = state;
        ::SetKeyboardState(keys);
    }
    int key_;
};

class WindowTest : public ::testing::Test, protected tc::test::WindowRecorders {
protected:
    // The terminal and assembler this desktop has.
    WindowTest() { desktop.onPath = {"cmd.exe", "avrasm2"}; }

    void Open(char32_t separator = U'.') {
        window = std::make_unique<TForm1>(Services(separator));
        ::ShowWindow(window->Handle(), SW_SHOW);
        ::SetForegroundWindow(window->Handle());
        Pump(window.get());
    }
    void SetUp() override { Open(); }
    void TearDown() override {
        window.reset();
        Pump(nullptr);
    }

    std::string Cell(int column, int row) { return window->Core().Model().grid.Cell(column, row); }
    static std::string Text(HWND control) { return TForm1::TextOf(control); }

    void Click(HWND button) {
        ::SendMessageW(button, BM_CLICK, 0, 0);
        Pump(window.get());
    }

    // A key pressed on the window that has the focus, through the program's loop.
    void Key(int key) {
        const UINT scan = ::MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC);
        HWND focus = ::GetFocus();
        ASSERT_NE(focus, nullptr);
        ::PostMessageW(focus, WM_KEYDOWN, static_cast<WPARAM>(key), static_cast<LPARAM>(1 | (scan << 16)));
        ::PostMessageW(focus, WM_KEYUP, static_cast<WPARAM>(key),
                       static_cast<LPARAM>(1 | (scan << 16) | (1u << 30) | (1u << 31)));
        Pump(window.get());
    }

    // A key with Ctrl, and Shift when asked, held down.
    void CtrlKey(int key, bool shift = false) {
        HeldKey control(VK_CONTROL);
        if (!shift) return Key(key);
        HeldKey held(VK_SHIFT);
        Key(key);
    }

    // Characters typed on the window that has the focus ("\b" is Backspace).
    void Type(const std::string& text) {
        for (const wchar_t ch : tc::win32::Wide(text)) {
            HWND focus = ::GetFocus();
            ASSERT_NE(focus, nullptr);
            ::PostMessageW(focus, WM_CHAR, static_cast<WPARAM>(ch), 1);
            Pump(window.get());
        }
    }

    // A click into a cell of the grid (model row 1 to 32), as a user clicks.
    void ClickCell(int column, int row) {
        HWND grid = window->StringGrid1->Handle();
        const RECT cell = window->StringGrid1->CellRect(column, row);
        const LPARAM at = MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
        ::PostMessageW(grid, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::PostMessageW(grid, WM_LBUTTONUP, 0, at);
        Pump(window.get());
    }

    // Clicks the cell, selects its whole text with End and Shift+Home and types over it.
    void TypeIntoCell(int column, int row, const std::string& text) {
        ClickCell(column, row);
        Key(VK_END);
        {
            HeldKey shift(VK_SHIFT);
            Key(VK_HOME);
        }
        if (text.empty()) Type("\b");
        Type(text);
    }

    // Clicks into a combo box's text, selects all of it and types over it.
    void TypeIntoCombo(HWND combo, const std::string& text) {
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        ::GetComboBoxInfo(combo, &info);
        ::PostMessageW(info.hwndItem, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        ::PostMessageW(info.hwndItem, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        Pump(window.get());
        Key(VK_END);
        {
            HeldKey shift(VK_SHIFT);
            Key(VK_HOME);
        }
        if (text.empty()) Type("\b");
        Type(text);
    }

    // An item picked from a combo box's list: the selection, then the notice the control sends.
    void PickItem(HWND combo, int index) {
        ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        ::SendMessageW(window->Handle(), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(combo), CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(combo));
        Pump(window.get());
    }

    // The name of the layout's control that holds the focus, or of none.
    std::string Focused() {
        HWND focus = ::GetFocus();
        for (const tc::FormControl& control : tc::kForm1Layout) {
            HWND window = this->window->Control(control.name);
            if (focus && (focus == window || ::IsChild(window, focus))) return control.name;
        }
        return "(none)";
    }

    std::unique_ptr<TForm1> window;
};

}  // namespace win32
