#include "chart/language.h"

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

const char* Pick(const Pair& pair, unsigned languageFlag) { return languageFlag == kEnglish ? pair.en : pair.ru; }

}  // namespace

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
        if (element == Element::ChartTitle) {
            rows.emplace_back(element, chartTitle);
            continue;
        }
        const bool header = element == Element::Table1Header || element == Element::Table2Header ||
                            element == Element::Table3Header;
        if (header && !sourceChosen) continue;
        rows.emplace_back(element, ElementText(element, languageFlag));
    }
    return rows;
}

std::string Text(Msg message, unsigned languageFlag) {
    static constexpr Pair kTexts[] = {
        {"Данные не определены", "Missing data"},
        {"Превышен предел 125° ниже датчика", "Over range 125° below the sensor"},
        {"Превышен предел 52° выше датчика", "Over range 52° above the sensor"},
        {"Обороты не ниже холостых, 460/мин", "RPM not lower 460/min"},
        {"Превышены обороты 20000/мин", "RPM over range 20000/min"},
        {"Ошибка доступа к файлу ", "No file found "},
        {"Файл пуст: ", "The file is empty: "},
        {"Не удалось открыть окно терминала для ассемблера", "No terminal window could be opened for the assembler"},
    };
    return Pick(kTexts[static_cast<std::size_t>(message)], languageFlag);
}

std::string MissingItem(const std::string& literal, unsigned languageFlag) {
    if (languageFlag == kEnglish) return "Not found in the source: \"" + literal + "\"";
    return "В исходном тексте не найдено: \"" + literal + "\"";
}

std::string TooFewItems(const std::string& literal, std::size_t found, std::size_t needed,
                        const std::string& where, unsigned languageFlag) {
    const std::string counts = std::to_string(found) + (languageFlag == kEnglish ? " of " : " из ") +
                               std::to_string(needed);
    if (languageFlag == kEnglish)
        return "Only " + counts + " \"" + literal + "\" lines found " + where;
    return "Найдено только " + counts + " строк \"" + literal + "\" " + where;
}

std::string SparkLineMissing(unsigned languageFlag) {
    if (languageFlag == kEnglish)
        return "The spark-duration line \"cpi R18,\" was not found after the spark-delay block comment";
    return "Строка длительности искры \"cpi R18,\" не найдена после комментария блока задержки искры";
}

std::string LayoutConflict(std::size_t lineNumber, unsigned languageFlag) {
    if (languageFlag == kEnglish)
        return "Line " + std::to_string(lineNumber) +
               " of the source would be rewritten twice, or an entry has no line after it; the file is not written";
    return "Строка " + std::to_string(lineNumber) +
           " исходного текста была бы переписана дважды, или после записи таблицы нет строки; файл не записан";
}

std::string ErasedItem(std::size_t lineNumber, const std::string& literal, unsigned languageFlag) {
    if (languageFlag == kEnglish)
        return "Line " + std::to_string(lineNumber) + " of the source also holds \"" + literal +
               "\", which rewriting the line would erase; the file is not written";
    return "Строка " + std::to_string(lineNumber) + " исходного текста содержит также \"" + literal +
           "\", который пропал бы при её перезаписи; файл не записан";
}

std::string MovedItem(std::size_t lineNumber, unsigned languageFlag) {
    if (languageFlag == kEnglish)
        return "After rewriting, the source would no longer read as it does from line " + std::to_string(lineNumber) +
               " on; the file is not written";
    return "После перезаписи исходный текст читался бы иначе, начиная со строки " + std::to_string(lineNumber) +
           "; файл не записан";
}

}  // namespace tc
