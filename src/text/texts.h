// Every text the program shows, in Russian and English, and the rendering of
// diagnostics. Each text is picked by the language flag at the moment it is
// shown; only the language switch rewrites texts already on screen.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "table/diagnostic.h"

namespace tc {

inline constexpr unsigned kRussian = 0;
inline constexpr unsigned kEnglish = 1;

inline constexpr const char* kApplicationTitle = "Ignition timing calculator";
inline constexpr const char* kFileButtonTooltip = "Выберите CDI.asm";  // the same in both languages

// The texts the language switch sets, in the order it sets them.
enum class Element {
    OpenButton,
    StoreButton,
    HelpButton,
    PlotButton,
    SaveButton,
    CompileButton,
    LanguageButton,
    ChartTitle,
    SensorLabel,
    TableLabel,
    SparkLabel,
    SpeedHeader,
    AngleHeader,
    WindowCaption,
    Table1Header,
    Table2Header,
    Table3Header,
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

// The pieces the chart title is made of.
enum class TitlePiece { Graph, FileLead, AdjustResistor };
std::string TitleText(TitlePiece piece, unsigned languageFlag);

// The note under a source too long for the text box.
std::string ShownLinesNote(long long shown, long long total, unsigned languageFlag);

// A question with the answers Yes, No and Cancel, all in one language.
struct Question {
    std::string text, yes, no, cancel;
    friend bool operator==(const Question&, const Question&) = default;
};

// Whether to save the changes to the file, named, before they would be lost.
Question SaveChangesQuestion(const std::string& fileName, unsigned languageFlag);

// The message text of a diagnostic.
std::string Render(const Diagnostic& diagnostic, unsigned languageFlag);

}  // namespace tc
