#include "table/extended.h"

#include <boost/multiprecision/cpp_int.hpp>
#include <cmath>
#include <cstdint>
#include <stdexcept>

#include "table/numbers.h"
#include "table/utf8.h"

namespace tc {

namespace mp = boost::multiprecision;

const Extended& ExtendedStep() {
    static const Extended step = mp::ldexp(Extended(0xB333333333333333ULL), -64);
    return step;
}

namespace {

constexpr std::size_t kSignificantDigits = 15;

// One more decimal digit of fraction / 2^shift (fraction below 2^shift, shift 1 to
// 64): the digit, and the fraction left, in halves of 32 bits so as not to overflow.
unsigned NextDigit(std::uint64_t& fraction, int shift) {
    if (shift < 32) {
        const std::uint64_t product = fraction * 10;
        fraction = product & ((std::uint64_t{1} << shift) - 1);
        return static_cast<unsigned>(product >> shift);
    }
    std::uint64_t low = (fraction & 0xFFFFFFFFu) * 10;
    const std::uint64_t high = (fraction >> 32) * 10 + (low >> 32);  // product = high * 2^32 + low
    low &= 0xFFFFFFFFu;
    const int highShift = shift - 32;
    fraction = ((high & ((std::uint64_t{1} << highShift) - 1)) << 32) | low;
    return static_cast<unsigned>(high >> highShift);
}

// significand / 2^shift (shift 0 to 64) digit by digit, as the table's angles are:
// a hundred times quicker than the big integers below. Past the digit that decides
// the rounding to 15, a single 1 stands for whatever non-zero digits follow.
void ShortExactDigits(std::uint64_t significand, int shift, std::string& digits, int& power) {
    const std::uint64_t whole = shift == 64 ? 0 : significand >> shift;
    std::uint64_t fraction = shift == 0    ? 0
                             : shift == 64 ? significand
                                           : significand & ((std::uint64_t{1} << shift) - 1);
    digits = whole != 0 ? std::to_string(whole) : std::string();
    power = static_cast<int>(digits.size()) - 1;
    while (fraction != 0) {
        if (digits.size() > kSignificantDigits) {
            digits += '1';
            break;
        }
        const unsigned digit = NextDigit(fraction, shift);
        if (digits.empty() && digit == 0) {
            --power;
        } else {
            digits += static_cast<char>('0' + digit);
        }
    }
    // The last digit of a fraction is never 0; a whole number may end in zeros.
    digits.resize(digits.find_last_not_of('0') + 1);
}

// The decimal digits of a positive finite value, without trailing zeros, exact up
// to the rounding to 15, and the power of ten of the first one: value = 0.d1d2... * 10^(power + 1).
void ExactDigits(const Extended& value, std::string& digits, int& power) {
    int binary = 0;
    const Extended fraction = mp::frexp(value, &binary);  // in [0.5, 1)
    const auto significand = mp::ldexp(fraction, 64).convert_to<std::uint64_t>();
    binary -= 64;  // value = significand * 2^binary, exactly
    if (binary <= 0 && binary >= -64) return ShortExactDigits(significand, -binary, digits, power);
    mp::cpp_int whole = significand;
    int decimal = 0;  // value = whole * 10^decimal
    if (binary >= 0) {
        whole <<= binary;
    } else {
        whole *= mp::pow(mp::cpp_int(5), static_cast<unsigned>(-binary));
        decimal = binary;
    }
    digits = whole.str();
    const std::size_t last = digits.find_last_not_of('0');
    decimal += static_cast<int>(digits.size() - last - 1);
    digits.resize(last + 1);
    power = static_cast<int>(digits.size()) + decimal - 1;
}

// To at most 15 digits, an exact half to the even neighbour, as printf does.
void RoundDigits(std::string& digits, int& power) {
    if (digits.size() > kSignificantDigits) {
        const char next = digits[kSignificantDigits];
        const bool rest = digits.find_first_not_of('0', kSignificantDigits + 1) != std::string::npos;
        const bool odd = (digits[kSignificantDigits - 1] - '0') % 2 != 0;
        digits.resize(kSignificantDigits);
        if (next > '5' || (next == '5' && (rest || odd))) {
            std::size_t i = digits.size();
            while (i > 0 && digits[i - 1] == '9') digits[--i] = '0';
            if (i == 0) {
                digits.insert(digits.begin(), '1');
                digits.pop_back();
                ++power;
            } else {
                ++digits[i - 1];
            }
        }
    }
    const std::size_t last = digits.find_last_not_of('0');
    digits.resize(last + 1);
}

}  // namespace

std::string FormatGeneral(const Extended& value, char32_t separator) {
    if (mp::isnan(value)) return "nan";
    if (mp::isinf(value)) return value < 0 ? "-inf" : "inf";
    if (value == 0) return "0";
    std::string digits;
    int power = 0;
    ExactDigits(mp::abs(value), digits, power);
    RoundDigits(digits, power);

    const std::string sep = Utf8(separator);
    std::string out = value < 0 ? "-" : "";
    const int precision = static_cast<int>(kSignificantDigits);
    if (power < -4 || power >= precision) {
        // Scientific, as %g writes it: one digit before the separator, two exponent digits at least.
        out += digits.front();
        if (digits.size() > 1) out += sep + digits.substr(1);
        const int magnitude = power < 0 ? -power : power;
        out += power < 0 ? "e-" : "e+";
        if (magnitude < 10) out += '0';
        out += std::to_string(magnitude);
    } else if (power >= 0) {
        const auto whole = static_cast<std::size_t>(power) + 1;
        if (digits.size() <= whole) {
            out += digits + std::string(whole - digits.size(), '0');
        } else {
            out += digits.substr(0, whole) + sep + digits.substr(whole);
        }
    } else {
        out += "0" + sep + std::string(static_cast<std::size_t>(-power - 1), '0') + digits;
    }
    return out;
}

long long RoundHalfEven(const Extended& value) {
    // Well inside long long, so that the neighbour above still fits.
    if (!(mp::abs(value) < Extended(0x1p62))) throw std::out_of_range("value out of the range of the table arithmetic");
    const Extended below = mp::floor(value);
    const Extended rest = value - below;
    auto rounded = below.convert_to<long long>();
    if (rest > 0.5 || (rest == 0.5 && (rounded & 1) != 0)) ++rounded;
    return rounded;
}

std::optional<long long> QuickRound(double nearValue) {
    if (!(std::fabs(nearValue) < 0x1p52)) return std::nullopt;  // also NaN; beyond this the margin is below an ulp
    const double below = std::floor(nearValue);
    const double rest = nearValue - below;  // exact at these magnitudes
    if (std::fabs(rest - 0.5) <= kQuickMargin) return std::nullopt;
    return static_cast<long long>(rest < 0.5 ? below : below + 1);
}

}  // namespace tc
