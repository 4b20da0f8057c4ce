// The number conversions on arbitrary texts, each against a plain model of
// what it must do. Input: one byte that picks the decimal separator, then the text.
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "fuzz_support.h"
#include "table/conversion.h"
#include "table/extended.h"
#include "table/numbers.h"
#include "table/utf8.h"

namespace {

using fuzz::Check;
using fuzz::Visible;

constexpr char32_t kSeparators[] = {U'.', U',', U'\u066B', U'\u00B7'};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The text of an error, as what() gives it: up to a NUL in the named text.
std::string Named(std::string_view text, const char* rest) {
    const std::string message = "'" + std::string(text) + "' " + rest;
    return message.substr(0, message.find('\0'));
}

template <class Convert>
std::optional<std::string> ErrorOf(Convert convert) {
    try {
        convert();
    } catch (const tc::ConversionError& error) {
        return error.what();
    }
    return std::nullopt;
}

// Sign, digits: the value when it fits in 32 bits.
std::optional<int> IntegerModel(std::string_view text) {
    std::string_view digits = text;
    bool negative = false;
    if (!digits.empty() && (digits[0] == '+' || digits[0] == '-')) {
        negative = digits[0] == '-';
        digits.remove_prefix(1);
    }
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), IsDigit)) return std::nullopt;
    while (digits.size() > 1 && digits[0] == '0') digits.remove_prefix(1);
    if (digits.size() > 10) return std::nullopt;
    long long value = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (negative) value = -value;
    if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return static_cast<int>(value);
}

void CheckInteger(std::string_view text) {
    const auto expected = IntegerModel(text);
    int got = 0;
    const auto error = ErrorOf([&] { got = tc::StrToInt(text); });
    if (!expected) {
        Check(error == Named(text, "is not a valid integer value."), "a bad integer is named", Visible(text));
        return;
    }
    Check(!error && got == *expected, "an integer text gives its value", Visible(text));
}

// Sign, digits with at most one separator among or around them, an exponent:
// the same number with "." for strtod, when it is one.
std::optional<std::string> FloatGrammar(std::string_view text, const std::string& separator) {
    std::string ascii;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ascii += text[i++];
    bool digits = false, point = false;
    while (i < text.size()) {
        if (IsDigit(text[i])) {
            ascii += text[i++];
            digits = true;
        } else if (!point && text.compare(i, separator.size(), separator) == 0) {
            ascii += '.';
            i += separator.size();
            point = true;
        } else {
            break;
        }
    }
    if (!digits) return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ascii += text[i++];
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ascii += text[i++];
        const std::size_t start = i;
        while (i < text.size() && IsDigit(text[i])) ascii += text[i++];
        if (i == start) return std::nullopt;
    }
    if (i != text.size()) return std::nullopt;
    return ascii;
}

std::optional<double> CheckFloat(std::string_view text, char32_t separator) {
    const std::string sep = tc::Utf8(separator);
    const auto ascii = FloatGrammar(text, sep);
    double got = 0;
    const auto error = ErrorOf([&] { got = tc::StrToFloat(text, separator); });
    const std::string bad = Named(text, "is not a valid floating point value.");
    if (!ascii) {
        Check(error == bad, "a bad decimal number is named", Visible(text));
        return std::nullopt;
    }
    errno = 0;
    const double expected = std::strtod(ascii->c_str(), nullptr);
    if (errno == ERANGE) {  // out of the double range: refused, or the nearest value below the normal ones
        Check(error == bad || got == expected, "a decimal number out of range", Visible(text));
        return error ? std::nullopt : std::optional<double>(got);
    }
    Check(!error && got == expected, "a decimal text gives the nearest double", Visible(text));
    return got;
}

void CheckFormat(long double value, char32_t separator) {
    const std::string sep = tc::Utf8(separator);
    const std::string text = tc::FormatGeneral(tc::Extended(value), separator);
    Check(text != "-0", "no negative zero");
    const auto ascii = FloatGrammar(text, sep);
    Check(ascii.has_value(), "a formatted number reads as one", Visible(text));
    const std::size_t at = text.find(sep);
    if (at != std::string::npos) {
        const std::size_t exponent = text.find('e');
        const std::string fraction = text.substr(
            at + sep.size(), exponent == std::string::npos ? std::string::npos : exponent - at - sep.size());
        Check(!fraction.empty() && fraction.back() != '0', "no trailing zeros", text);
    }
    std::string digits;
    for (std::size_t i = 0; i < std::min(text.find('e'), text.size()); ++i)
        if (IsDigit(text[i]) && !(digits.empty() && text[i] == '0')) digits += text[i];
    Check(digits.size() <= 15, "at most 15 significant digits", text);
    const long double back = std::strtold(ascii->c_str(), nullptr);
    Check(std::fabs(back - value) <= std::fabs(value) * 1e-14L, "a formatted number keeps its value", text);
}

void CheckRounding(long double value) {
    if (!(std::fabs(value) < 0x1p62L)) return;
    const long double below = std::floor(value);
    const long double rest = value - below;
    long long expected = static_cast<long long>(below);
    if (rest > 0.5L || (rest == 0.5L && expected % 2 != 0)) ++expected;
    Check(tc::RoundHalfEven(tc::Extended(value)) == expected, "halves round to the even neighbour");
}

long double AngleOf(int sensor, int code) { return code < 180 ? sensor - code * 0.7L : sensor + (255 - code) * 0.7L; }

// The code of an angle is the one whose angle is nearest, within half a step.
void CheckAngleToCode(int sensor, double angle) {
    long double best = INFINITY;
    for (int code = 0; code <= 255; ++code)
        if (code != tc::kNoAngleCode) best = std::min(best, std::fabs(AngleOf(sensor, code) - angle));
    const long double tolerance = 1e-9L * (1 + std::fabs(static_cast<long double>(sensor)));
    const tc::CodeResult result = tc::AngleToCode(sensor, angle);
    const std::string detail = std::to_string(sensor) + ", " + std::to_string(angle);
    if (best > 0.35L + tolerance) {
        Check(result.kind == (angle < sensor ? tc::CodeResult::BelowRange : tc::CodeResult::AboveRange),
              "an angle out of reach is refused on its side", detail);
        return;
    }
    if (best < 0.35L - tolerance) Check(result.kind == tc::CodeResult::Ok, "an angle within reach gets a code", detail);
    if (result.kind != tc::CodeResult::Ok) return;
    Check(result.code >= 0 && result.code <= 255 && result.code != tc::kNoAngleCode, "a code is a byte with an angle",
          detail);
    Check(std::fabs(AngleOf(sensor, result.code) - angle) <= best + tolerance, "the nearest code", detail);
}

// Every byte's angle text reads back as that byte; 255 and 0 share the sensor angle.
void CheckCodeRoundTrip(int sensor, int code, char32_t separator) {
    const std::string text = tc::CodeToAngle(sensor, code, separator);
    if (code == tc::kNoAngleCode) {
        Check(text == tc::kNoAngleText, "180 has no angle");
        return;
    }
    const tc::CodeResult back = tc::AngleToCode(sensor, tc::StrToFloat(text, separator));
    Check(back.kind == tc::CodeResult::Ok && back.code == (code == 255 ? 0 : code),
          "an angle text reads back as its code", std::to_string(sensor) + ", " + std::to_string(code) + ": " + text);
}

void CheckCp1251(std::string_view text) {
    const std::string out = tc::Utf8ToCp1251(text);
    Check(out.size() <= text.size(), "one byte per character at most");
    if (std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        Check(out == text, "ASCII stays as it is", Visible(text));
}

void CheckCodePoint(char32_t ch) {
    if (ch > 0x10FFFF || (ch >= 0xD800 && ch <= 0xDFFF)) return;
    const std::string utf8 = tc::Utf8(ch);
    std::string expected = "?";
    if (ch < 0x80)
        expected = std::string(1, static_cast<char>(ch));
    else if (ch >= 0x410 && ch <= 0x44F)
        expected = std::string(1, static_cast<char>(0xC0 + (ch - 0x410)));
    else if (ch == 0x401)
        expected = "\xA8";
    else if (ch == 0x451)
        expected = "\xB8";
    else if (ch == 0xB0)
        expected = "\xB0";
    Check(utf8.size() == (ch < 0x80 ? 1u : ch < 0x800 ? 2u : ch < 0x10000 ? 3u : 4u), "the shortest UTF-8 form");
    Check(tc::Utf8ToCp1251(utf8) == expected, "a code point reaches Windows-1251 as its byte or ?",
          std::to_string(static_cast<unsigned>(ch)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const char32_t separator = kSeparators[data[0] % 4];
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);

    CheckInteger(text);
    CheckCp1251(text);
    if (const auto value = CheckFloat(text, separator)) {
        CheckFormat(*value, separator);
        CheckRounding(*value);
        CheckRounding(*value * 0.5L);
        for (const int sensor : {20, 40, 15, 0, -7})
            if (std::isfinite(*value)) CheckAngleToCode(sensor, *value);
    }
    if (const auto number = IntegerModel(text)) {
        CheckCodePoint(static_cast<char32_t>(*number));
        const int code = ((*number % 256) + 256) % 256;
        for (const int sensor : {20, 35, 0, *number % 100000}) CheckCodeRoundTrip(sensor, code, separator);
        for (int sensor = 15; sensor <= 40; sensor += 5) CheckAngleToCode(sensor, *number * 0.1);
    }
    return 0;
}
