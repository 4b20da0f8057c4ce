// Russian and English texts. Each text is picked by the language flag at the
// moment it is shown; only the language switch rewrites texts on screen.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace tc {

inline constexpr unsigned kRussian = 0;
inline constexpr unsigned kEnglish = 1;

inline constexpr const char* kApplicationTitle = "Ignition timing calculator";
inline constexpr const char* kFileButtonTooltip = "Выберите CDI.asm";  // the same in both languages

// The texts the language switch sets, in the order it sets them.
enum class Element {
    Button1, Button2, Button3, Button4, Button5, Button6, Button7,
    ChartTitle,
    Label1, Label2, Label3,
    SpeedHeader, AngleHeader,
    WindowCaption,
    Table1Header, Table2Header, Table3Header,
};
inline constexpr std::size_t kElementCount = 17;

// The fixed text of an element (every one but the chart title).
std::string ElementText(Element element, unsigned languageFlag);

// "таб.1" or "Tab.1": the header of a table column, with the label's digit.
std::string TableHeader(char digit, unsigned languageFlag);

// The language flag after one press of the language button.
unsigned NextLanguage(unsigned languageFlag);

// The rows the switch writes, in order. The table headers only once a file
// has been chosen; the chart title is passed in, composed by the title rule.
std::vector<std::pair<Element, std::string>> LanguageRows(unsigned languageFlag, bool sourceChosen,
                                                           const std::string& chartTitle);

enum class Msg {
    MissingData,
    BelowRange,
    AboveRange,
    RpmTooLow,
    RpmTooHigh,
    FileAccess,      // followed by the path
    EmptyFile,       // followed by the path
    NoTerminal,
};

std::string Text(Msg message, unsigned languageFlag);

// A scan item that the source lacks: the literal it was looked for by.
std::string MissingItem(const std::string& literal, unsigned languageFlag);
// Too few occurrences of a counted item.
std::string TooFewItems(const std::string& literal, std::size_t found, std::size_t needed,
                        const std::string& where, unsigned languageFlag);
// The spark-duration line was not found near the spark-delay marker.
std::string SparkLineMissing(unsigned languageFlag);
// Two rewritten items fall on the same line, or an entry has no line after it.
std::string LayoutConflict(std::size_t lineNumber, unsigned languageFlag);
// A rewritten line also holds an item the reader needs, which the rewrite would take away.
std::string ErasedItem(std::size_t lineNumber, const std::string& literal, unsigned languageFlag);
// After the rewrite, the scan would find an item on another line than this one.
std::string MovedItem(std::size_t lineNumber, unsigned languageFlag);

}  // namespace tc
