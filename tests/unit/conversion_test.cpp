#include "table/conversion.h"

#include <gtest/gtest.h>

#include "table/numbers.h"
#include "test_support.h"

namespace tc {
namespace {

struct CodeCase {
    int sensor, code;
    const char* text;
};

TEST(CodeToAngle, EdgeValues) {
    const CodeCase cases[] = {{20, 0, "20"},       {20, 1, "19.3"},   {20, 17, "8.1"},   {20, 28, "0.4"},
                              {20, 179, "-105.3"}, {20, 180, "-"},    {20, 181, "71.8"}, {20, 200, "58.5"},
                              {20, 254, "20.7"},   {20, 255, "20"},   {35, 50, "0"},     {15, 100, "-55"},
                              {0, 1, "-0.7"},      {99, 181, "150.8"}};
    for (const auto& c : cases) EXPECT_EQ(CodeToAngle(c.sensor, c.code, U'.'), c.text) << c.sensor << "/" << c.code;
}

TEST(CodeToAngle, UsesTheLocaleSeparator) {
    EXPECT_EQ(CodeToAngle(20, 1, U','), "19,3");
    EXPECT_EQ(CodeToAngle(20, 28, U','), "0,4");
    EXPECT_EQ(CodeToAngle(20, 179, U','), "-105,3");
    EXPECT_EQ(CodeToAngle(20, 0, U','), "20");
    EXPECT_EQ(CodeToAngle(20, 180, U','), "-");
}

TEST(CodeToAngle, CodesOutsideTheByteFollowTheirSide) {
    EXPECT_EQ(CodeToAngle(20, -1, U'.'), "20.7");
    EXPECT_EQ(CodeToAngle(20, 300, U'.'), "-11.5");
}

struct AngleCase {
    const char* text;
    char32_t separator;
    CodeResult::Kind kind;
    int code;
};

TEST(AngleToCode, EdgeValuesForSensorTwenty) {
    const AngleCase cases[] = {
        {"20", U'.', CodeResult::Ok, 0},
        {"19.3", U'.', CodeResult::Ok, 1},
        {"19.65", U'.', CodeResult::Ok, 1},
        {"20.2", U'.', CodeResult::Ok, 255},
        {"20.3", U'.', CodeResult::Ok, 255},
        {"20.35", U'.', CodeResult::Ok, 254},
        {"20.4", U'.', CodeResult::Ok, 254},
        {"-105.3", U'.', CodeResult::Ok, 179},
        {"-105.6", U'.', CodeResult::Ok, 179},
        {"-105.65", U'.', CodeResult::BelowRange, 0},
        {"-500", U'.', CodeResult::BelowRange, 0},
        {"71.8", U'.', CodeResult::Ok, 181},
        {"72.1", U'.', CodeResult::Ok, 181},
        {"72.15", U'.', CodeResult::AboveRange, 0},
        {"500", U'.', CodeResult::AboveRange, 0},
        {"8.1", U'.', CodeResult::Ok, 17},
        {"0.4", U'.', CodeResult::Ok, 28},
        {"58.5", U'.', CodeResult::Ok, 200},
        {"19,65", U',', CodeResult::Ok, 1},
        {"20,35", U',', CodeResult::Ok, 254},
        {"-105,65", U',', CodeResult::BelowRange, 0},
        {"72,15", U',', CodeResult::AboveRange, 0},
    };
    for (const auto& c : cases) {
        const CodeResult result = AngleToCode(20, StrToFloat(c.text, c.separator));
        EXPECT_EQ(result.kind, c.kind) << c.text;
        if (c.kind == CodeResult::Ok) {
            EXPECT_EQ(result.code, c.code) << c.text;
        }
    }
}

TEST(AngleToCode, EveryDisplayedCodeComesBack) {
    for (int sensor = 0; sensor <= 99; ++sensor) {
        for (int code = 0; code <= 255; ++code) {
            if (code == 180) continue;
            const std::string text = CodeToAngle(sensor, code, U'.');
            const CodeResult back = AngleToCode(sensor, StrToFloat(text, U'.'));
            ASSERT_EQ(back.kind, CodeResult::Ok) << sensor << "/" << code << " " << text;
            EXPECT_EQ(back.code, code == 255 ? 0 : code) << sensor << "/" << code << " " << text;
        }
    }
}

TEST(CodeToAngle, AgreesWithExactTenths) {
    for (int sensor = 0; sensor <= 99; ++sensor)
        for (int code = 0; code <= 255; ++code)
            ASSERT_EQ(CodeToAngle(sensor, code, U'.'), test::TenthsText(sensor, code)) << sensor << "/" << code;
}

// A model at start-up with the given table codes.
GridModel ModelWith(const test::Tables& tables) {
    GridModel model;
    model.Fill();
    for (int t = 0; t < 3; ++t)
        for (int r = 1; r <= 32; ++r)
            model.grid.SetCell(t + 1, r,
                               std::to_string(tables[static_cast<std::size_t>(t)][static_cast<std::size_t>(r - 1)]));
    return model;
}

std::vector<std::string> Column(const GridModel& model, int column) {
    std::vector<std::string> texts;
    for (int r = 1; r <= 32; ++r) texts.push_back(model.grid.Cell(column, r));
    return texts;
}

template <class Call>
void ExpectConversionError(Call call, const std::string& what) {
    try {
        call();
        ADD_FAILURE() << "no error, expected " << what;
    } catch (const ConversionError& error) {
        EXPECT_EQ(error.what(), what);
    }
}

TEST(FillAngleColumn, ShowsTheSelectedTableForTheSensorAngle) {
    const test::Tables tables = test::DistinctTables();
    GridModel model = ModelWith(tables);
    const struct {
        const char* sensor;
        const char* table;
    } choices[] = {{"20", "1"}, {"20", "2"}, {"20", "3"}, {"25", "3"}, {"35", "2"}};
    for (const auto& choice : choices) {
        model.sensor.text = choice.sensor;
        model.table.text = choice.table;
        FillAngleColumn(model, U'.');
        const std::size_t t = static_cast<std::size_t>(std::stoi(choice.table) - 1);
        for (int r = 1; r <= 32; ++r)
            EXPECT_EQ(model.grid.Cell(4, r),
                      test::TenthsText(std::stoi(choice.sensor), tables[t][static_cast<std::size_t>(r - 1)]))
                << choice.sensor << "/" << choice.table << " row " << r;
    }
    EXPECT_EQ(Column(model, 1), Column(ModelWith(tables), 1));  // codes stay as they are
}

TEST(FillAngleColumn, StopsAtTheTextThatDoesNotConvert) {
    test::Tables tables = test::DistinctTables();
    tables[0][0] = tables[0][1] = tables[0][2] = 180;

    {  // a bad table number stops before the first row
        GridModel model = ModelWith(tables);
        model.table.text = "";
        ExpectConversionError([&] { FillAngleColumn(model, U'.'); }, "'' is not a valid integer value.");
        EXPECT_EQ(Column(model, 4), std::vector<std::string>(32, ""));
    }
    {  // a bad table cell stops at its row
        GridModel model = ModelWith(tables);
        model.grid.SetCell(1, 6, "");
        ExpectConversionError([&] { FillAngleColumn(model, U'.'); }, "'' is not a valid integer value.");
        EXPECT_EQ(model.grid.Cell(4, 3), "-");
        EXPECT_EQ(model.grid.Cell(4, 5), "17.2");
        EXPECT_EQ(model.grid.Cell(4, 6), "");
        EXPECT_EQ(model.grid.Cell(4, 7), "");
    }
    {  // a bad sensor angle stops at the first row that is not 180
        GridModel model = ModelWith(tables);
        model.sensor.text = "";
        ExpectConversionError([&] { FillAngleColumn(model, U'.'); }, "'' is not a valid integer value.");
        EXPECT_EQ(Column(model, 4)[0], "-");
        EXPECT_EQ(Column(model, 4)[2], "-");
        EXPECT_EQ(model.grid.Cell(4, 4), "");
    }
    {  // and goes unnoticed while every code is 180
        GridModel model;
        model.Fill();
        for (int r = 1; r <= 32; ++r) model.grid.SetCell(1, r, "180");
        model.sensor.text = "x";
        FillAngleColumn(model, U'.');
        EXPECT_EQ(Column(model, 4), std::vector<std::string>(32, "-"));
    }
}

TEST(StoreAngleColumn, StoresEveryRowIntoTheSelectedTable) {
    GridModel model = ModelWith(test::DistinctTables());
    model.table.text = "2";
    const char* angles[32] = {"20",   "19.3", "19.65", "20.2", "20.35", "-105.3", "-105.6",
                              "71.8", "72.1", "-",     "8.1",  "0.4",   "58.5",   "20.7"};
    const int codes[32] = {0, 1, 1, 255, 254, 179, 179, 181, 181, 180, 17, 28, 200, 254};
    for (int r = 1; r <= 32; ++r) model.grid.SetCell(4, r, angles[r - 1] ? angles[r - 1] : "20");
    EXPECT_EQ(StoreAngleColumn(model, U'.'), CodeResult::Ok);
    for (int r = 1; r <= 32; ++r) EXPECT_EQ(model.grid.Cell(2, r), std::to_string(codes[r - 1])) << r;
    EXPECT_EQ(model.grid.Cell(4, 3), "19.65");  // the typed angles stay
    EXPECT_EQ(Column(model, 1), Column(ModelWith(test::DistinctTables()), 1));
}

TEST(StoreAngleColumn, StopsAtTheFirstAngleOutOfRange) {
    const std::pair<const char*, CodeResult::Kind> bad[] = {{"-105.65", CodeResult::BelowRange},
                                                            {"72.15", CodeResult::AboveRange}};
    for (const auto& [angle, kind] : bad) {
        GridModel model = ModelWith(test::DistinctTables());
        for (int r = 1; r <= 32; ++r) model.grid.SetCell(4, r, "13");  // code 10
        model.grid.SetCell(4, 7, angle);
        const auto anglesBefore = Column(model, 4);
        EXPECT_EQ(StoreAngleColumn(model, U'.'), kind) << angle;
        for (int r = 1; r <= 6; ++r) EXPECT_EQ(model.grid.Cell(1, r), "10") << r;
        for (int r = 7; r <= 32; ++r) EXPECT_EQ(model.grid.Cell(1, r), std::to_string(r - 1)) << r;
        EXPECT_EQ(Column(model, 4), anglesBefore);
    }
}

TEST(StoreAngleColumn, StopsAtTheTextThatDoesNotConvert) {
    {  // a bad sensor angle: the "-" rows before it are stored
        GridModel model = ModelWith(test::DistinctTables());
        for (int r = 1; r <= 32; ++r) model.grid.SetCell(4, r, r <= 2 ? "-" : "13");
        model.sensor.text = "";
        ExpectConversionError([&] { StoreAngleColumn(model, U'.'); }, "'' is not a valid integer value.");
        EXPECT_EQ(model.grid.Cell(1, 1), "180");
        EXPECT_EQ(model.grid.Cell(1, 2), "180");
        EXPECT_EQ(model.grid.Cell(1, 3), "2");
    }
    {  // a bad table number: nothing is stored
        GridModel model = ModelWith(test::DistinctTables());
        for (int r = 1; r <= 32; ++r) model.grid.SetCell(4, r, "13");
        model.table.text = "";
        ExpectConversionError([&] { StoreAngleColumn(model, U'.'); }, "'' is not a valid integer value.");
        EXPECT_EQ(Column(model, 1), Column(ModelWith(test::DistinctTables()), 1));
    }
    {  // an angle that is not a number, with the other separator
        GridModel model = ModelWith(test::DistinctTables());
        for (int r = 1; r <= 32; ++r) model.grid.SetCell(4, r, "13,5");
        model.grid.SetCell(4, 4, "13.5");
        ExpectConversionError([&] { StoreAngleColumn(model, U','); }, "'13.5' is not a valid floating point value.");
        EXPECT_EQ(model.grid.Cell(1, 3), "9");
        EXPECT_EQ(model.grid.Cell(1, 4), "3");
    }
}

TEST(StoreAngleColumn, ShownCodesComeBackAndTheSensorAngleBecomesZero) {
    for (char32_t separator : {U'.', U','}) {
        GridModel model;
        model.Fill();
        model.sensor.text = "30";
        for (int start : {0, 32, 64, 96, 128, 160, 192, 224}) {
            for (int r = 1; r <= 32; ++r) model.grid.SetCell(1, r, std::to_string(start + r - 1));
            FillAngleColumn(model, separator);
            ASSERT_EQ(StoreAngleColumn(model, separator), CodeResult::Ok);
            for (int r = 1; r <= 32; ++r) {
                const int code = start + r - 1;
                EXPECT_EQ(model.grid.Cell(1, r), std::to_string(code == 255 ? 0 : code)) << code;
            }
        }
    }
}

}  // namespace
}  // namespace tc
