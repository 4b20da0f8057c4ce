// The grid as a spreadsheet: what show --csv writes and set --csv reads, in
// the forms LibreOffice Calc and Excel save with English and Russian settings.
#pragma once

#include <iosfwd>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "app/core.h"

namespace tc::cli {

// A header line, then the 32 rows: rpm, the codes of tables 1 to 3, and the angle of the selected table.
void PrintCsv(std::ostream& out, const Core& core);

struct CsvTable {
    std::vector<std::string> angles;                 // rows 1 to 32, "." as the decimal separator, "-" for none
    std::optional<std::vector<std::string>> speeds;  // rows 2 to 32, where the file has them
};

// A file that cannot be taken: the text names the row and the column.
class CsvError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Comma or semicolon separated, "." or "," decimals, quoted fields, a BOM, CR LF or LF.
CsvTable ReadCsv(std::string_view bytes);

}  // namespace tc::cli
