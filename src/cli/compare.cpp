#include "cli/compare.h"

#include <algorithm>
#include <ostream>
#include <vector>

#include "cli/json.h"
#include "firmware/source_text.h"
#include "table/conversion.h"
#include "table/grid.h"
#include "table/numbers.h"

namespace tc::cli {

FileStore::ReadResult PreviewFiles::Read(const std::string& path) {
    ReadResult result = disk_.Read(path);
    lastPath_ = path;
    lastRead_ = result.status == ReadResult::Ok ? result.bytes : std::string();
    return result;
}

std::optional<std::string> PreviewFiles::Write(const std::string& path, std::span<const std::string_view> pieces) {
    before_ = path == lastPath_ ? lastRead_ : std::string();
    after_.emplace();
    for (const std::string_view piece : pieces) after_->append(piece);
    return std::nullopt;
}

namespace {

// The lines of a text, each without its line break; with `breaks`, those breaks
// too: CR LF, LF, or none after the last line.
std::vector<std::string_view> Lines(std::string_view text, std::vector<std::string_view>* breaks = nullptr) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t lf = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, lf);
        const bool cr = line.ends_with('\r');
        if (cr) line.remove_suffix(1);
        lines.push_back(line);
        if (breaks) breaks->push_back(lf == text.size() ? "" : cr ? "\r\n" : "\n");
        text.remove_prefix(std::min(lf + 1, text.size()));
    }
    return lines;
}

// The text up to a Ctrl-Z: what follows it, a save keeps as it is.
std::string_view BeforeCtrlZ(std::string_view bytes) { return bytes.substr(0, bytes.find(kCtrlZ)); }

void PrintHunk(std::ostream& out, const std::vector<std::string_view>& a, const std::vector<std::string_view>& b,
               std::size_t first, std::size_t last) {
    out << "@@ -" << first + 1 << ',' << last - first << " +" << first + 1 << ',' << last - first << " @@\n";
    for (std::size_t i = first; i < last; ++i) {
        if (a[i] == b[i]) {
            out << ' ' << Cp1251ToUtf8(a[i]) << '\n';
            continue;
        }
        out << '-' << Cp1251ToUtf8(a[i]) << '\n';
        // The changed lines of a run first, then their new texts, as diff(1) shows them.
        if (i + 1 == last || a[i + 1] == b[i + 1]) {
            std::size_t start = i;
            while (start > first && a[start - 1] != b[start - 1]) --start;
            for (std::size_t k = start; k <= i; ++k) out << '+' << Cp1251ToUtf8(b[k]) << '\n';
        }
    }
}

}  // namespace

void PrintLineChanges(std::ostream& out, const std::string& name, std::string_view before, std::string_view after) {
    const auto a = Lines(BeforeCtrlZ(before)), b = Lines(BeforeCtrlZ(after));
    const std::size_t count = std::min(a.size(), b.size());
    constexpr std::size_t kContext = 3;
    bool header = false;
    for (std::size_t i = 0; i < count;) {
        if (a[i] == b[i]) {
            ++i;
            continue;
        }
        const std::size_t first = i > kContext ? i - kContext : 0;
        std::size_t last = i;
        // A hunk runs on while the next change is within twice the context.
        for (std::size_t k = i; k < count && k < last + 2 * kContext + 1; ++k)
            if (a[k] != b[k]) last = k;
        last = std::min(last + kContext + 1, count);
        if (!header) out << "--- " << name << "\n+++ " << name << "\n";
        header = true;
        PrintHunk(out, a, b, first, last);
        i = last;
    }
}

std::size_t CountChangedLineBreaks(std::string_view before, std::string_view after) {
    std::vector<std::string_view> breaksA, breaksB;
    const auto a = Lines(BeforeCtrlZ(before), &breaksA), b = Lines(BeforeCtrlZ(after), &breaksB);
    std::size_t changed = 0;
    // The lines whose text changes are in the diff already.
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        changed += a[i] == b[i] && breaksA[i] != breaksB[i] ? 1 : 0;
    return changed;
}

namespace {

struct Difference {
    int row = 0;    // 0: the spark duration
    int table = 0;  // 0: the speed of the row
    std::string rpm, a, b;
    std::string angleA, angleB;
};

std::vector<Difference> Differences(const Core& a, const Core& b, int sensor) {
    std::vector<Difference> found;
    if (a.Model().spark.text != b.Model().spark.text)
        found.push_back({0, 0, {}, a.Model().spark.text, b.Model().spark.text, {}, {}});
    const AdvanceGrid& ga = a.Model().grid;
    const AdvanceGrid& gb = b.Model().grid;
    for (int row = 1; row < kGridRows; ++row) {
        const std::string& rpm = ga.Cell(kSpeedColumn, row);
        if (rpm != gb.Cell(kSpeedColumn, row)) found.push_back({row, 0, rpm, rpm, gb.Cell(kSpeedColumn, row), {}, {}});
        for (int table = 1; table <= 3; ++table) {
            const std::string& codeA = ga.Cell(table, row);
            const std::string& codeB = gb.Cell(table, row);
            if (codeA == codeB) continue;
            found.push_back({row, table, rpm, codeA, codeB, CodeToAngle(sensor, StrToInt(codeA), U'.'),
                             CodeToAngle(sensor, StrToInt(codeB), U'.')});
        }
    }
    return found;
}

// The values of A and B; whole numbers, or with `text` as they are.
Json Pair(const std::string& a, const std::string& b, bool text = false) {
    if (text) return {{"a", a}, {"b", b}};
    return {{"a", IntegerOrNull(a)}, {"b", IntegerOrNull(b)}};
}

void PrintJson(std::ostream& out, const std::vector<Difference>& found, int sensor) {
    Json spark = nullptr;
    Json rows = Json::array();
    for (const Difference& d : found) {
        if (d.row == 0)
            spark = Pair(d.a, d.b);
        else if (d.table == 0)
            rows.push_back(Json{{"row", d.row}, {"rpm", Pair(d.a, d.b)}});
        else
            rows.push_back(Json{{"row", d.row},
                                {"rpm", IntegerOrNull(d.rpm)},
                                {"table", d.table},
                                {"code", Pair(d.a, d.b)},
                                {"angle", Pair(d.angleA, d.angleB, true)}});
    }
    out << OneLine(Json{{"sensor", sensor}, {"spark_us", spark}, {"rows", rows}}) << '\n';
}

void PrintText(std::ostream& out, const std::vector<Difference>& found) {
    for (const Difference& d : found) {
        if (d.row == 0)
            out << "spark_us " << d.a << " -> " << d.b << '\n';
        else if (d.table == 0)
            out << "row " << d.row << ": rpm " << d.a << " -> " << d.b << '\n';
        else
            out << "row " << d.row << " (" << d.rpm << " rpm): table " << d.table << " code " << d.a << " -> " << d.b
                << ", angle " << d.angleA << " -> " << d.angleB << '\n';
    }
}

}  // namespace

bool PrintDifferences(std::ostream& out, const Core& a, const Core& b, int sensor, bool json) {
    const std::vector<Difference> found = Differences(a, b, sensor);
    if (json)
        PrintJson(out, found, sensor);
    else
        PrintText(out, found);
    return !found.empty();
}

}  // namespace tc::cli
