#include "table/conversion.h"

#include "table/numbers.h"

namespace tc {

namespace {
// The nearest extended value to 0.7, slightly below it; the codes depend on it.
constexpr long double kStep = 0.7L;
}  // namespace

std::string CodeToAngle(int sensor, int code, char32_t separator) {
    if (code == kNoAngleCode) return kNoAngleText;
    const long double s = sensor;
    const long double value =
        code < kNoAngleCode ? s - static_cast<long double>(code) * kStep : s + static_cast<long double>(255 - code) * kStep;
    return FormatGeneral(value, separator);
}

CodeResult AngleToCode(int sensor, double angle) {
    const long double s = sensor;
    const long double a = angle;
    if (s >= a) {
        const long double q = (s - a) / kStep;
        if (!(q < 179.5L)) return {CodeResult::BelowRange, 0};  // 179.5 itself rounds to 180
        const long long code = RoundHalfEven(q);
        if (code >= kNoAngleCode) return {CodeResult::BelowRange, 0};
        return {CodeResult::Ok, static_cast<int>(code)};
    }
    const long double d = (a - s) / kStep;
    if (!(d < 75.5L)) return {CodeResult::AboveRange, 0};  // far outside; keeps the rounding in range
    const long long code = RoundHalfEven(255.0L - d);
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
