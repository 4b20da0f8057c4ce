// timingcalc-cli's spreadsheet reader on any bytes: it ends, and what it takes
// is what set can type into the grid, or it says where the file is wrong.
#include <cstdint>
#include <string>
#include <string_view>

#include "cli/csv.h"
#include "fuzz_support.h"

using fuzz::Check;
using fuzz::Visible;

namespace {

bool IsAngle(const std::string& text) {
    if (text == "-") return true;
    std::size_t digits = 0, points = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9')
            ++digits;
        else if (c == '.')
            ++points;
        else if (i != 0 || (c != '-' && c != '+'))
            return false;
    }
    return digits > 0 && points <= 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        const tc::cli::CsvTable table = tc::cli::ReadCsv(bytes);
        Check(table.angles.size() == 32, "an accepted file gives 32 angles");
        for (const std::string& angle : table.angles)
            Check(IsAngle(angle), "an accepted angle is a number with \".\" or \"-\"", Visible(angle));
        if (table.speeds) {
            Check(table.speeds->size() == 31, "accepted speeds are 31");
            for (const std::string& speed : *table.speeds)
                Check(!speed.empty() && speed.find_first_not_of("0123456789") == std::string::npos,
                      "an accepted speed is a whole number", Visible(speed));
        }
    } catch (const tc::cli::CsvError& error) {
        const std::string what = error.what();
        Check(what.find("line ") != std::string::npos || what.find("rows of values") != std::string::npos,
              "a refusal says where", what);
    }
    return 0;
}
