// Text/number conversions shared by every handler. Control texts are the only
// store of numbers, so each read goes through here and fails the same way.
#pragma once

#include <limits>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tc {

// Ends the running handler; the text goes to the application's error box.
class ConversionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Signed decimal integer, 32 bits. Throws "'text' is not a valid integer value."
int StrToInt(std::string_view text);

// Decimal number with the given separator, to the nearest double.
// Throws "'text' is not a valid floating point value."
double StrToFloat(std::string_view text, char32_t separator);

// The error text of a floating-point division by zero.
inline constexpr const char* kDivisionByZero = "Floating point division by zero";

}  // namespace tc
