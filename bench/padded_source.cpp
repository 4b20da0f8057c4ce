#include "padded_source.h"

#include <array>
#include <stdexcept>
#include <vector>

#include "firmware/scanner.h"
#include "firmware/source_text.h"

namespace tc::bench {

namespace {

constexpr std::size_t kCommentLength = 60;  // without the CR LF
constexpr std::string_view kLineBreak = "\r\n";

// Plain remarks of the kind a firmware author leaves; none holds a literal the scan looks for.
const std::array<std::string, 6> kRemarks = {
    Utf8ToCp1251("; проверено на стенде, запас по углу на холостых оборотах есть"),
    Utf8ToCp1251("; note: keep the period counter and the table step in sync here"),
    Utf8ToCp1251("; при замене кварца пересчитать задержки и пороги оборотов"),
    Utf8ToCp1251("; old revision kept the codes in EEPROM, now they live in flash"),
    Utf8ToCp1251("; таблицу правит программа перерасчета, руками не трогать"),
    Utf8ToCp1251("; timing checked with a strobe lamp at idle and at full throttle"),
};

std::string Comment(std::size_t number, std::size_t length) {
    const std::string& remark = kRemarks[number % kRemarks.size()];
    std::string line = "; " + std::to_string(number) + remark.substr(1);
    while (line.size() < length) line += remark.substr(1, length - line.size());
    line.resize(length);
    return line;
}

std::vector<std::string> SplitLines(std::string_view bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t lf = bytes.find('\n', start);
        if (lf == std::string_view::npos) lf = bytes.size();
        std::size_t stop = lf;
        if (stop > start && bytes[stop - 1] == '\r') --stop;
        lines.emplace_back(bytes.substr(start, stop - start));
        start = lf + 1;
    }
    return lines;
}

bool Holds(const std::string& line, std::string_view literal) { return line.find(literal) != std::string::npos; }

// Whether a comment may follow the line: not inside the spark block, whose
// lines are found within a reach of bytes, and not after a table entry, whose
// next line the writer replaces.
std::vector<bool> OpenGaps(const std::vector<std::string>& lines) {
    std::vector<bool> open(lines.size(), true);
    std::size_t marker = lines.size();
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (Holds(lines[i], kSparkMarker)) {
            marker = i;
            break;
        }
    std::size_t blockEnd = marker;
    for (std::size_t i = marker; i < lines.size(); ++i) {
        if (Holds(lines[i], kSparkLiteral)) blockEnd = i;
        if (Holds(lines[i], kSpark2Literal)) {
            blockEnd = i;
            break;
        }
    }
    for (std::size_t i = marker; i < blockEnd && i < lines.size(); ++i) open[i] = false;
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (Holds(lines[i], kEntryLiteral)) open[i] = false;
    return open;
}

}  // namespace

std::string PaddedSource(std::string_view sample, std::size_t size) {
    const std::vector<std::string> lines = SplitLines(sample);
    std::size_t base = 0;
    for (const auto& line : lines) base += line.size() + kLineBreak.size();
    if (size < base) throw std::invalid_argument("padded size below the sample's size");

    const std::size_t extra = size - base;
    const std::size_t step = kCommentLength + kLineBreak.size();
    std::size_t count = extra / step;
    std::size_t rest = extra % step;
    std::vector<std::size_t> lengths(count, kCommentLength);
    if (rest != 0) {
        if (rest <= count) {
            for (std::size_t i = 0; i < rest; ++i) ++lengths[i];
        } else if (count > 0) {
            lengths[0] += rest;
        } else if (rest > kLineBreak.size()) {
            lengths.push_back(rest - kLineBreak.size());
        } else {
            throw std::invalid_argument("padded size one or two bytes above the sample's size");
        }
    }

    const std::vector<bool> open = OpenGaps(lines);
    std::vector<std::size_t> gaps;
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (open[i]) gaps.push_back(i);
    if (gaps.empty() && !lengths.empty()) throw std::invalid_argument("sample without a place for comments");

    std::string out;
    out.reserve(size);
    std::size_t gap = 0;
    std::size_t written = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        out += lines[i];
        out += kLineBreak;
        if (gap < gaps.size() && gaps[gap] == i) {
            // Even spread: gap k ends after comment (k + 1) * total / gaps.
            const std::size_t until = (gap + 1) * lengths.size() / gaps.size();
            for (; written < until; ++written) {
                out += Comment(written, lengths[written]);
                out += kLineBreak;
            }
            ++gap;
        }
    }
    return out;
}

}  // namespace tc::bench
