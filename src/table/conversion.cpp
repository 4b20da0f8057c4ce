#include "table/conversion.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

#include "table/extended.h"
#include "table/numbers.h"
#include "table/utf8.h"

namespace tc {

std::optional<std::string> QuickCodeToAngle(int sensor, int code, char32_t separator) {
    if (code == kNoAngleCode) return kNoAngleText;
    // The angle is S - 0.7k with k = c below 180 and k = c - 255 above it.
    const long long k = code < kNoAngleCode ? code : code - 255LL;
    // Up to 500 on either side, the two rounded steps and the step's own error stay
    // below 1e-16, while an angle of 0.1 or more rounds to 15 digits at 1e-15 or
    // coarser: the exact value rounds to the whole number of tenths. Just below 0.1
    // (S and 0.7k nearly equal) the subtraction is exact and the product's error
    // stays below 2e-17, within those 15 digits' 5e-17. At zero tenths the product
    // misses S by less than half a unit in its last place, so it rounds to S: 0.
    const long long tenths = 10LL * sensor - 7 * k;
    if (std::llabs(sensor) > 500 || std::llabs(k) > 500) return std::nullopt;
    const long long magnitude = std::llabs(tenths);
    char digits[32];
    char* end = digits;
    if (tenths < 0) *end++ = '-';
    end = std::to_chars(end, digits + sizeof digits, magnitude / 10).ptr;
    std::string text(digits, end);
    if (magnitude % 10 != 0) {
        if (separator < 0x80) {
            text += static_cast<char>(separator);
        } else {
            text += Utf8(separator);
        }
        text += static_cast<char>('0' + magnitude % 10);
    }
    return text;
}

std::optional<CodeResult> QuickAngleToCode(int sensor, double angle) {
    if (!std::isfinite(angle)) return std::nullopt;
    // Below these quotients (0 to 180) the three roundings of the double steps, and
    // 0.7 against the emulated step, stay below 1e-13, well inside QuickRound's margin.
    const double s = sensor;
    if (s >= angle) {
        const double q = (s - angle) / 0.7;
        if (q >= 179.5 + kQuickMargin) return CodeResult{CodeResult::BelowRange, 0};
        const std::optional<long long> code = QuickRound(q);
        if (!code) return std::nullopt;
        if (*code >= kNoAngleCode) return CodeResult{CodeResult::BelowRange, 0};
        return CodeResult{CodeResult::Ok, static_cast<int>(*code)};
    }
    const double d = (angle - s) / 0.7;
    if (d >= 75.5 + kQuickMargin) return CodeResult{CodeResult::AboveRange, 0};
    const std::optional<long long> steps = QuickRound(d);
    if (!steps) return std::nullopt;
    const long long code = 255 - *steps;
    if (code <= kNoAngleCode) return CodeResult{CodeResult::AboveRange, 0};
    return CodeResult{CodeResult::Ok, static_cast<int>(code)};
}

std::string CodeToAngle(int sensor, int code, char32_t separator) {
    if (auto quick = QuickCodeToAngle(sensor, code, separator)) return std::move(*quick);
    return ExactCodeToAngle(sensor, code, separator);
}

CodeResult AngleToCode(int sensor, double angle) {
    if (const auto quick = QuickAngleToCode(sensor, angle)) return *quick;
    return ExactAngleToCode(sensor, angle);
}

std::string ExactCodeToAngle(int sensor, int code, char32_t separator) {
    if (code == kNoAngleCode) return kNoAngleText;
    // The product first, then the sum: each step rounds, and the texts depend on it.
    const Extended s = sensor;
    const Extended& step = ExtendedStep();
    const Extended value = code < kNoAngleCode ? s - Extended(code) * step : s + Extended(255LL - code) * step;
    return FormatGeneral(value, separator);
}

CodeResult ExactAngleToCode(int sensor, double angle) {
    const Extended s = sensor;
    const Extended a = angle;
    const Extended& step = ExtendedStep();
    if (s >= a) {
        const Extended q = (s - a) / step;
        if (!(q < 179.5)) return {CodeResult::BelowRange, 0};  // 179.5 itself rounds to 180
        const long long code = RoundHalfEven(q);
        if (code >= kNoAngleCode) return {CodeResult::BelowRange, 0};
        return {CodeResult::Ok, static_cast<int>(code)};
    }
    const Extended d = (a - s) / step;
    if (!(d < 75.5)) return {CodeResult::AboveRange, 0};  // far outside; keeps the rounding in range
    const long long code = RoundHalfEven(Extended(255) - d);
    if (code <= kNoAngleCode) return {CodeResult::AboveRange, 0};
    return {CodeResult::Ok, static_cast<int>(code)};
}

void FillAngleColumn(GridModel& model, char32_t separator) {
    const int table = StrToInt(model.table.text);
    for (int row = 1; row < kGridRows; ++row) {
        const int code = StrToInt(model.grid.Cell(table, row));
        std::string text = kNoAngleText;
        if (code != kNoAngleCode) text = CodeToAngle(StrToInt(model.sensor.text), code, separator);
        model.grid.SetCell(kAngleColumn, row, std::move(text));
    }
}

CodeResult::Kind StoreAngleColumn(GridModel& model, char32_t separator) {
    for (int row = 1; row < kGridRows; ++row) {
        const std::string& angleText = model.grid.Cell(kAngleColumn, row);
        int code = kNoAngleCode;
        if (angleText != kNoAngleText) {
            const double angle = StrToFloat(angleText, separator);
            const CodeResult result = AngleToCode(StrToInt(model.sensor.text), angle);
            if (result.kind != CodeResult::Ok) return result.kind;
            code = result.code;
        }
        model.grid.SetCell(StrToInt(model.table.text), row, std::to_string(code));
    }
    return CodeResult::Ok;
}

}  // namespace tc
