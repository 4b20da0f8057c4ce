#include "table/numbers.h"

#include "table/utf8.h"

#include <charconv>
#include <system_error>

namespace tc {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

[[noreturn]] void BadInteger(std::string_view text) {
    throw ConversionError("'" + std::string(text) + "' is not a valid integer value.");
}

[[noreturn]] void BadFloat(std::string_view text) {
    throw ConversionError("'" + std::string(text) + "' is not a valid floating point value.");
}

}  // namespace

int StrToInt(std::string_view text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size()) BadInteger(text);
    long long value = 0;
    for (; i < text.size(); ++i) {
        if (!IsDigit(text[i])) BadInteger(text);
        value = value * 10 + (text[i] - '0');
        if (value > 2147483648LL) BadInteger(text);
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<int>::max()) BadInteger(text);
    return static_cast<int>(value);
}

double StrToFloat(std::string_view text, char32_t separator) {
    const std::string sep = Utf8(separator);
    std::string ascii;  // the same number with '.' for from_chars
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') ascii += '-';
        ++i;
    }
    int digits = 0;
    while (i < text.size() && IsDigit(text[i])) {
        ascii += text[i++];
        ++digits;
    }
    if (text.substr(i, sep.size()) == sep) {
        i += sep.size();
        ascii += '.';
        while (i < text.size() && IsDigit(text[i])) {
            ascii += text[i++];
            ++digits;
        }
    }
    if (digits == 0) BadFloat(text);
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ascii += 'e';
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ascii += text[i++];
        int expDigits = 0;
        while (i < text.size() && IsDigit(text[i])) {
            ascii += text[i++];
            ++expDigits;
        }
        if (expDigits == 0) BadFloat(text);
    }
    if (i != text.size()) BadFloat(text);
    double value = 0;
    const auto res = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (res.ec != std::errc() || res.ptr != ascii.data() + ascii.size()) BadFloat(text);
    return value;
}

}  // namespace tc
