#include "cli/csv.h"

#include <algorithm>
#include <ostream>

#include "cli/fields.h"
#include "table/grid.h"

namespace tc::cli {

void PrintCsv(std::ostream& out, const Core& core) {
    const AdvanceGrid& grid = core.Model().grid;
    out << "rpm,code1,code2,code3,angle\r\n";
    for (int row = 1; row < kGridRows; ++row) {
        out << grid.Cell(kSpeedColumn, row);
        for (int column = 1; column <= 3; ++column) out << ',' << grid.Cell(column, row);
        out << ',' << grid.Cell(kAngleColumn, row) << "\r\n";
    }
}

namespace {

constexpr int kRpmColumn = 1;
constexpr int kAngleCsvColumn = 5;

struct Record {
    std::size_t line = 0;  // 1-based, where the record starts
    std::vector<std::string> fields;
};

// The separator of the first line: a semicolon wherever one stands outside quotes, else a comma.
char SeparatorOf(std::string_view text) {
    bool quoted = false;
    for (const char c : text) {
        if (c == '"') quoted = !quoted;
        if (!quoted && c == ';') return ';';
        if (!quoted && (c == '\n' || c == '\r')) break;
    }
    return ',';
}

std::vector<Record> Records(std::string_view text, char separator) {
    std::vector<Record> records;
    Record record{1, {{}}};
    std::size_t line = 1;
    bool quoted = false;
    const auto finish = [&] {
        // Spreadsheets end a sheet with rows of empty cells, as ";;;;".
        const bool blank = std::all_of(record.fields.begin(), record.fields.end(), [](const std::string& field) {
            return field.find_first_not_of(" \t") == std::string::npos;
        });
        if (!blank) records.push_back(std::move(record));
        record = Record{line, {{}}};
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\n') ++line;
        if (quoted) {
            if (c != '"')
                record.fields.back() += c;
            else if (i + 1 < text.size() && text[i + 1] == '"')
                record.fields.back() += text[++i];
            else
                quoted = false;
        } else if (c == '"') {
            quoted = true;
        } else if (c == separator) {
            record.fields.emplace_back();
        } else if (c == '\n') {
            finish();
        } else if (c != '\r') {
            record.fields.back() += c;
        }
    }
    if (quoted) throw CsvError("line " + std::to_string(record.line) + ": a quoted field is not closed");
    finish();
    return records;
}

[[noreturn]] void Refuse(const Record& record, int column, const char* name, const std::string& why) {
    throw CsvError("line " + std::to_string(record.line) + ", column " + std::to_string(column) + " (" + name +
                   "): " + why);
}

// A decimal number with "." or "," as its separator.
bool IsNumber(std::string text) {
    std::replace(text.begin(), text.end(), ',', '.');
    const std::size_t sign = text.starts_with('-') || text.starts_with('+') ? 1 : 0;
    const auto digits = std::count_if(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    return digits > 0 && std::count(text.begin(), text.end(), '.') <= 1 &&
           std::all_of(text.begin() + static_cast<std::ptrdiff_t>(sign), text.end(),
                       [](char c) { return (c >= '0' && c <= '9') || c == '.'; });
}

// A row of one cell holds the angle alone; otherwise it is in column 5.
int AngleColumnOf(const Record& record) { return record.fields.size() == 1 ? 1 : kAngleCsvColumn; }

// The angle with "." as its separator, or "-".
std::string AngleOf(const Record& record) {
    const int column = AngleColumnOf(record);
    if (static_cast<int>(record.fields.size()) < column) Refuse(record, column, "angle", "missing");
    std::string text = Trimmed(record.fields[static_cast<std::size_t>(column - 1)]);
    if (text == "-") return text;
    if (!IsNumber(text)) Refuse(record, column, "angle", "'" + text + "' is not a number or \"-\"");
    std::replace(text.begin(), text.end(), ',', '.');
    return text;
}

std::string_view WithoutSign(std::string_view text) {
    return text.starts_with('-') || text.starts_with('+') ? text.substr(1) : text;
}

// The speed, or empty where the file has none.
std::string SpeedOf(const Record& record) {
    if (record.fields.size() == 1) return {};
    std::string text = Trimmed(record.fields[kRpmColumn - 1]);
    if (!text.empty() && !IsDigits(text)) Refuse(record, kRpmColumn, "rpm", "'" + text + "' is not a whole number");
    return text;
}

// One column saved with decimal commas and without quotes, as Excel does with
// Russian settings: "15,1" is one angle, not two cells. Two columns of numbers,
// row numbers or speeds before the angles, are not taken for one.
bool IsOneColumnOfDecimalCommas(const std::vector<Record>& records) {
    bool split = false, numbered = true;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const std::vector<std::string>& fields = records[i].fields;
        if (fields.size() > 2) return false;
        numbered = numbered && Trimmed(fields[0]) == std::to_string(i + 1);
        if (fields.size() == 1) continue;
        const std::string whole = Trimmed(fields[0]);
        const std::string_view digits = WithoutSign(whole);
        if (!IsDigits(digits) || !IsDigits(Trimmed(fields[1]))) return false;
        // No angle comes near 200 degrees; a speed is at least 460.
        if (digits.size() > 3 || (digits.size() == 3 && digits >= "200")) return false;
        split = true;
    }
    return split && !numbered;
}

}  // namespace

CsvTable ReadCsv(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    const char separator = SeparatorOf(bytes);
    std::vector<Record> records = Records(bytes, separator);
    // A header names its columns: a first field that is neither a number nor "-".
    std::size_t headerFields = 0;
    if (!records.empty()) {
        const std::string first = Trimmed(records.front().fields.front());
        if (!first.empty() && first != "-" && !IsNumber(first)) {
            headerFields = records.front().fields.size();
            records.erase(records.begin());
        }
    }
    if (separator == ',' && headerFields <= 1 && IsOneColumnOfDecimalCommas(records))
        for (Record& record : records)
            if (record.fields.size() == 2) record.fields = {record.fields[0] + ',' + record.fields[1]};
    if (records.size() != kGridRows - 1)
        throw CsvError("the file has " + std::to_string(records.size()) + " rows of values; 32 are needed");
    CsvTable table;
    std::vector<std::string> speeds;
    for (const Record& record : records) {
        table.angles.push_back(AngleOf(record));
        speeds.push_back(SpeedOf(record));
    }
    const auto given = std::count_if(speeds.begin() + 1, speeds.end(), [](const auto& s) { return !s.empty(); });
    if (given == kGridRows - 2)
        table.speeds = std::vector<std::string>(speeds.begin() + 1, speeds.end());
    else if (given != 0) {
        const auto gap = std::find(speeds.begin() + 1, speeds.end(), std::string());
        Refuse(records[static_cast<std::size_t>(gap - speeds.begin())], kRpmColumn, "rpm",
               "empty, while other rows have a speed");
    }
    return table;
}

}  // namespace tc::cli
