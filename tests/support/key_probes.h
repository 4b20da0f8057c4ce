// Keyboard and clipboard sessions that both windows, Qt and Win32, go through
// with real keys after opening the sample: each window's driver reads the
// script and then describes what it shows in the same words, so that the two
// descriptions can be compared with the row's and with each other.
#pragma once

#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "chart/plot.h"
#include "table/grid.h"
#include "support/recorders.h"

namespace tc::test {

// A script is tokens split by blanks:
//   c4,5     a click on cell (4, 5), on the grid under its editor
//   tTEXT    characters typed
//   b4       a mouse click on Button4
//   k1       a click into the text of ComboBox1
//   iTEXT    a click on the item TEXT of the open list
//   WUp WDown CWDown  a turn of the mouse wheel over the focused control; C is Ctrl
//   Esc Enter Tab STab Home End Left Right Up Down Del Bksp PgUp PgDn
//   CHome CEnd F4 ADown AUp Cz Cy CSz Cc Cv CIns SIns SDel SDown ABksp
//            keys; C is Ctrl, S Shift, A Alt
struct KeyProbe {
    const char* name;
    const char* clipboard;  // put on the clipboard first, CR LF or LF as written
    const char* script;
    const char* shown;  // what the window describes afterwards
    // The window that is known to show something else: "Qt", "Win32" or "both";
    // it skips the row, saying so, until it is mended.
    const char* wrongIn;
};

inline void PrintTo(const KeyProbe& p, std::ostream* os) { *os << p.name; }

// Whether the row is known to show something else in the window named ("Qt" or "Win32").
inline bool KnownToDiffer(const KeyProbe& probe, std::string_view window) {
    return probe.wrongIn && (probe.wrongIn == window || std::string_view(probe.wrongIn) == "both");
}

// The angle of the curve's fifth point, as a probe's description shows it.
inline std::string FifthAngle(const std::vector<PlotPoint>& points) {
    if (points.size() <= 4) return "none";
    std::ostringstream y;
    y << points[4].y;
    return y.str();
}

// "column,row=text" of each cell of the grid now that differs from the grid opened.
inline std::vector<std::string> ChangedCells(const AdvanceGrid& opened, const AdvanceGrid& now) {
    std::vector<std::string> changed;
    for (int row = 1; row < kGridRows; ++row)
        for (int column = 0; column < kGridColumns; ++column)
            if (now.Cell(column, row) != opened.Cell(column, row))
                changed.push_back(std::to_string(column) + "," + std::to_string(row) + "=" + now.Cell(column, row));
    return changed;
}

inline std::vector<std::string> Tokens(std::string_view script) {
    std::vector<std::string> tokens;
    std::istringstream in{std::string(script)};
    for (std::string token; in >> token;) tokens.push_back(token);
    return tokens;
}

// What a window shows after a script, in the words both drivers use.
struct ProbeState {
    std::string focus;                  // the layout's name of the focused control, or (none)
    int column = 0, row = 0;            // the grid's current cell
    std::optional<std::string> editor;  // the cell editor's text while it has the focus
    std::string combos[3];
    std::vector<std::string> changed;  // "column,row=text" of each cell that differs from the opened sample
    std::vector<Message> said;
    std::string clipboard;
    bool listOpen = false;  // a combo box's list is shown
    std::string language;   // Button7's caption
    std::string plotted5;   // the chart's fifth point's angle, or none
};

inline std::string Describe(const ProbeState& s) {
    std::string text = "focus=" + s.focus + " cell=" + std::to_string(s.column) + "," + std::to_string(s.row);
    text += " editor=" + (s.editor ? "'" + *s.editor + "'" : std::string("none"));
    text += " combos=" + s.combos[0] + "/" + s.combos[1] + "/" + s.combos[2];
    if (s.listOpen) text += " list";
    text += " lang=" + s.language + " plot5=" + s.plotted5;
    // A refilled column as its size and first cell: the refill itself is checked elsewhere.
    text += " changed=[";
    if (s.changed.size() > 4)
        text += std::to_string(s.changed.size()) + " cells from " + s.changed.front();
    else
        for (std::size_t i = 0; i < s.changed.size(); ++i) text += (i ? " " : "") + s.changed[i];
    text += "] said=[";
    for (std::size_t i = 0; i < s.said.size(); ++i) text += (i ? "|" : "") + s.said[i].kind + ":" + s.said[i].text;
    // Line ends as the clipboard's owner writes them: CR LF on Windows, LF elsewhere.
    std::string plain;
    for (const char c : s.clipboard)
        if (c != '\r') plain += c;
    std::string clip;
    for (const char c : plain.substr(0, 30)) clip += c == '\n' ? "\\n" : c == '\t' ? "\\t" : std::string(1, c);
    return text + "] clip='" + clip + "'";
}

inline const KeyProbe kKeyProbes[] = {
    // Undo and redo.
    {"UndoAtTheBottom", "x", "c4,5 Cz Cz",
     "focus=StringGrid1 cell=4,5 editor='11.6' combos=20/1/66 lang=English plot5=11.6 changed=[] said=[] clip='x'",
     nullptr},
    {"RedoWithNothingToRedo", "x", "c4,5 Cy",
     "focus=StringGrid1 cell=4,5 editor='11.6' combos=20/1/66 lang=English plot5=11.6 changed=[] said=[] clip='x'",
     nullptr},
    // The editor takes back the last typed part, not all its typing at once.
    {"UndoTakesBackTheLastTypedPart", "x", "c4,5 t12 Home t3 Cz",
     "focus=StringGrid1 cell=4,5 editor='12' combos=20/1/66 lang=English plot5=11.6 changed=[4,5=12] said=[] clip='x'",
     nullptr},
    // The editor's own undo takes back one typed part at a time, as a text field does.
    {"UndoTakesBackTheTypingAfterBackspaces", "x", "c4,5 End Bksp Bksp t7 Cz",
     "focus=StringGrid1 cell=4,5 editor='11' combos=20/1/66 lang=English plot5=11.6 changed=[4,5=11] said=[] clip='x'",
     nullptr},
    {"UndoTwiceTakesBackTheBackspacesToo", "x", "c4,5 End Bksp Bksp t7 Cz Cz",
     "focus=StringGrid1 cell=4,5 editor='11.6' combos=20/1/66 lang=English plot5=11.6 changed=[] said=[] clip='x'",
     nullptr},
    {"RedoTypesTheLastPartAgain", "x", "c4,5 t12 Home t3 Cz Cy",
     "focus=StringGrid1 cell=4,5 editor='312' combos=20/1/66 lang=English plot5=11.6 changed=[4,5=312] said=[] "
     "clip='x'",
     nullptr},
    {"UndoADeleteAfterTyping", "x", "c4,5 t12 Home Del Cz",
     "focus=StringGrid1 cell=4,5 editor='12' combos=20/1/66 lang=English plot5=11.6 changed=[4,5=12] said=[] clip='x'",
     nullptr},
    // Left and back, the editor has nothing of its own: the table's step takes back all the typing.
    {"UndoAfterTabAwayAndBack", "x", "c4,5 t12 Home t3 Tab STab Cz",
     "focus=StringGrid1 cell=4,5 editor='11.6' combos=20/1/66 lang=English plot5=11.6 changed=[] said=[] clip='x'",
     nullptr},
    // Outside the grid Ctrl+Z and Ctrl+Y undo and redo too: on the buttons and in the combo boxes.
    {"UndoFromAButtonAfterTyping", "x", "c4,5 t12 b4 Cz",
     "focus=Button4 cell=4,5 editor=none combos=20/1/66 lang=English plot5=11.6 changed=[] said=[] clip='x'", nullptr},
    {"UndoFromAButtonAfterStore", "x", "c4,5 t12 b2 Cz Cz",
     "focus=Button2 cell=4,5 editor=none combos=20/1/66 lang=English plot5=11.6 changed=[] said=[] clip='x'", nullptr},
    {"RedoFromAButton", "x", "c4,5 t12 Down Cz b4 Cy",
     "focus=Button4 cell=4,6 editor=none combos=20/1/66 lang=English plot5=11.6 changed=[4,5=12] said=[] clip='x'",
     nullptr},
    {"UndoAfterALanguageSwitch", "x", "c4,5 t12 b7 Cz",
     "focus=Button7 cell=4,5 editor=none combos=20/1/66 lang=Russian plot5=11.6 changed=[] said=[] clip='x'", nullptr},
    {"UndoTypedTableNumber", "x", "k2 End SHome t2 Cz",
     "focus=ComboBox2 cell=0,1 editor=none combos=20/1/66 lang=English plot5=11.6 changed=[] said=[] clip='x'",
     nullptr},
    {"UndoTypedSensorAngle", "x", "k1 End SHome t35 Cz",
     "focus=ComboBox1 cell=0,1 editor=none combos=20/1/66 lang=English plot5=11.6 changed=[] said=[] clip='x'",
     nullptr},
    {"RedoTypedSensorAngleThenUndo", "x", "k1 End SHome t35 Cz Cy Cz",
     "focus=ComboBox1 cell=0,1 editor=none combos=20/1/66 lang=English plot5=11.6 changed=[] said=[] clip='x'",
     nullptr},
    // An undone table switch takes its curve back too.
    {"UndoInTheCellUndoesTheTableSwitch", "x", "k2 End SHome t2 c4,5 Cz",
     "focus=StringGrid1 cell=4,5 editor='11.6' combos=20/1/66 lang=English plot5=11.6 changed=[] said=[] clip='x'",
     nullptr},
    {"UndoTypingThenTableSwitch", "x", "k2 End SHome t2 c4,5 t7 Cz Cz",
     "focus=StringGrid1 cell=4,5 editor='11.6' combos=20/1/66 lang=English plot5=11.6 changed=[] said=[] clip='x'",
     nullptr},
    {"RedoAfterANewEditIsGone", "x", "c4,5 t12 Down Cz t3 Cy",
     "focus=StringGrid1 cell=4,6 editor='3' combos=20/1/66 lang=English plot5=11.6 changed=[4,6=3] said=[] clip='x'",
     nullptr},
    {"UndoAndRedoAPaste", "1\n2\n", "c4,5 Cv Cz Cy",
     "focus=StringGrid1 cell=4,5 editor='1' combos=20/1/66 lang=English plot5=11.6 changed=[4,5=1 4,6=2] said=[] "
     "clip='1\\n2\\n'",
     nullptr},
    // A combo box with no typing of its own to undo undoes the table's last step.
    {"UndoInAComboAfterACellEdit", "x", "c4,5 t12 k1 Cz",
     "focus=ComboBox1 cell=4,5 editor=none combos=20/1/66 lang=English plot5=11.6 changed=[] said=[] clip='x'",
     nullptr},
    {"UndoInTheCellAfterAStore", "x", "c4,5 t12 b2 c4,6 Cz",
     "focus=StringGrid1 cell=4,6 editor='12.3' combos=20/1/66 lang=English plot5=11.6 changed=[4,5=12] said=[] "
     "clip='x'",
     nullptr},
    {"UndoInTheCellAfterALanguageSwitch", "x", "c4,5 t12 b7 c4,6 Cz",
     "focus=StringGrid1 cell=4,6 editor='12.3' combos=20/1/66 lang=Russian plot5=11.6 changed=[] said=[] clip='x'",
     nullptr},
    {"RedoTwiceAfterUndoingPastTheBottom", "x", "c4,5 t12 Down Cz Cz Cy Cy",
     "focus=StringGrid1 cell=4,6 editor='12.3' combos=20/1/66 lang=English plot5=11.6 changed=[4,5=12] said=[] "
     "clip='x'",
     nullptr},
    // The same, after a table picked with Down.
    {"UndoInTheCellAfterAListedTableSwitch", "x", "k2 Down c4,5 Cz",
     "focus=StringGrid1 cell=4,5 editor='11.6' combos=20/1/66 lang=English plot5=11.6 changed=[] said=[] clip='x'",
     nullptr},
    // Alt+Backspace, the older undo key.
    {"AltBackspaceInTheCell", "x", "c4,5 t12 ABksp",
     "focus=StringGrid1 cell=4,5 editor='11.6' combos=20/1/66 lang=English plot5=11.6 changed=[] said=[] clip='x'",
     nullptr},
    {"AltBackspaceInACombo", "x", "k1 End SHome t35 ABksp",
     "focus=ComboBox1 cell=0,1 editor=none combos=20/1/66 lang=English plot5=11.6 changed=[] said=[] clip='x'",
     nullptr},
    // Copy and paste.
    {"CopyFromTheEditor", "x", "c4,7 Cc",
     "focus=StringGrid1 cell=4,7 editor='13' combos=20/1/66 lang=English plot5=11.6 changed=[] said=[] "
     "clip='об/мин\\tтаб.1\\tтаб.2\\t'",
     nullptr},
    {"CopyFromAReadOnlyCell", "x", "c2,5 Cc",
     "focus=StringGrid1 cell=2,5 editor=none combos=20/1/66 lang=English plot5=11.6 changed=[] said=[] "
     "clip='об/мин\\tтаб.1\\tтаб.2\\t'",
     nullptr},
    {"CopyFromACombo", "x", "k1 End SHome Cc",
     "focus=ComboBox1 cell=0,1 editor=none combos=20/1/66 lang=English plot5=11.6 changed=[] said=[] clip='x'",
     nullptr},
    // Ctrl+Insert copies the table, as Ctrl+C does, not the editor's selection.
    {"CtrlInsertCopies", "x", "c4,7 CIns",
     "focus=StringGrid1 cell=4,7 editor='13' combos=20/1/66 lang=English plot5=11.6 changed=[] said=[] "
     "clip='об/мин\\tтаб.1\\tтаб.2\\t'",
     nullptr},
    {"PasteLinesWithATrailingLf", "1\n2\n", "c4,5 Cv",
     "focus=StringGrid1 cell=4,5 editor='1' combos=20/1/66 lang=English plot5=11.6 changed=[4,5=1 4,6=2] said=[] "
     "clip='1\\n2\\n'",
     nullptr},
    {"PasteCrLfWithoutATrailingOne", "1\r\n2", "c4,5 Cv",
     "focus=StringGrid1 cell=4,5 editor='1' combos=20/1/66 lang=English plot5=11.6 changed=[4,5=1 4,6=2] said=[] "
     "clip='1\\n2'",
     nullptr},
    {"PasteSeveralColumns", "a\tb\tc\n1\t2\t3\n4\t5\t6\n", "c4,5 Cv",
     "focus=StringGrid1 cell=4,5 editor='3' combos=20/1/66 lang=English plot5=11.6 changed=[4,5=3 4,6=6] said=[] "
     "clip='a\\tb\\tc\\n1\\t2\\t3\\n4\\t5\\t6\\n'",
     nullptr},
    {"PasteCommasAndPoints", "1,5\n2.5\n", "c4,5 Cv",
     "focus=StringGrid1 cell=4,5 editor='1.5' combos=20/1/66 lang=English plot5=11.6 changed=[4,5=1.5 4,6=2.5] said=[] "
     "clip='1,5\\n2.5\\n'",
     nullptr},
    {"PasteAnEmptyLineBetween", "1\n\n2\n", "c4,5 Cv",
     "focus=StringGrid1 cell=4,5 editor='11.6' combos=20/1/66 lang=English plot5=11.6 changed=[] said=[warning:Строка "
     "2: «» не число; ничего не вставлено] clip='1\\n\\n2\\n'",
     nullptr},
    {"PasteOverTheLastTwoRows", "1\n2\n", "c4,31 Cv",
     "focus=StringGrid1 cell=4,31 editor='1' combos=20/1/66 lang=English plot5=11.6 changed=[4,31=1 4,32=2] said=[] "
     "clip='1\\n2\\n'",
     nullptr},
    {"PasteIntoTheLastRow", "9\n", "c4,32 Cv",
     "focus=StringGrid1 cell=4,32 editor='9' combos=20/1/66 lang=English plot5=11.6 changed=[4,32=9] said=[] "
     "clip='9\\n'",
     nullptr},
    // Lines ended by CR alone are lines too.
    {"PasteCrOnly", "1\r2\r", "c4,5 Cv",
     "focus=StringGrid1 cell=4,5 editor='1' combos=20/1/66 lang=English plot5=11.6 changed=[4,5=1 4,6=2] said=[] "
     "clip='12'",
     nullptr},
    {"PasteNothing", "", "c4,5 Cv",
     "focus=StringGrid1 cell=4,5 editor='11.6' combos=20/1/66 lang=English plot5=11.6 changed=[] said=[] clip=''",
     nullptr},
    {"PasteSpeedWithAPoint", "700.5\n", "c0,3 Cv",
     "focus=StringGrid1 cell=0,3 editor='800' combos=20/1/66 lang=English plot5=11.6 changed=[] said=[warning:Строка "
     "1: «700.5» не число; ничего не вставлено] clip='700.5\\n'",
     nullptr},
    {"PasteIntoTheFixedSpeed", "500\n", "c0,1 Cv",
     "focus=StringGrid1 cell=0,1 editor=none combos=20/1/66 lang=English plot5=11.6 changed=[] said=[warning:Вставить "
     "можно в столбец УОЗ или в обороты строк 2–32] clip='500\\n'",
     nullptr},
    // Shift+Insert in the editor pastes as Ctrl+V does, never the raw text past the key filter.
    {"ShiftInsertInTheCell", "7\n8\n", "c4,5 SIns",
     "focus=StringGrid1 cell=4,5 editor='7' combos=20/1/66 lang=English plot5=11.6 changed=[4,5=7 4,6=8] said=[] "
     "clip='7\\n8\\n'",
     nullptr},
    {"ShiftInsertLettersInTheCell", "ab", "c4,5 SIns",
     "focus=StringGrid1 cell=4,5 editor='11.6' combos=20/1/66 lang=English plot5=11.6 changed=[] said=[] clip='ab'",
     nullptr},
    {"ShiftInsertASignIntoTheSpeed", "-1.5", "c0,5 SIns",
     "focus=StringGrid1 cell=0,5 editor='1200' combos=20/1/66 lang=English plot5=11.6 changed=[] said=[warning:Строка "
     "1: «-1.5» не число; ничего не вставлено] clip='-1.5'",
     nullptr},
    {"ShiftDeleteInTheCell", "x", "c4,5 SDel",
     "focus=StringGrid1 cell=4,5 editor='' combos=20/1/66 lang=English plot5=11.6 changed=[4,5=] said=[] clip='11.6'",
     nullptr},
    // A paste into a combo box that its keys could not have typed is refused.
    {"ShiftInsertInTheSensorBox", "ab", "k1 End SHome SIns",
     "focus=ComboBox1 cell=0,1 editor=none combos=20/1/66 lang=English plot5=11.6 changed=[] said=[] clip='ab'",
     nullptr},
    {"ShiftInsertInTheTableBox", "7", "k2 End SHome SIns",
     "focus=ComboBox2 cell=0,1 editor=none combos=20/1/66 lang=English plot5=11.6 changed=[] said=[] clip='7'",
     nullptr},
    {"CtrlVInTheSensorBox", "ab", "k1 End SHome Cv",
     "focus=ComboBox1 cell=0,1 editor=none combos=20/1/66 lang=English plot5=11.6 changed=[] said=[] clip='ab'",
     nullptr},
    {"ShiftDeleteInTheTableBox", "x", "k2 End SHome SDel",
     "focus=ComboBox2 cell=0,1 editor=none combos=20//66 lang=English plot5=11.6 changed=[] said=[app:'' is not a "
     "valid integer value.] clip='1'",
     nullptr},
    {"UndoAPasteOverTyping", "1\n", "c4,5 t9 Cv Cz",
     "focus=StringGrid1 cell=4,5 editor='9' combos=20/1/66 lang=English plot5=11.6 changed=[4,5=9] said=[] clip='1\\n'",
     nullptr},
    {"ShiftDeleteInTheSensorBox", "x", "k1 End SHome SDel",
     "focus=ComboBox1 cell=0,1 editor=none combos=/1/66 lang=English plot5=11.6 changed=[] said=[app:'' is not a valid "
     "integer value.] clip='20'",
     nullptr},
    // The cell editor.
    {"EscapeThenTyping", "x", "c4,5 t12 Esc t3",
     "focus=StringGrid1 cell=4,5 editor='123' combos=20/1/66 lang=English plot5=11.6 changed=[4,5=123] said=[] "
     "clip='x'",
     nullptr},
    // Enter is a dropped character.
    {"EnterThenTyping", "x", "c4,5 t12 Enter t3",
     "focus=StringGrid1 cell=4,5 editor='123' combos=20/1/66 lang=English plot5=11.6 changed=[4,5=123] said=[] "
     "clip='x'",
     nullptr},
    {"TabFromTheEditor", "x", "c4,5 t12 Tab",
     "focus=ComboBox1 cell=4,5 editor=none combos=20/1/66 lang=English plot5=11.6 changed=[4,5=12] said=[] clip='x'",
     nullptr},
    // The editor's text is selected when the focus comes back, so typing replaces it.
    {"TabAwayAndBackThenTyping", "x", "c4,5 t12 Tab STab t3",
     "focus=StringGrid1 cell=4,5 editor='3' combos=20/1/66 lang=English plot5=11.6 changed=[4,5=3] said=[] clip='x'",
     nullptr},
    {"HomeAndEndInTheText", "x", "c4,5 t12 Home t3 End t4",
     "focus=StringGrid1 cell=4,5 editor='3124' combos=20/1/66 lang=English plot5=11.6 changed=[4,5=3124] said=[] "
     "clip='x'",
     nullptr},
    {"DeleteAtTheStart", "x", "c4,5 t12 Home Del",
     "focus=StringGrid1 cell=4,5 editor='2' combos=20/1/66 lang=English plot5=11.6 changed=[4,5=2] said=[] clip='x'",
     nullptr},
    {"DeleteOverTheSelection", "x", "c4,5 Del",
     "focus=StringGrid1 cell=4,5 editor='' combos=20/1/66 lang=English plot5=11.6 changed=[4,5=] said=[] clip='x'",
     nullptr},
    {"TypingOnAReadOnlyCell", "x", "c2,5 t3 Bksp Del",
     "focus=StringGrid1 cell=2,5 editor=none combos=20/1/66 lang=English plot5=11.6 changed=[] said=[] clip='x'",
     nullptr},
    {"LeftFromAReadOnlyCellToTheSpeed", "x", "c2,5 Left Left t5",
     "focus=StringGrid1 cell=0,5 editor='5' combos=20/1/66 lang=English plot5=11.6 changed=[0,5=5] said=[] clip='x'",
     nullptr},
    {"RightAcrossTheTablesToTheAngle", "x", "c1,5 Right Right Right t9",
     "focus=StringGrid1 cell=4,5 editor='9' combos=20/1/66 lang=English plot5=11.6 changed=[4,5=9] said=[] clip='x'",
     nullptr},
    {"UpToTheFixedSpeed", "x", "c0,2 Up t5",
     "focus=StringGrid1 cell=0,1 editor=none combos=20/1/66 lang=English plot5=11.6 changed=[] said=[] clip='x'",
     nullptr},
    {"PageDown", "x", "c4,5 PgDn",
     "focus=StringGrid1 cell=4,32 editor='18.6' combos=20/1/66 lang=English plot5=11.6 changed=[] said=[] clip='x'",
     nullptr},
    {"PageUp", "x", "c4,20 PgUp",
     "focus=StringGrid1 cell=4,1 editor='10.2' combos=20/1/66 lang=English plot5=11.6 changed=[] said=[] clip='x'",
     nullptr},
    // Ctrl+Home and Ctrl+End go to the grid's first and last cell.
    {"CtrlHome", "x", "c4,5 CHome",
     "focus=StringGrid1 cell=0,1 editor=none combos=20/1/66 lang=English plot5=11.6 changed=[] said=[] clip='x'",
     nullptr},
    {"CtrlEnd", "x", "c4,5 CEnd",
     "focus=StringGrid1 cell=4,32 editor='18.6' combos=20/1/66 lang=English plot5=11.6 changed=[] said=[] clip='x'",
     nullptr},
    {"ClickOnTheCurrentCellThenTyping", "x", "c4,5 t12 c4,5 t3",
     "focus=StringGrid1 cell=4,5 editor='3' combos=20/1/66 lang=English plot5=11.6 changed=[4,5=3] said=[] clip='x'",
     nullptr},
    // The combo boxes.
    {"EnterInACombo", "x", "k1 End SHome t35 Enter",
     "focus=ComboBox1 cell=0,1 editor=none combos=35/1/66 lang=English plot5=26.6 changed=[32 cells from 4,1=25.2] "
     "said=[] clip='x'",
     nullptr},
    {"EscapeInACombo", "x", "k1 End SHome t35 Esc",
     "focus=ComboBox1 cell=0,1 editor=none combos=35/1/66 lang=English plot5=26.6 changed=[32 cells from 4,1=25.2] "
     "said=[] clip='x'",
     nullptr},
    {"DownInTheClosedSensorBox", "x", "k1 Down",
     "focus=ComboBox1 cell=0,1 editor=none combos=15/1/66 lang=English plot5=6.6 changed=[32 cells from 4,1=5.2] "
     "said=[] clip='x'",
     nullptr},
    {"UpInTheClosedSensorBox", "x", "k1 Up",
     "focus=ComboBox1 cell=0,1 editor=none combos=25/1/66 lang=English plot5=16.6 changed=[32 cells from 4,1=15.2] "
     "said=[] clip='x'",
     nullptr},
    {"DownInTheClosedTableBox", "x", "k2 Down",
     "focus=ComboBox2 cell=0,1 editor=none combos=20/2/66 lang=English plot5=13.7 changed=[32 cells from 4,1=12.3] "
     "said=[] clip='x'",
     nullptr},
    {"DownPastTheLastTable", "x", "k2 Down Down Down",
     "focus=ComboBox2 cell=0,1 editor=none combos=20/3/66 lang=English plot5=9.5 changed=[32 cells from 4,1=8.1] "
     "said=[] clip='x'",
     nullptr},
    {"DownInTheSparkBoxFromATextNotListed", "x", "k3 Down",
     "focus=ComboBox3 cell=0,1 editor=none combos=20/1/200 lang=English plot5=11.6 changed=[] said=[] clip='x'",
     nullptr},
    {"F4OpensTheList", "x", "k1 F4",
     "focus=ComboBox1 cell=0,1 editor=none combos=20/1/66 list lang=English plot5=11.6 changed=[] said=[] clip='x'",
     nullptr},
    {"AltDownOpensTheList", "x", "k1 ADown",
     "focus=ComboBox1 cell=0,1 editor=none combos=20/1/66 list lang=English plot5=11.6 changed=[] said=[] clip='x'",
     nullptr},
    // In the open list the highlight only points: Enter takes the item, Escape and F4 leave the value.
    {"ListDownEscape", "x", "k2 ADown Down Esc",
     "focus=ComboBox2 cell=0,1 editor=none combos=20/1/66 lang=English plot5=11.6 changed=[] said=[] clip='x'",
     nullptr},
    {"ListDownEnter", "x", "k2 ADown Down Enter",
     "focus=ComboBox2 cell=0,1 editor=none combos=20/2/66 lang=English plot5=13.7 changed=[32 cells from 4,1=12.3] "
     "said=[] clip='x'",
     nullptr},
    {"ListClickAnItem", "x", "k2 ADown i3",
     "focus=ComboBox2 cell=0,1 editor=none combos=20/3/66 lang=English plot5=9.5 changed=[32 cells from 4,1=8.1] "
     "said=[] clip='x'",
     nullptr},
    {"ListDownThenClickTheFirst", "x", "k2 ADown Down i1",
     "focus=ComboBox2 cell=0,1 editor=none combos=20/1/66 lang=English plot5=11.6 changed=[] said=[] clip='x'",
     nullptr},
    {"ListDownF4", "x", "k1 F4 Down F4",
     "focus=ComboBox1 cell=0,1 editor=none combos=20/1/66 lang=English plot5=11.6 changed=[] said=[] clip='x'",
     nullptr},
    // A typed 3, then Down: Down picks the item the typed text begins with, 3.
    {"DownAfterATypedTableNumber", "x", "k2 End SHome t3 Down",
     "focus=ComboBox2 cell=0,1 editor=none combos=20/3/66 lang=English plot5=9.5 changed=[32 cells from 4,1=8.1] "
     "said=[] clip='x'",
     nullptr},
    // Typing leaves the list with no item selected but pointing at the first item the text
    // begins with, else at the first: Up, Down and the page keys pick that item, as a Windows
    // combo box does. The list opens on it, or on none: Enter takes it, Escape the typed value.
    {"DownAfterATypedBeginning", "x", "k1 End SHome t3 Down",
     "focus=ComboBox1 cell=0,1 editor=none combos=35/1/66 lang=English plot5=26.6 changed=["
     "32 cells from 4,1=25.2] said=[] clip='x'",
     nullptr},
    {"UpAfterATypedTextNotListed", "x", "k1 End SHome t22 Up",
     "focus=ComboBox1 cell=0,1 editor=none combos=40/1/66 lang=English plot5=31.6 changed=["
     "32 cells from 4,1=30.2] said=[] clip='x'",
     nullptr},
    {"DownAfterATypedItemStaysOnIt", "x", "k1 End SHome t35 Down",
     "focus=ComboBox1 cell=0,1 editor=none combos=35/1/66 lang=English plot5=26.6 changed=["
     "32 cells from 4,1=25.2] said=[] clip='x'",
     nullptr},
    {"PageDownAfterATypedBeginning", "x", "k1 End SHome t2 PgDn",
     "focus=ComboBox1 cell=0,1 editor=none combos=25/1/66 lang=English plot5=16.6 changed=["
     "32 cells from 4,1=15.2] said=[] clip='x'",
     nullptr},
    {"PageUpInTheClosedSensorBox", "x", "k1 PgUp",
     "focus=ComboBox1 cell=0,1 editor=none combos=40/1/66 lang=English plot5=31.6 changed=["
     "32 cells from 4,1=30.2] said=[] clip='x'",
     nullptr},
    {"OpenAfterATypedBeginningEnter", "x", "k1 End SHome t3 ADown Enter",
     "focus=ComboBox1 cell=0,1 editor=none combos=35/1/66 lang=English plot5=26.6 changed=["
     "32 cells from 4,1=25.2] said=[] clip='x'",
     nullptr},
    {"OpenAfterATypedBeginningDownEnter", "x", "k1 End SHome t3 ADown Down Enter",
     "focus=ComboBox1 cell=0,1 editor=none combos=30/1/66 lang=English plot5=21.6 changed=["
     "32 cells from 4,1=20.2] said=[] clip='x'",
     nullptr},
    {"OpenAfterATypedBeginningF4", "x", "k1 End SHome t3 F4 F4",
     "focus=ComboBox1 cell=0,1 editor=none combos=3/1/66 lang=English plot5=-5.4 changed=["
     "32 cells from 4,1=-6.8] said=[] clip='x'",
     nullptr},
    {"OpenAfterATypedBeginningEscapeDown", "x", "k1 End SHome t3 ADown Esc Down",
     "focus=ComboBox1 cell=0,1 editor=none combos=35/1/66 lang=English plot5=26.6 changed=["
     "32 cells from 4,1=25.2] said=[] clip='x'",
     nullptr},
    {"OpenAfterATypedBeginningEscapeUndo", "x", "k1 End SHome t3 ADown Esc Cz",
     "focus=ComboBox1 cell=0,1 editor=none combos=20/1/66 lang=English plot5=11.6 changed=["
     "] said=[] clip='x'",
     nullptr},
    {"OpenAfterATypedTextNotListedEnter", "x", "k1 End SHome t22 ADown Enter",
     "focus=ComboBox1 cell=0,1 editor=none combos=22/1/66 lang=English plot5=13.6 changed=["
     "32 cells from 4,1=12.2] said=[] clip='x'",
     nullptr},
    {"OpenAfterATypedTextNotListedDownEnter", "x", "k1 End SHome t22 ADown Down Enter",
     "focus=ComboBox1 cell=0,1 editor=none combos=40/1/66 lang=English plot5=31.6 changed=["
     "32 cells from 4,1=30.2] said=[] clip='x'",
     nullptr},
    {"OpenAfterATypedTableNumberEnter", "x", "k2 End SHome t3 ADown Enter",
     "focus=ComboBox2 cell=0,1 editor=none combos=20/3/66 lang=English plot5=9.5 changed=["
     "32 cells from 4,1=8.1] said=[] clip='x'",
     nullptr},
    {"OpenAfterATypedItemDownEnter", "x", "k1 End SHome t35 ADown Down Enter",
     "focus=ComboBox1 cell=0,1 editor=none combos=30/1/66 lang=English plot5=21.6 changed=["
     "32 cells from 4,1=20.2] said=[] clip='x'",
     nullptr},
    {"TypeInTheOpenListThenEnter", "x", "k1 ADown t2 Enter",
     "focus=ComboBox1 cell=0,1 editor=none combos=25/1/66 lang=English plot5=16.6 changed=["
     "32 cells from 4,1=15.2] said=[] clip='x'",
     nullptr},
    {"UndoAfterAnEscapedListKeepsTheTypedParts", "x", "k1 End SHome t35 Bksp ADown Esc Cz",
     "focus=ComboBox1 cell=0,1 editor=none combos=35/1/66 lang=English plot5=26.6 changed=["
     "32 cells from 4,1=25.2] said=[] clip='x'",
     nullptr},
    {"TypingAfterAnEscapedList", "x", "k1 End SHome t3 ADown Esc t5",
     "focus=ComboBox1 cell=0,1 editor=none combos=35/1/66 lang=English plot5=26.6 changed=["
     "32 cells from 4,1=25.2] said=[] clip='x'",
     nullptr},
    {"DownAfterARedoneTextNotListed", "x", "k1 End SHome t3 b4 Cz Cy k1 Down",
     "focus=ComboBox1 cell=0,1 editor=none combos=35/1/66 lang=English plot5=26.6 changed=["
     "32 cells from 4,1=25.2] said=[] clip='x'",
     nullptr},
    {"TabAwayAndBackAfterATypedItemThenDown", "x", "k1 End SHome t35 Tab STab Down",
     "focus=ComboBox1 cell=0,1 editor=none combos=30/1/66 lang=English plot5=21.6 changed=["
     "32 cells from 4,1=20.2] said=[] clip='x'",
     nullptr},
    {"ShiftDownAfterATypedBeginning", "x", "k1 End SHome t3 SDown",
     "focus=ComboBox1 cell=0,1 editor=none combos=35/1/66 lang=English plot5=26.6 changed=["
     "32 cells from 4,1=25.2] said=[] clip='x'",
     nullptr},
    {"PasteDigitsInTheSensorBox", "25", "k1 End SHome SIns",
     "focus=ComboBox1 cell=0,1 editor=none combos=25/1/66 lang=English plot5=16.6 changed=["
     "32 cells from 4,1=15.2] said=[] clip='25'",
     nullptr},
    {"TypeInTheOpenListThenEscape", "x", "k1 ADown t2 Esc",
     "focus=ComboBox1 cell=0,1 editor=none combos=2/1/66 lang=English plot5=-6.4 changed=["
     "32 cells from 4,1=-7.8] said=[] clip='x'",
     nullptr},
    {"EndInTheOpenListThenEnter", "x", "k1 ADown End Enter",
     "focus=ComboBox1 cell=0,1 editor=none combos=20/1/66 lang=English plot5=11.6 changed=[] "
     "said=[] clip='x'",
     nullptr},
    {"WheelDownInTheSensorBox", "x", "k1 WDown",
     "focus=ComboBox1 cell=0,1 editor=none combos=15/1/66 lang=English plot5=6.6 changed=["
     "32 cells from 4,1=5.2] said=[] clip='x'",
     nullptr},
    {"WheelUpAfterATypedBeginning", "x", "k1 End SHome t3 WUp",
     "focus=ComboBox1 cell=0,1 editor=none combos=35/1/66 lang=English plot5=26.6 changed=["
     "32 cells from 4,1=25.2] said=[] clip='x'",
     nullptr},
    {"ShiftInsertInTheOpenList", "25", "k1 ADown SIns Esc",
     "focus=ComboBox1 cell=0,1 editor=none combos=25/1/66 lang=English plot5=16.6 changed=["
     "32 cells from 4,1=15.2] said=[] clip='25'",
     nullptr},
    {"RedoInTheOpenListThenEnter", "x", "k1 End SHome t3 b4 Cz k1 ADown Cy Enter",
     "focus=ComboBox1 cell=0,1 editor=none combos=3/1/66 lang=English plot5=-5.4 changed=["
     "32 cells from 4,1=-6.8] said=[] clip='x'",
     nullptr},
    {"CtrlWheelInTheSensorBox", "x", "k1 CWDown",
     "focus=ComboBox1 cell=0,1 editor=none combos=20/1/66 lang=English plot5=11.6 changed=[] "
     "said=[] clip='x'",
     nullptr},
    {"DownThenTyping", "x", "k1 Down t3",
     "focus=ComboBox1 cell=0,1 editor=none combos=3/1/66 lang=English plot5=-5.4 changed=["
     "32 cells from 4,1=-6.8] said=[] clip='x'",
     nullptr},
    {"AltUpOpensTheList", "x", "k1 AUp",
     "focus=ComboBox1 cell=0,1 editor=none combos=20/1/66 list lang=English plot5=11.6 changed=[] "
     "said=[] clip='x'",
     nullptr},
    {"ListDownEnterThenTyping", "x", "k2 ADown Down Enter t3",
     "focus=ComboBox2 cell=0,1 editor=none combos=20/3/66 lang=English plot5=9.5 changed=[32 cells from 4,1=8.1] "
     "said=[] clip='x'",
     nullptr},
    {"TabOutOfATypedCombo", "x", "k1 End SHome t3 Tab",
     "focus=Button2 cell=0,1 editor=none combos=3/1/66 lang=English plot5=-5.4 changed=[32 cells from 4,1=-6.8] "
     "said=[] clip='x'",
     nullptr},
    {"HomeInTheSparkBox", "x", "k3 Home t1",
     "focus=ComboBox3 cell=0,1 editor=none combos=20/1/166 lang=English plot5=11.6 changed=[] said=[] clip='x'",
     nullptr},
    // Focus.
    {"FocusAtStart", "x", "",
     "focus=Memo1 cell=0,1 editor=none combos=20/1/66 lang=English plot5=11.6 changed=[] said=[] clip='x'", nullptr},
    {"TabFromTheStart", "x", "Tab",
     "focus=Button1 cell=0,1 editor=none combos=20/1/66 lang=English plot5=11.6 changed=[] said=[] clip='x'", nullptr},
    {"ShiftTabFromTheStart", "x", "STab",
     "focus=ComboBox3 cell=0,1 editor=none combos=20/1/66 lang=English plot5=11.6 changed=[] said=[] clip='x'",
     nullptr},
    {"FocusAfterAButtonClick", "x", "b4",
     "focus=Button4 cell=0,1 editor=none combos=20/1/66 lang=English plot5=11.6 changed=[] said=[] clip='x'", nullptr},
    {"TabAfterAButtonClick", "x", "b4 Tab",
     "focus=ComboBox2 cell=0,1 editor=none combos=20/1/66 lang=English plot5=11.6 changed=[] said=[] clip='x'",
     nullptr},
    {"EnterOnAFocusedButton", "x", "b7 Enter",
     "focus=Button7 cell=0,1 editor=none combos=20/1/66 lang=English plot5=11.6 changed=[] said=[] clip='x'", nullptr},
    {"SpaceOnAFocusedButton", "x", "b7 Space",
     "focus=Button7 cell=0,1 editor=none combos=20/1/66 lang=English plot5=11.6 changed=[] said=[] clip='x'", nullptr},
    {"TabIntoTheGridThenTyping", "x", "Tab Tab t5",
     "focus=StringGrid1 cell=0,1 editor=none combos=20/1/66 lang=English plot5=11.6 changed=[] said=[] clip='x'",
     nullptr},
    {"TabIntoTheSensorBoxThenTyping", "x", "Tab Tab Tab t3",
     "focus=ComboBox1 cell=0,1 editor=none combos=3/1/66 lang=English plot5=-5.4 changed=[32 cells from 4,1=-6.8] "
     "said=[] clip='x'",
     nullptr},
    // As above, back in the grid by Shift+Tab.
    {"TabIntoTheGridAfterAnEdit", "x", "c4,5 t12 b4 STab STab STab STab t3",
     "focus=StringGrid1 cell=4,5 editor='3' combos=20/1/66 lang=English plot5=12 changed=[4,5=3] said=[] clip='x'",
     nullptr},
};

}  // namespace tc::test
