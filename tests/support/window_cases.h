// Rows that both windows, Qt and Win32, are driven through: the same keys and
// clipboards must give the same texts and messages in each.
#pragma once

#include <ostream>

namespace tc::test {

// Keys typed into a combo box as a user types them: a click into it, then
// the keys to whatever took the focus.
struct ComboTyping {
    const char* name;
    int combo;         // 1 to 3: ComboBox1, ComboBox2, ComboBox3
    bool selectAll;    // Shift+Home from the end first, so that the keys replace the text
    const char* keys;  // "\b" is Backspace
    const char* shown;
};

inline void PrintTo(const ComboTyping& c, std::ostream* os) { *os << c.name; }

inline const ComboTyping kComboTypings[] = {
    {"SensorTakesDigits", 1, true, "35", "35"},
    // Not completed from the list's "35" and "100".
    {"SensorTakesOneDigitAsTyped", 1, true, "3", "3"},
    {"SparkTakesOneDigitAsTyped", 3, true, "1", "1"},
    {"SensorDropsLettersAndStopsAtTwo", 1, true, "3x57", "35"},
    {"SensorDropsSignAndSeparators", 1, true, "-4.,5", "45"},
    {"SensorBackspace", 1, false, "\b", "2"},
    {"TableTakesOneToThree", 2, true, "3", "3"},
    {"TableDropsOtherDigitsAndLetters", 2, true, "40z", "1"},
    {"TableIgnoresBackspace", 2, false, "\b", "1"},
    {"SparkTakesDigits", 3, true, "1234567.8", "12345678"},
    {"SparkDropsLettersSignAndComma", 3, false, "q,-9", "659"},
};

// A paste the grid refuses as a whole, with the one message it shows in Russian.
struct RefusedPaste {
    const char* name;
    int column, row;
    const char* clipboard;
    const char* said;
};

inline const RefusedPaste kRefusedPastes[] = {
    {"a bad value", 4, 5, "10\r\n1x\r\n", "Строка 2: «1x» не число; ничего не вставлено"},
    {"too many lines", 4, 31, "1\n2\n3\n",
     "Слишком много строк: вставляется 3, до конца таблицы 2; ничего не вставлено"},
    {"a table column, no editor", 2, 5, "10", "Вставить можно в столбец УОЗ или в обороты строк 2–32"},
    {"the fixed 460", 0, 1, "500", "Вставить можно в столбец УОЗ или в обороты строк 2–32"},
};

// Keys in a cell's editor: Left and Right move the caret inside the text, and to
// the neighbouring cell only at its end or over all of it; Up and Down change the
// row. Keys: < Left, > Right, ( the keypad's Left, [ Home, ] End, { Shift+Home,
// ^ Up, v Down, anything else typed.
struct ArrowCase {
    const char* name;
    int column, row;
    const char* keys;
    int endColumn, endRow;  // the current cell afterwards
    const char* text;       // what the cell the keys began in holds afterwards
};

inline void PrintTo(const ArrowCase& c, std::ostream* os) { *os << c.name; }

inline const ArrowCase kEditorArrows[] = {
    {"LeftInsideTheAngleMovesTheCaret", 4, 5, "<3", 4, 5, "132"},
    {"LeftAtTheAnglesStartGoesToTable3", 4, 5, "[<", 3, 5, "12"},
    {"LeftOverTheWholeAngleGoesToTable3", 4, 5, "]{<", 3, 5, "12"},
    {"KeypadLeftAtTheAnglesStartGoesToTable3", 4, 5, "[(", 3, 5, "12"},
    {"RightAtTheSpeedsEndGoesToTable1", 0, 5, ">", 1, 5, "12"},
    {"RightOverTheWholeSpeedGoesToTable1", 0, 5, "]{>", 1, 5, "12"},
    {"RightInsideTheSpeedMovesTheCaret", 0, 5, "[>7", 0, 5, "172"},
    {"LeftAtTheSpeedsStartStaysInTheFirstColumn", 0, 5, "[<<9", 0, 5, "912"},
    {"RightAtTheAnglesEndStaysInTheLastColumn", 4, 5, ">>5", 4, 5, "125"},
    {"UpAndDownChangeTheRow", 4, 5, "^^v", 4, 4, "12"},
    {"UpStopsAtTheFirstRow", 4, 2, "^^^", 4, 1, "12"},
    {"TheNewCellsTextIsSelectedAndTypedOver", 4, 5, "v7", 4, 6, "12"},
};

}  // namespace tc::test
