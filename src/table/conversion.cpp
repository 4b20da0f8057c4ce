#include "table/conversion.h"

#include "table/extended.h"
#include "table/numbers.h"

namespace tc {

std::string CodeToAngle(int sensor, int code, char32_t separator) {
    if (code == kNoAngleCode) return kNoAngleText;
    // The product first, then the sum: each step rounds, and the texts depend on it.
    const Extended s = sensor;
    const Extended& step = ExtendedStep();
    const Extended value = code < kNoAngleCode ? s - Extended(code) * step : s + Extended(255LL - code) * step;
    return FormatGeneral(value, separator);
}

CodeResult AngleToCode(int sensor, double angle) {
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
