// The shared keyboard and clipboard sessions through the Win32 window, with real messages.
#include "support/key_probes.h"

#include "win32_support.h"
// The common controls' header after windows.h, which it needs.
#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <map>

#include "cli/cli_support.h"

namespace win32 {
namespace {

using tc::test::KeyProbe;

struct KeyPress {
    int key;
    bool control, shift, alt;
};

const std::map<std::string, KeyPress> kKeys = {
    {"Esc", {VK_ESCAPE, false, false, false}},  {"Enter", {VK_RETURN, false, false, false}},
    {"Tab", {VK_TAB, false, false, false}},     {"STab", {VK_TAB, false, true, false}},
    {"Home", {VK_HOME, false, false, false}},   {"SHome", {VK_HOME, false, true, false}},
    {"End", {VK_END, false, false, false}},     {"Left", {VK_LEFT, false, false, false}},
    {"Right", {VK_RIGHT, false, false, false}}, {"Up", {VK_UP, false, false, false}},
    {"Down", {VK_DOWN, false, false, false}},   {"Del", {VK_DELETE, false, false, false}},
    {"Bksp", {VK_BACK, false, false, false}},   {"Space", {VK_SPACE, false, false, false}},
    {"PgUp", {VK_PRIOR, false, false, false}},  {"PgDn", {VK_NEXT, false, false, false}},
    {"CHome", {VK_HOME, true, false, false}},   {"CEnd", {VK_END, true, false, false}},
    {"F4", {VK_F4, false, false, false}},       {"ADown", {VK_DOWN, false, false, true}},
    {"AUp", {VK_UP, false, false, true}},       {"Cz", {'Z', true, false, false}},
    {"Cy", {'Y', true, false, false}},          {"CSz", {'Z', true, true, false}},
    {"Cc", {'C', true, false, false}},          {"Cv", {'V', true, false, false}},
    {"CIns", {VK_INSERT, true, false, false}},  {"SIns", {VK_INSERT, false, true, false}},
    {"SDel", {VK_DELETE, false, true, false}},  {"SDown", {VK_DOWN, false, true, false}},
    {"ABksp", {VK_BACK, false, false, true}},
};

class KeyProbes : public WindowTest, public ::testing::WithParamInterface<KeyProbe> {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        file = folder / "CDI.asm";
        cli::WriteFile(file, cli::Sample());
        // Opened without a click, so that the focus stays where the window put it.
        window->Core().OpenSource(file.string());
        Pump(window.get());
        opened = window->Core().Model();
        SetClipboardText(GetParam().clipboard);
    }

    // A key with Alt held, as the system sends it: a system key.
    void AltKey(int key) {
        HeldKey alt(VK_MENU);
        const UINT scan = ::MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC);
        HWND focus = ::GetFocus();
        ASSERT_NE(focus, nullptr);
        const LPARAM down = static_cast<LPARAM>(1 | (scan << 16) | (1u << 29));
        ::PostMessageW(focus, WM_SYSKEYDOWN, static_cast<WPARAM>(key), down);
        ::PostMessageW(focus, WM_SYSKEYUP, static_cast<WPARAM>(key),
                       down | static_cast<LPARAM>((1u << 30) | (1u << 31)));
        Pump(window.get());
    }

    void Do(const std::string& token) {
        HWND combos[] = {window->ComboBox1, window->ComboBox2, window->ComboBox3};
        HWND buttons[] = {window->Button1, window->Button2, window->Button3, window->Button4,
                          window->Button5, window->Button6, window->Button7};
        if (const auto found = kKeys.find(token); found != kKeys.end()) {
            const KeyPress& key = found->second;
            if (key.alt) return AltKey(key.key);
            if (key.control) return CtrlKey(key.key, key.shift);
            if (key.shift) {
                HeldKey shift(VK_SHIFT);
                return Key(key.key);
            }
            return Key(key.key);
        }
        if (token[0] == 'c') {
            const auto comma = token.find(',');
            return ClickCell(std::stoi(token.substr(1, comma - 1)), std::stoi(token.substr(comma + 1)));
        }
        if (token == "WUp" || token == "WDown" || token == "CWDown") {
            // The wheel goes to the focused control, as the system sends it.
            HWND focus = ::GetFocus();
            ASSERT_NE(focus, nullptr);
            ::PostMessageW(focus, WM_MOUSEWHEEL,
                           MAKEWPARAM(token == "CWDown" ? MK_CONTROL : 0, token == "WUp" ? WHEEL_DELTA : -WHEEL_DELTA),
                           0);
            return Pump(window.get());
        }
        if (token[0] == 't') return Type(token.substr(1));
        if (token[0] == 'b') {
            HWND button = buttons[std::stoi(token.substr(1)) - 1];
            ::PostMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
            ::PostMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
            return Pump(window.get());
        }
        if (token[0] == 'k') {
            COMBOBOXINFO info{};
            info.cbSize = sizeof info;
            ::GetComboBoxInfo(combos[std::stoi(token.substr(1)) - 1], &info);
            ::PostMessageW(info.hwndItem, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
            ::PostMessageW(info.hwndItem, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
            return Pump(window.get());
        }
        if (token[0] == 'i') {
            const auto open = std::find_if(std::begin(combos), std::end(combos), [](HWND combo) {
                return ::SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) != 0;
            });
            ASSERT_NE(open, std::end(combos)) << token;
            COMBOBOXINFO info{};
            info.cbSize = sizeof info;
            ::GetComboBoxInfo(*open, &info);
            const std::wstring text = tc::win32::Wide(token.substr(1));
            const auto index = ::SendMessageW(*open, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                              reinterpret_cast<LPARAM>(text.c_str()));
            RECT item{};
            ::SendMessageW(info.hwndList, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
            const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
            ::PostMessageW(info.hwndList, WM_LBUTTONDOWN, MK_LBUTTON, at);
            ::PostMessageW(info.hwndList, WM_LBUTTONUP, 0, at);
            return Pump(window.get());
        }
        FAIL() << "no such token: " << token;
    }

    tc::test::ProbeState State() {
        tc::test::ProbeState s;
        s.focus = Focused();
        s.column = window->StringGrid1->Column();
        s.row = window->StringGrid1->Row();
        // Shown or not while the grid has no focus, the editor is the toolkit's look.
        HWND editor = window->StringGrid1->Editor();
        if (editor && s.focus == "StringGrid1") s.editor = Text(editor);
        HWND combos[] = {window->ComboBox1, window->ComboBox2, window->ComboBox3};
        for (int i = 0; i < 3; ++i) {
            s.combos[i] = Text(combos[i]);
            if (::SendMessageW(combos[i], CB_GETDROPPEDSTATE, 0, 0)) s.listOpen = true;
        }
        s.changed = tc::test::ChangedCells(opened.grid, window->Core().Model().grid);
        s.said = messages.all;
        s.clipboard = ClipboardText();
        s.language = Text(window->Button7);
        s.plotted5 = tc::test::FifthAngle(window->Core().Series().Points());
        return s;
    }

    cli::Folder folder;
    cli::fs::path file;
    tc::GridModel opened;
};

TEST_P(KeyProbes, ShowWhatTheRowSays) {
    const KeyProbe& probe = GetParam();
    if (tc::test::KnownToDiffer(probe, "Win32")) GTEST_SKIP() << "known to differ here";
    for (const std::string& token : tc::test::Tokens(probe.script)) Do(token);
    EXPECT_EQ(tc::test::Describe(State()), probe.shown);
}

INSTANTIATE_TEST_SUITE_P(Keys, KeyProbes, ::testing::ValuesIn(tc::test::kKeyProbes),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace win32
