#include "table/numbers.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "table/extended.h"

namespace tc {
namespace {

struct IntCase {
    const char* text;
    int value;
};

TEST(StrToInt, ReadsSignedDecimals) {
    const IntCase cases[] = {{"0", 0},
                             {"460", 460},
                             {"-7", -7},
                             {"012", 12},
                             {"-0", 0},
                             {"2147483647", 2147483647},
                             {"-2147483648", -2147483647 - 1}};
    for (const auto& c : cases) EXPECT_EQ(StrToInt(c.text), c.value) << c.text;
}

TEST(StrToInt, RejectsWhatIsNotAnInteger) {
    const char* cases[] = {"",   "-", "--",  "1-2",  "--5",        "1.5",         "1,5",        " 5",
                           "5 ", "x", "12a", "0x1F", "2147483648", "-2147483649", "99999999999"};
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
        {"19.3", U'.', 19.3}, {"19,3", U',', 19.3}, {"-105.65", U'.', -105.65}, {"20", U',', 20.0},
        {"5.", U'.', 5.0},    {".5", U'.', 0.5},    {"-,5", U',', -0.5},        {"19\u066B65", U'\u066B', 19.65},
        {"0", U'.', 0.0},
    };
    for (const auto& c : cases) EXPECT_EQ(StrToFloat(c.text, c.separator), c.value) << c.text;
}

TEST(StrToFloat, RejectsWhatIsNotANumber) {
    const std::pair<const char*, char32_t> cases[] = {
        {"", U'.'},      {"-", U'.'},    {"--", U'.'},  {"--1", U'.'},       {"1-2", U'.'},
        {"-.", U'.'},    {"-,", U','},   {".", U'.'},   {"19.3", U','},      {"19,3", U'.'},
        {"1.2.3", U'.'}, {"1..2", U'.'}, {"12a", U'.'}, {"19.3", U'\u066B'}, {"1e999", U'.'},
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

struct FormatCase {
    const char* name;
    Extended value;
    char32_t separator;
    const char* text;
};

Extended Tenths(int tenths) { return Extended(tenths) / 10; }

TEST(FormatGeneral, WritesFifteenSignificantDigitsWithoutTrailingZeros) {
    const Extended& step = ExtendedStep();
    const FormatCase cases[] = {
        {"whole", 20, U'.', "20"},
        // In double precision this would be 0.400000000000002.
        {"extended step keeps 0.4", Extended(20) - Extended(28) * step, U'.', "0.4"},
        {"comma separator", Tenths(193), U',', "19,3"},
        {"negative", Tenths(-1053), U'.', "-105.3"},
        {"negative zero", -Extended(0), U'.', "0"},
        {"negative half", Tenths(-5), U'.', "-0.5"},
        {"a third rounds down", Extended(1) / 3, U'.', "0.333333333333333"},
        {"two thirds round up", Extended(2) / 3, U'.', "0.666666666666667"},
        {"nines carry into a new digit", Extended(9999999999999995) / 10, U'.', "1e+15"},
        {"multibyte separator", Tenths(718), U'\u066B', "71\u066B8"},
        {"trailing zeros of a whole number", 23440, U'.', "23440"},
        {"fifteen digits stay fixed", Extended(123456789012345), U'.', "123456789012345"},
        {"sixteen digits turn scientific", Extended(1234567890123456), U'.', "1.23456789012346e+15"},
        {"small stays fixed down to 1e-4", Extended(1) / 10000, U'.', "0.0001"},
        {"smaller turns scientific", Extended(1) / 100000, U'.', "1e-05"},
        {"an extended product that lands on a whole number", Extended(35) - Extended(50) * step, U'.', "0"},
        {"tiny negative", Extended(-3) / Extended(1e20), U'.', "-3e-20"},
        {"small with fifteen digits", Extended(1) / 7 / 10000000, U'.', "1.42857142857143e-08"},
        {"three-digit exponent", boost::multiprecision::ldexp(Extended(1), -1280), U'.', "4.80402822240064e-386"},
        {"exact tie goes to even, down", Extended(100000000000000.5), U'.', "100000000000000"},
        {"exact tie goes to even, up", Extended(100000000000001.5), U'.', "100000000000002"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatGeneral(c.value, c.separator), c.text) << c.name;
}

struct RoundCase {
    const char* name;
    Extended value;
    long long rounded;
};

TEST(RoundHalfEven, SendsHalvesToTheEvenNeighbour) {
    const RoundCase cases[] = {
        {"10.5 down to even", 10.5, 10},
        {"11.5 up to even", 11.5, 12},
        {"192.5 down to even", 192.5, 192},
        {"217.5 up to even", 217.5, 218},
        {"-0.5 to zero", -0.5, 0},
        {"-1.5 to -2", -1.5, -2},
        {"-2.5 to -2", -2.5, -2},
        {"just below a half", Extended(24999) / 10000, 2},
        {"just above a half", Extended(25001) / 10000, 3},
        {"179.5 to 180", 179.5, 180},
        {"-0.3 to zero", Extended(-3) / 10, 0},
        {"large whole", Extended(0x1p61), 0x1LL << 61},
    };
    for (const auto& c : cases) EXPECT_EQ(RoundHalfEven(c.value), c.rounded) << c.name;
}

TEST(RoundHalfEven, RefusesValuesBeyondItsRange) {
    EXPECT_THROW(RoundHalfEven(Extended(0x1p62)), std::out_of_range);
    EXPECT_THROW(RoundHalfEven(-Extended(1e300)), std::out_of_range);
}

}  // namespace
}  // namespace tc
