#include "text/texts.h"

#include <array>

namespace tc {

namespace {

struct Pair {
    const char* ru;
    const char* en;
};

constexpr std::array<Pair, kElementCount> kElementTexts = {{
    {"Файл", "File"},
    {"Сохранить в таблицу", "Save to table"},
    {"О программе", "Help"},
    {"График", "Refresh"},
    {"Сохранить в файл", "Save to file"},
    {"Компилировать", "Compile HEX File"},
    {"English", "Russian"},
    {"", ""},  // chart title: composed by the title rule
    {"Угол датчика", "Sensor angle"},
    {"Табл.", "Table"},
    {"Искра, мкс", "Spark, us"},
    {"об/мин", "RPM"},
    {"УОЗ", "angle"},
    {"Перерасчет угла опережения ФУОЗ DA-VED  v0.98", "Ignition timing calculator for DA-VED project v0.98"},
    {"таб.1", "Tab.1"},
    {"таб.2", "Tab.2"},
    {"таб.3", "Tab.3"},
}};

std::string Pick(const Pair& pair, unsigned languageFlag) { return languageFlag == kEnglish ? pair.en : pair.ru; }

bool IsTableHeader(Element element) {
    return element == Element::Table1Header || element == Element::Table2Header || element == Element::Table3Header;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string TooFew(const Diagnostic& d, const std::string& where, unsigned languageFlag) {
    const bool en = languageFlag == kEnglish;
    const std::string counts = std::to_string(d.found) + (en ? " of " : " из ") + std::to_string(d.needed);
    if (en) return "Only " + counts + " " + Quoted(d.literal) + " lines found " + where;
    return "Найдено только " + counts + " строк " + Quoted(d.literal) + " " + where;
}

// The three refusals of a rewrite name a line and end alike.
std::string AtLine(const Diagnostic& d, const Pair& lead, const Pair& rest, unsigned languageFlag) {
    return Pick(lead, languageFlag) + std::to_string(d.line) + Pick(rest, languageFlag);
}

std::string RenderRewrite(const Diagnostic& d, unsigned languageFlag) {
    switch (d.kind) {
        case Diagnostic::Kind::LayoutConflict:
            return AtLine(
                d, {"Строка ", "Line "},
                {" исходного текста была бы переписана дважды, или после записи таблицы нет строки; файл не записан",
                 " of the source would be rewritten twice, or an entry has no line after it; the file is not written"},
                languageFlag);
        case Diagnostic::Kind::ErasedItem:
            if (languageFlag == kEnglish)
                return "Line " + std::to_string(d.line) + " of the source also holds " + Quoted(d.literal) +
                       ", which rewriting the line would erase; the file is not written";
            return "Строка " + std::to_string(d.line) + " исходного текста содержит также " + Quoted(d.literal) +
                   ", который пропал бы при её перезаписи; файл не записан";
        default:
            return AtLine(d,
                          {"После перезаписи исходный текст читался бы иначе, начиная со строки ",
                           "After rewriting, the source would no longer read as it does from line "},
                          {"; файл не записан", " on; the file is not written"}, languageFlag);
    }
}

std::string RenderScan(const Diagnostic& d, unsigned languageFlag) {
    const bool en = languageFlag == kEnglish;
    switch (d.kind) {
        case Diagnostic::Kind::MissingItem:
            return (en ? "Not found in the source: " : "В исходном тексте не найдено: ") + Quoted(d.literal);
        case Diagnostic::Kind::TooFewSpeeds:
            return TooFew(d, en ? "(engine speeds)" : "(обороты двигателя)", languageFlag);
        case Diagnostic::Kind::TooFewEntries: return TooFew(d, (en ? "after " : "после ") + d.table, languageFlag);
        default:
            return Pick({"Строка длительности искры \"cpi R18,\" не найдена после комментария блока задержки искры",
                         "The spark-duration line \"cpi R18,\" was not found after the spark-delay block comment"},
                        languageFlag);
    }
}

// What a save says of the file it writes.
std::string RenderSave(const Diagnostic& d, unsigned languageFlag) {
    using Kind = Diagnostic::Kind;
    switch (d.kind) {
        case Kind::ChangedOnDisk:
            return Pick({"Файл ", "The file "}, languageFlag) + Quoted(d.path) +
                   Pick({" изменился на диске после открытия; его другие изменения сохранены, а значения таблицы "
                         "записаны в него",
                         " had changed on disk since it was opened; its other changes were kept, and the table's "
                         "values were written into it"},
                        languageFlag);
        case Kind::ChangedAndBroken: {
            std::string text =
                Pick({"Файл ", "The file "}, languageFlag) + Quoted(d.path) +
                Pick({" изменился на диске после открытия и больше не читается полностью; файл не записан.",
                      " has changed on disk since it was opened and no longer reads completely; the "
                      "file is not written."},
                     languageFlag);
            for (const Diagnostic& cause : d.causes) text += " " + Render(cause, languageFlag);
            return text;
        }
        default: return "Cannot create file " + Quoted(d.path) + ". " + d.detail;
    }
}

std::string RenderPaste(const Diagnostic& d, unsigned languageFlag) {
    switch (d.kind) {
        case Diagnostic::Kind::PasteNotANumber:
            if (languageFlag == kEnglish)
                return "Line " + std::to_string(d.line) + ": '" + d.literal + "' is not a number; nothing was pasted";
            return "Строка " + std::to_string(d.line) + ": «" + d.literal + "» не число; ничего не вставлено";
        case Diagnostic::Kind::PasteTooMany:
            if (languageFlag == kEnglish)
                return "Too many lines: " + std::to_string(d.found) + " lines, " + std::to_string(d.needed) +
                       (d.needed == 1 ? " row" : " rows") + " left; nothing was pasted";
            return "Слишком много строк: вставляется " + std::to_string(d.found) + ", до конца таблицы " +
                   std::to_string(d.needed) + "; ничего не вставлено";
        default:
            return Pick({"Вставить можно в столбец УОЗ или в обороты строк 2–32",
                         "A paste goes into the angle column, or into the speeds of rows 2 to 32"},
                        languageFlag);
    }
}

}  // namespace

Question SaveChangesQuestion(const std::string& fileName, unsigned languageFlag) {
    if (languageFlag == kEnglish) return {"Save changes to " + fileName + "?", "Yes", "No", "Cancel"};
    return {"Сохранить изменения в файле " + fileName + "?", "Да", "Нет", "Отмена"};
}

std::string ElementText(Element element, unsigned languageFlag) {
    return Pick(kElementTexts[static_cast<std::size_t>(element)], languageFlag);
}

std::string TableHeader(char digit, unsigned languageFlag) {
    return std::string(languageFlag == kEnglish ? "Tab." : "таб.") + digit;
}

unsigned NextLanguage(unsigned languageFlag) {
    const unsigned next = (languageFlag + 1) & 0xFFu;  // an unsigned byte
    return next > 1 ? 0 : next;
}

std::vector<std::pair<Element, std::string>> LanguageRows(unsigned languageFlag, bool sourceChosen,
                                                          const std::string& chartTitle) {
    std::vector<std::pair<Element, std::string>> rows;
    for (std::size_t i = 0; i < kElementCount; ++i) {
        const auto element = static_cast<Element>(i);
        if (element == Element::ChartTitle)
            rows.emplace_back(element, chartTitle);
        else if (!IsTableHeader(element) || sourceChosen)
            rows.emplace_back(element, ElementText(element, languageFlag));
    }
    return rows;
}

std::string TitleText(TitlePiece piece, unsigned languageFlag) {
    static constexpr Pair kPieces[] = {
        {"График УОЗ", "Timing graph"},
        {", файл: ", ", file: "},
        {". Внимание, с подстроечным резистором!", ". Attention, with adjust resistor!"},
    };
    return Pick(kPieces[static_cast<std::size_t>(piece)], languageFlag);
}

std::string ShownLinesNote(long long shown, long long total, unsigned languageFlag) {
    if (languageFlag == kEnglish)
        return "[the first " + std::to_string(shown) + " of " + std::to_string(total) + " lines are shown]";
    return "[показаны первые " + std::to_string(shown) + " строк из " + std::to_string(total) + "]";
}

std::string Render(const Diagnostic& d, unsigned languageFlag) {
    using Kind = Diagnostic::Kind;
    switch (d.kind) {
        case Kind::MissingData: return Pick({"Данные не определены", "Missing data"}, languageFlag);
        case Kind::BelowRange:
            return Pick({"Превышен предел 125° ниже датчика", "Over range 125° below the sensor"}, languageFlag);
        case Kind::AboveRange:
            return Pick({"Превышен предел 52° выше датчика", "Over range 52° above the sensor"}, languageFlag);
        case Kind::RpmTooLow: return Pick({"Обороты не ниже холостых, 460/мин", "RPM not lower 460/min"}, languageFlag);
        case Kind::RpmTooHigh: return Pick({"Превышены обороты 20000/мин", "RPM over range 20000/min"}, languageFlag);
        case Kind::FileAccess: return Pick({"Ошибка доступа к файлу ", "No file found "}, languageFlag) + d.path;
        case Kind::EmptyFile: return Pick({"Файл пуст: ", "The file is empty: "}, languageFlag) + d.path;
        case Kind::NoTerminal:
            return Pick({"Не удалось открыть окно терминала для ассемблера",
                         "No terminal window could be opened for the assembler"},
                        languageFlag);
        case Kind::MissingItem:
        case Kind::TooFewSpeeds:
        case Kind::TooFewEntries:
        case Kind::SparkLineMissing: return RenderScan(d, languageFlag);
        case Kind::LayoutConflict:
        case Kind::ErasedItem:
        case Kind::MovedItem: return RenderRewrite(d, languageFlag);
        case Kind::CannotCreate:
        case Kind::ChangedOnDisk:
        case Kind::ChangedAndBroken: return RenderSave(d, languageFlag);
        case Kind::PasteWrongCell:
        case Kind::PasteNotANumber:
        case Kind::PasteTooMany: return RenderPaste(d, languageFlag);
        case Kind::Failure: return d.detail;
    }
    return d.detail;
}

}  // namespace tc
