#include "table/clipboard.h"

#include <algorithm>

#include "table/conversion.h"
#include "table/numbers.h"
#include "table/utf8.h"

namespace tc {

std::string CopyText(const AdvanceGrid& grid) {
    std::string text;
    for (int row = 0; row < kGridRows; ++row)
        for (int column = 0; column < kGridColumns; ++column)
            text += grid.Cell(column, row) + (column + 1 < kGridColumns ? "\t" : "\n");
    return text;
}

bool PasteTarget(int column, int row) {
    if (row < 1 || row >= kGridRows) return false;
    return column == kAngleColumn || (column == kSpeedColumn && row >= 2);
}

namespace {

// Lines end with LF, CR LF, or CR alone, as some older programs copy them.
std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find_first_of("\r\n");
        lines.push_back(text.substr(0, end));
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + (text.substr(end, 2) == "\r\n" ? 2 : 1));
    }
    while (!lines.empty() && lines.back().empty()) lines.pop_back();
    return lines;
}

// The last tab-separated field, without the blanks around it.
std::string_view LastField(std::string_view line) {
    const std::size_t tab = line.rfind('\t');
    if (tab != std::string_view::npos) line.remove_prefix(tab + 1);
    while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
    while (!line.empty() && line.back() == ' ') line.remove_suffix(1);
    return line;
}

// The value as the column's key filter lets it through, or nothing when it drops a character.
std::optional<std::string> Filtered(int column, std::string_view value, char32_t separator) {
    std::string kept;
    for (std::size_t i = 0; i < value.size();) {
        const std::optional<char32_t> ch = DecodeUtf8(value, i);
        if (!ch || *ch == kBackspace) return std::nullopt;
        const std::optional<char32_t> passed = FilterGridKey(column, *ch, separator);
        if (!passed) return std::nullopt;
        kept += Utf8(*passed);
    }
    return kept;
}

// Whether the save reads the text: an angle or "-", or a whole speed.
bool Converts(int column, const std::string& text, char32_t separator) {
    try {
        if (column == kSpeedColumn)
            StrToInt(text);
        else if (text != kNoAngleText)
            StrToFloat(text, separator);
        return true;
    } catch (const ConversionError&) {
        return false;
    }
}

}  // namespace

PasteValues ParsePaste(int column, int row, std::string_view text, char32_t separator) {
    if (!PasteTarget(column, row))
        return {.values = {}, .refusal = Diagnostic{.kind = Diagnostic::Kind::PasteWrongCell}};
    const std::vector<std::string_view> lines = Lines(text);
    std::size_t first = 0;
    if (!lines.empty()) {
        const std::string_view value = LastField(lines.front());
        const bool header = value != kNoAngleText &&
                            std::none_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; });
        if (header) first = 1;
    }
    const std::size_t rowsLeft = static_cast<std::size_t>(kGridRows - row);
    if (lines.size() - first > rowsLeft)
        return {.values = {},
                .refusal = Diagnostic{
                    .kind = Diagnostic::Kind::PasteTooMany, .found = lines.size() - first, .needed = rowsLeft}};
    PasteValues pasted;
    for (std::size_t i = first; i < lines.size(); ++i) {
        const std::string_view value = LastField(lines[i]);
        std::optional<std::string> kept = Filtered(column, value, separator);
        if (!kept || !Converts(column, *kept, separator)) {
            pasted.values.clear();
            pasted.refusal =
                Diagnostic{.kind = Diagnostic::Kind::PasteNotANumber, .literal = std::string(value), .line = i + 1};
            return pasted;
        }
        pasted.values.push_back(std::move(*kept));
    }
    return pasted;
}

}  // namespace tc
