// The table codes follow arithmetic with a 64-bit significand, each step
// rounded to nearest. Hardware long double has that format only on x86, so the
// format is emulated in software: the same bits on every CPU and compiler.
#pragma once

#include <boost/multiprecision/cpp_bin_float.hpp>
#include <optional>
#include <string>

namespace tc {

using Extended = boost::multiprecision::cpp_bin_float_double_extended;

// The nearest value to 0.7 in that format, slightly below it: 0xB333333333333333 / 2^64.
const Extended& ExtendedStep();

// General form with at most 15 significant digits, no trailing zeros, the
// given separator, rounded from the exact binary value with halves to even:
// 20, 19.3, 0.4, -105.3, 1.0842021724855e-19.
std::string FormatGeneral(const Extended& value, char32_t separator);

// Nearest integer, an exact half to the even neighbour. The value must be
// finite and within the range of long long.
long long RoundHalfEven(const Extended& value);

// The nearest integer to a double that lies within kQuickMargin of the value
// the emulated steps give, when no half lies within kQuickMargin of it either:
// then both round alike. Nothing near a half, where only the emulation can tell.
inline constexpr double kQuickMargin = 1e-9;
std::optional<long long> QuickRound(double nearValue);

}  // namespace tc
