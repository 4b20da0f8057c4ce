#include "cli/report.h"

#include <cstdio>
#include <iomanip>
#include <optional>
#include <ostream>

#include "table/grid.h"
#include "table/numbers.h"

namespace tc::cli {

namespace {

// A cell or combo text as the window would read it as a number; nothing when it is not one.
std::optional<int> IntegerOf(const std::string& text) {
    if (text.empty()) return std::nullopt;
    try {
        return StrToInt(text);
    } catch (const ConversionError&) {
        return std::nullopt;
    }
}

std::string JsonInteger(const std::string& text) {
    const auto value = IntegerOf(text);
    return value ? std::to_string(*value) : "null";
}

std::string Shown(const std::string& text) { return text.empty() ? "?" : text; }

// The length of the UTF-8 sequence starting at i, or 0 when it is not a valid one.
std::size_t Utf8Length(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80) return 1;
    const std::size_t length = lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                             : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
    if (length == 0) return 0;
    char32_t code = lead & (0x7Fu >> length);
    if (i + length > text.size()) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0u) != 0x80u) return 0;
        code = (code << 6) | (byte(i + k) & 0x3Fu);
    }
    static constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kLeast[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return length;
}

}  // namespace

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        switch (c) {
        case '"': out += "\\\""; ++i; continue;
        case '\\': out += "\\\\"; ++i; continue;
        case '\b': out += "\\b"; ++i; continue;
        case '\f': out += "\\f"; ++i; continue;
        case '\n': out += "\\n"; ++i; continue;
        case '\r': out += "\\r"; ++i; continue;
        case '\t': out += "\\t"; ++i; continue;
        default: break;
        }
        if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
            out += escaped;
            ++i;
            continue;
        }
        const std::size_t length = Utf8Length(text, i);
        if (length == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
            continue;
        }
        out.append(text, i, length);
        i += length;
    }
    return out + "\"";
}

void PrintJson(std::ostream& out, const Form& form, const std::string& file) {
    const GridModel& model = form.Model();
    const AdvanceGrid& grid = model.grid;
    out << "{\"file\": " << JsonString(file) << ", \"spark_us\": " << JsonInteger(model.spark.text)
        << ", \"adjust_resistor\": " << (form.TrimmerFlag() == 1 ? "true" : "false")
        << ", \"sensor\": " << JsonInteger(model.sensor.text) << ", \"table\": " << JsonInteger(model.table.text)
        << ", \"rows\": [";
    for (int row = 1; row < kGridRows; ++row) {
        if (row > 1) out << ", ";
        out << "{\"rpm\": " << JsonInteger(grid.Cell(kSpeedColumn, row)) << ", \"codes\": [";
        for (int column = 1; column <= 3; ++column)
            out << (column > 1 ? ", " : "") << JsonInteger(grid.Cell(column, row));
        const std::string& angle = grid.Cell(kAngleColumn, row);
        out << "], \"angle\": " << (angle.empty() ? "null" : JsonString(angle)) << "}";
    }
    out << "]}\n";
}

void PrintText(std::ostream& out, const Form& form, const std::string& file) {
    const GridModel& model = form.Model();
    const AdvanceGrid& grid = model.grid;
    out << "file             " << file << '\n'
        << "spark_us         " << Shown(model.spark.text) << '\n'
        << "adjust_resistor  " << (form.TrimmerFlag() == 1 ? "yes" : "no") << '\n'
        << "sensor           " << model.sensor.text << '\n'
        << "table            " << model.table.text << "\n\n";
    const auto line = [&](const std::string& speed, const std::string& t1, const std::string& t2,
                          const std::string& t3, const std::string& angle) {
        out << std::right << std::setw(5) << speed << "  " << std::setw(5) << t1 << "  " << std::setw(5) << t2
            << "  " << std::setw(5) << t3 << "  " << std::setw(6) << angle << '\n';
    };
    line("rpm", "code1", "code2", "code3", "angle");
    for (int row = 1; row < kGridRows; ++row)
        line(Shown(grid.Cell(kSpeedColumn, row)), Shown(grid.Cell(1, row)), Shown(grid.Cell(2, row)),
             Shown(grid.Cell(3, row)), Shown(grid.Cell(kAngleColumn, row)));
}

}  // namespace tc::cli
