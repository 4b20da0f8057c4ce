#include "cli/report.h"

#include <cstdio>
#include <iomanip>
#include <optional>
#include <ostream>

#include "table/grid.h"
#include "table/numbers.h"
#include "table/utf8.h"

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

// The escape of an ASCII character that JSON does not take as it is; empty for the others.
std::string Escape(unsigned char c) {
    switch (c) {
        case '"': return "\\\"";
        case '\\': return "\\\\";
        case '\b': return "\\b";
        case '\f': return "\\f";
        case '\n': return "\\n";
        case '\r': return "\\r";
        case '\t': return "\\t";
        default: break;
    }
    if (c >= 0x20) return {};
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
    return escaped;
}

}  // namespace

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size();) {
        if (const std::string escaped = Escape(static_cast<unsigned char>(text[i])); !escaped.empty()) {
            out += escaped;
            ++i;
            continue;
        }
        const std::size_t start = i;
        if (DecodeUtf8(text, i))
            out.append(text, start, i - start);
        else
            out += "\xEF\xBF\xBD";
    }
    return out + "\"";
}

void PrintJson(std::ostream& out, const Core& core, const std::string& file) {
    const GridModel& model = core.Model();
    const AdvanceGrid& grid = model.grid;
    out << "{\"file\": " << JsonString(file) << ", \"spark_us\": " << JsonInteger(model.spark.text)
        << ", \"adjust_resistor\": " << (core.TrimmerFlag() == 1 ? "true" : "false")
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

void PrintText(std::ostream& out, const Core& core, const std::string& file) {
    const GridModel& model = core.Model();
    const AdvanceGrid& grid = model.grid;
    out << "file             " << file << '\n'
        << "spark_us         " << Shown(model.spark.text) << '\n'
        << "adjust_resistor  " << (core.TrimmerFlag() == 1 ? "yes" : "no") << '\n'
        << "sensor           " << model.sensor.text << '\n'
        << "table            " << model.table.text << "\n\n";
    const auto line = [&](const std::string& speed, const std::string& t1, const std::string& t2, const std::string& t3,
                          const std::string& angle) {
        out << std::right << std::setw(5) << speed << "  " << std::setw(5) << t1 << "  " << std::setw(5) << t2 << "  "
            << std::setw(5) << t3 << "  " << std::setw(6) << angle << '\n';
    };
    line("rpm", "code1", "code2", "code3", "angle");
    for (int row = 1; row < kGridRows; ++row)
        line(Shown(grid.Cell(kSpeedColumn, row)), Shown(grid.Cell(1, row)), Shown(grid.Cell(2, row)),
             Shown(grid.Cell(3, row)), Shown(grid.Cell(kAngleColumn, row)));
}

}  // namespace tc::cli
