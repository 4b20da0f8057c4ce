#include "cli/report.h"

#include <iomanip>
#include <ostream>

#include "cli/json.h"
#include "table/grid.h"

namespace tc::cli {

namespace {

std::string Shown(const std::string& text) { return text.empty() ? "?" : text; }

}  // namespace

void PrintJson(std::ostream& out, const Core& core, const std::string& file) {
    const GridModel& model = core.Model();
    const AdvanceGrid& grid = model.grid;
    Json rows = Json::array();
    for (int row = 1; row < kGridRows; ++row) {
        Json codes = Json::array();
        for (int column = 1; column <= 3; ++column) codes.push_back(IntegerOrNull(grid.Cell(column, row)));
        const std::string& angle = grid.Cell(kAngleColumn, row);
        // The angle stays the text the grid shows, as the window has it.
        rows.push_back(Json{{"rpm", IntegerOrNull(grid.Cell(kSpeedColumn, row))},
                            {"codes", codes},
                            {"angle", angle.empty() ? Json() : Json(angle)}});
    }
    const Json shown = {{"file", file},
                        {"spark_us", IntegerOrNull(model.spark.text)},
                        {"adjust_resistor", core.TrimmerFlag() == 1},
                        {"sensor", IntegerOrNull(model.sensor.text)},
                        {"table", IntegerOrNull(model.table.text)},
                        {"rows", rows}};
    out << OneLine(shown) << '\n';
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
