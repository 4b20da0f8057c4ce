#include "chart/language.h"

#include <gtest/gtest.h>

namespace tc {
namespace {

using Rows = std::vector<std::pair<Element, std::string>>;

const Rows kRussianRows = {
    {Element::Button1, "Файл"},
    {Element::Button2, "Сохранить в таблицу"},
    {Element::Button3, "О программе"},
    {Element::Button4, "График"},
    {Element::Button5, "Сохранить в файл"},
    {Element::Button6, "Компилировать"},
    {Element::Button7, "English"},
    {Element::ChartTitle, "TITLE"},
    {Element::Label1, "Угол датчика"},
    {Element::Label2, "Табл."},
    {Element::Label3, "Искра, мкс"},
    {Element::SpeedHeader, "об/мин"},
    {Element::AngleHeader, "УОЗ"},
    {Element::WindowCaption, "Перерасчет угла опережения ФУОЗ DA-VED  v0.98"},
    {Element::Table1Header, "таб.1"},
    {Element::Table2Header, "таб.2"},
    {Element::Table3Header, "таб.3"},
};

const Rows kEnglishRows = {
    {Element::Button1, "File"},
    {Element::Button2, "Save to table"},
    {Element::Button3, "Help"},
    {Element::Button4, "Refresh"},
    {Element::Button5, "Save to file"},
    {Element::Button6, "Compile HEX File"},
    {Element::Button7, "Russian"},
    {Element::ChartTitle, "TITLE"},
    {Element::Label1, "Sensor angle"},
    {Element::Label2, "Table"},
    {Element::Label3, "Spark, us"},
    {Element::SpeedHeader, "RPM"},
    {Element::AngleHeader, "angle"},
    {Element::WindowCaption, "Ignition timing calculator for DA-VED project v0.98"},
    {Element::Table1Header, "Tab.1"},
    {Element::Table2Header, "Tab.2"},
    {Element::Table3Header, "Tab.3"},
};

TEST(LanguageRows, AllSeventeenOnceASourceWasChosen) {
    EXPECT_EQ(LanguageRows(kRussian, true, "TITLE"), kRussianRows);
    EXPECT_EQ(LanguageRows(kEnglish, true, "TITLE"), kEnglishRows);
}

TEST(LanguageRows, FourteenWithoutTheTableHeadersBefore) {
    for (const auto& [flag, all] : {std::pair{kRussian, kRussianRows}, std::pair{kEnglish, kEnglishRows}}) {
        const Rows rows = LanguageRows(flag, false, "TITLE");
        EXPECT_EQ(rows, Rows(all.begin(), all.begin() + 14)) << flag;
    }
}

TEST(NextLanguage, TogglesTheByte) {
    EXPECT_EQ(NextLanguage(kRussian), kEnglish);
    EXPECT_EQ(NextLanguage(kEnglish), kRussian);
    EXPECT_EQ(NextLanguage(255), kRussian);
}

TEST(TableHeader, TakesTheLabelDigit) {
    EXPECT_EQ(TableHeader('2', kRussian), "таб.2");
    EXPECT_EQ(TableHeader('3', kEnglish), "Tab.3");
}

TEST(Messages, OneTextPerLanguage) {
    const struct {
        Msg message;
        const char* ru;
        const char* en;
    } cases[] = {
        {Msg::MissingData, "Данные не определены", "Missing data"},
        {Msg::BelowRange, "Превышен предел 125° ниже датчика", "Over range 125° below the sensor"},
        {Msg::AboveRange, "Превышен предел 52° выше датчика", "Over range 52° above the sensor"},
        {Msg::RpmTooLow, "Обороты не ниже холостых, 460/мин", "RPM not lower 460/min"},
        {Msg::RpmTooHigh, "Превышены обороты 20000/мин", "RPM over range 20000/min"},
        {Msg::FileAccess, "Ошибка доступа к файлу ", "No file found "},
        {Msg::EmptyFile, "Файл пуст: ", "The file is empty: "},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Text(c.message, kRussian), c.ru);
        EXPECT_EQ(Text(c.message, kEnglish), c.en);
    }
}

}  // namespace
}  // namespace tc
