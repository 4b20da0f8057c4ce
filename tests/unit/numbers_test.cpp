#include "table/numbers.h"

#include <gtest/gtest.h>

namespace tc {
namespace {

struct IntCase {
    const char* text;
    int value;
};

TEST(StrToInt, ReadsSignedDecimals) {
    const IntCase cases[] = {{"0", 0},     {"460", 460},  {"-7", -7},
                             {"012", 12},  {"-0", 0},     {"2147483647", 2147483647},
                             {"-2147483648", -2147483647 - 1}};
    for (const auto& c : cases) EXPECT_EQ(StrToInt(c.text), c.value) << c.text;
}

TEST(StrToInt, RejectsWhatIsNotAnInteger) {
    const char* cases[] = {"", "-", "--", "1-2", "--5", "1.5", "1,5", " 5", "5 ", "x", "12a", "0x1F", "2147483648",
                           "-2147483649", "99999999999"};
    for (const char* text : cases) {
        try {
            StrToInt(text);
            ADD_FAILURE() << "accepted '" << text << "'";
        } catch (const ConversionError& error) {
            EXPECT_EQ(error.what(), "'" + std::string(text) + "' is not a valid integer value.");
        }
    }
}

struct FloatCase {
    const char* text;
    char32_t separator;
    double value;
};

TEST(StrToFloat, ReadsWithTheLocaleSeparator) {
    const FloatCase cases[] = {
        {"19.3", U'.', 19.3},     {"19,3", U',', 19.3},        {"-105.65", U'.', -105.65},
        {"20", U',', 20.0},       {"5.", U'.', 5.0},           {".5", U'.', 0.5},
        {"-,5", U',', -0.5},      {"19\u066B65", U'\u066B', 19.65}, {"0", U'.', 0.0},
    };
    for (const auto& c : cases) EXPECT_EQ(StrToFloat(c.text, c.separator), c.value) << c.text;
}

TEST(StrToFloat, RejectsWhatIsNotANumber) {
    const std::pair<const char*, char32_t> cases[] = {
        {"", U'.'},     {"-", U'.'},    {"--", U'.'},    {"--1", U'.'},  {"1-2", U'.'},
        {"-.", U'.'},   {"-,", U','},   {".", U'.'},     {"19.3", U','}, {"19,3", U'.'},
        {"1.2.3", U'.'}, {"1..2", U'.'}, {"12a", U'.'},  {"19.3", U'\u066B'}, {"1e999", U'.'},
    };
    for (const auto& [text, separator] : cases) {
        try {
            StrToFloat(text, separator);
            ADD_FAILURE() << "accepted '" << text << "'";
        } catch (const ConversionError& error) {
            EXPECT_EQ(error.what(), "'" + std::string(text) + "' is not a valid floating point value.");
        }
    }
}

TEST(FormatGeneral, WritesFifteenSignificantDigitsWithoutTrailingZeros) {
    const struct {
        long double value;
        char32_t separator;
        const char* text;
    } cases[] = {
        {20.0L, U'.', "20"},
        {20.0L - 28 * 0.7L, U'.', "0.4"},  // in double precision this would be 0.400000000000002
        {19.3L, U',', "19,3"},
        {-105.3L, U'.', "-105.3"},
        {-0.0L, U'.', "0"},
        {-0.5L, U'.', "-0.5"},
        {1.0L / 3, U'.', "0.333333333333333"},
        {71.8L, U'\u066B', "71\u066B8"},
        {23440.0L, U'.', "23440"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatGeneral(c.value, c.separator), c.text) << c.text;
}

TEST(RoundHalfEven, SendsHalvesToTheEvenNeighbour) {
    const std::pair<long double, long long> cases[] = {{10.5L, 10},  {11.5L, 12},  {192.5L, 192}, {217.5L, 218},
                                                       {-0.5L, 0},   {-1.5L, -2},  {2.4999L, 2},  {2.5001L, 3},
                                                       {179.5L, 180}};
    for (const auto& [value, rounded] : cases) EXPECT_EQ(RoundHalfEven(value), rounded) << static_cast<double>(value);
}

}  // namespace
}  // namespace tc
