// Text/number conversions shared by every handler. Control texts are the only
// store of numbers, so each read goes through here and fails the same way.
#pragma once

#include <limits>
#include <stdexcept>
#include <string>
#include <string_view>

static_assert(std::numeric_limits<long double>::digits == 64,
              "timingcalc needs the x87 80-bit extended format for long double "
              "(64-bit significand); other formats would compute other table codes");

namespace tc {

// Ends the running handler; the text goes to the application's error box.
class ConversionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// UTF-8 encoding of one code point (the locale's decimal separator may be any character).
std::string Utf8(char32_t ch);

// Signed decimal integer, 32 bits. Throws "'text' is not a valid integer value."
int StrToInt(std::string_view text);

// Decimal number with the given separator, to the nearest double.
// Throws "'text' is not a valid floating point value."
double StrToFloat(std::string_view text, char32_t separator);

// General form with at most 15 significant digits, no trailing zeros, the
// given separator: 20, 19.3, 0.4, -105.3.
std::string FormatGeneral(long double value, char32_t separator);

// Nearest integer, an exact half to the even neighbour.
long long RoundHalfEven(long double value);

// The error text of a floating-point division by zero.
inline constexpr const char* kDivisionByZero = "Floating point division by zero";

}  // namespace tc
