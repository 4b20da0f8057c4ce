#include "text/texts.h"

#include <gtest/gtest.h>

namespace tc {
namespace {

using Rows = std::vector<std::pair<Element, std::string>>;

const Rows kRussianRows = {
    {Element::OpenButton, "Файл"},
    {Element::StoreButton, "Сохранить в таблицу"},
    {Element::HelpButton, "О программе"},
    {Element::PlotButton, "График"},
    {Element::SaveButton, "Сохранить в файл"},
    {Element::CompileButton, "Компилировать"},
    {Element::LanguageButton, "English"},
    {Element::ChartTitle, "TITLE"},
    {Element::SensorLabel, "Угол датчика"},
    {Element::TableLabel, "Табл."},
    {Element::SparkLabel, "Искра, мкс"},
    {Element::SpeedHeader, "об/мин"},
    {Element::AngleHeader, "УОЗ"},
    {Element::WindowCaption, "Перерасчет угла опережения ФУОЗ DA-VED  v0.98"},
    {Element::Table1Header, "таб.1"},
    {Element::Table2Header, "таб.2"},
    {Element::Table3Header, "таб.3"},
};

const Rows kEnglishRows = {
    {Element::OpenButton, "File"},
    {Element::StoreButton, "Save to table"},
    {Element::HelpButton, "Help"},
    {Element::PlotButton, "Refresh"},
    {Element::SaveButton, "Save to file"},
    {Element::CompileButton, "Compile HEX File"},
    {Element::LanguageButton, "Russian"},
    {Element::ChartTitle, "TITLE"},
    {Element::SensorLabel, "Sensor angle"},
    {Element::TableLabel, "Table"},
    {Element::SparkLabel, "Spark, us"},
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

using Kind = Diagnostic::Kind;

TEST(Render, EveryDiagnosticHasOneTextPerLanguage) {
    const struct {
        const char* name;
        Diagnostic diagnostic;
        const char* ru;
        const char* en;
    } cases[] = {
        {"missing data", {.kind = Kind::MissingData}, "Данные не определены", "Missing data"},
        {"below range",
         {.kind = Kind::BelowRange},
         "Превышен предел 125° ниже датчика",
         "Over range 125° below the sensor"},
        {"above range",
         {.kind = Kind::AboveRange},
         "Превышен предел 52° выше датчика",
         "Over range 52° above the sensor"},
        {"rpm too low", {.kind = Kind::RpmTooLow}, "Обороты не ниже холостых, 460/мин", "RPM not lower 460/min"},
        {"rpm too high", {.kind = Kind::RpmTooHigh}, "Превышены обороты 20000/мин", "RPM over range 20000/min"},
        {"file access",
         {.kind = Kind::FileAccess, .path = "/fw/a.asm"},
         "Ошибка доступа к файлу /fw/a.asm",
         "No file found /fw/a.asm"},
        {"empty file", {.kind = Kind::EmptyFile, .path = "b.asm"}, "Файл пуст: b.asm", "The file is empty: b.asm"},
        {"no terminal",
         {.kind = Kind::NoTerminal},
         "Не удалось открыть окно терминала для ассемблера",
         "No terminal window could be opened for the assembler"},
        {"missing item",
         {.kind = Kind::MissingItem, .literal = "FuozTable2:"},
         "В исходном тексте не найдено: \"FuozTable2:\"",
         "Not found in the source: \"FuozTable2:\""},
        {"too few speeds",
         {.kind = Kind::TooFewSpeeds, .literal = "cpi R21,", .found = 30, .needed = 31},
         "Найдено только 30 из 31 строк \"cpi R21,\" (обороты двигателя)",
         "Only 30 of 31 \"cpi R21,\" lines found (engine speeds)"},
        {"too few entries",
         {.kind = Kind::TooFewEntries, .literal = "ldi R16,", .table = "FuozTable3:", .found = 20, .needed = 32},
         "Найдено только 20 из 32 строк \"ldi R16,\" после FuozTable3:",
         "Only 20 of 32 \"ldi R16,\" lines found after FuozTable3:"},
        {"spark line missing",
         {.kind = Kind::SparkLineMissing},
         "Строка длительности искры \"cpi R18,\" не найдена после комментария блока задержки искры",
         "The spark-duration line \"cpi R18,\" was not found after the spark-delay block comment"},
        {"layout conflict",
         {.kind = Kind::LayoutConflict, .line = 7},
         "Строка 7 исходного текста была бы переписана дважды, или после записи таблицы нет строки; файл не записан",
         "Line 7 of the source would be rewritten twice, or an entry has no line after it; the file is not written"},
        {"erased item",
         {.kind = Kind::ErasedItem, .literal = "sbi ADCSRA,", .line = 12},
         "Строка 12 исходного текста содержит также \"sbi ADCSRA,\", который пропал бы при её перезаписи; файл не "
         "записан",
         "Line 12 of the source also holds \"sbi ADCSRA,\", which rewriting the line would erase; the file is not "
         "written"},
        {"moved item",
         {.kind = Kind::MovedItem, .line = 40},
         "После перезаписи исходный текст читался бы иначе, начиная со строки 40; файл не записан",
         "After rewriting, the source would no longer read as it does from line 40 on; the file is not written"},
        {"cannot create",
         {.kind = Kind::CannotCreate, .path = "/ro/x.asm", .detail = "Permission denied"},
         "Cannot create file \"/ro/x.asm\". Permission denied",
         "Cannot create file \"/ro/x.asm\". Permission denied"},
        {"paste, not a number",
         {.kind = Kind::PasteNotANumber, .literal = "1x", .line = 3},
         "Строка 3: «1x» не число; ничего не вставлено",
         "Line 3: '1x' is not a number; nothing was pasted"},
        {"paste, too many lines",
         {.kind = Kind::PasteTooMany, .found = 40, .needed = 32},
         "Слишком много строк: вставляется 40, до конца таблицы 32; ничего не вставлено",
         "Too many lines: 40 lines, 32 rows left; nothing was pasted"},
        {"paste, one row left",
         {.kind = Kind::PasteTooMany, .found = 2, .needed = 1},
         "Слишком много строк: вставляется 2, до конца таблицы 1; ничего не вставлено",
         "Too many lines: 2 lines, 1 row left; nothing was pasted"},
        {"paste, wrong cell",
         {.kind = Kind::PasteWrongCell},
         "Вставить можно в столбец УОЗ или в обороты строк 2–32",
         "A paste goes into the angle column, or into the speeds of rows 2 to 32"},
        {"failure",
         {.kind = Kind::Failure, .detail = "'' is not a valid integer value."},
         "'' is not a valid integer value.",
         "'' is not a valid integer value."},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Render(c.diagnostic, kRussian), c.ru) << c.name;
        EXPECT_EQ(Render(c.diagnostic, kEnglish), c.en) << c.name;
    }
}

TEST(Render, TheBoxFollowsTheKind) {
    const std::pair<Kind, Diagnostic::Box> cases[] = {
        {Kind::FileAccess, Diagnostic::Box::Error},         {Kind::CannotCreate, Diagnostic::Box::Failure},
        {Kind::Failure, Diagnostic::Box::Failure},          {Kind::MissingData, Diagnostic::Box::Warning},
        {Kind::EmptyFile, Diagnostic::Box::Warning},        {Kind::NoTerminal, Diagnostic::Box::Warning},
        {Kind::MovedItem, Diagnostic::Box::Warning},        {Kind::ChangedOnDisk, Diagnostic::Box::Warning},
        {Kind::ChangedAndBroken, Diagnostic::Box::Warning},
    };
    for (const auto& [kind, box] : cases) EXPECT_EQ(Diagnostic{.kind = kind}.ShownAs(), box) << static_cast<int>(kind);
}

TEST(SaveChangesQuestion, NamesTheFileWithTheButtonsInTheSameLanguage) {
    EXPECT_EQ(SaveChangesQuestion("CDI.asm", kRussian),
              (Question{"Сохранить изменения в файле CDI.asm?", "Да", "Нет", "Отмена"}));
    EXPECT_EQ(SaveChangesQuestion("my.asm", kEnglish), (Question{"Save changes to my.asm?", "Yes", "No", "Cancel"}));
}

TEST(ShownLinesNote, CountsInEitherLanguage) {
    EXPECT_EQ(ShownLinesNote(12, 340, kEnglish), "[the first 12 of 340 lines are shown]");
    EXPECT_EQ(ShownLinesNote(12, 340, kRussian), "[показаны первые 12 строк из 340]");
}

}  // namespace
}  // namespace tc
