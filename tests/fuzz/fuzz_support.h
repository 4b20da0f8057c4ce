// What the fuzz targets share: the logic wired to in-memory ports, and the
// checks of what a save may change. A broken promise aborts with a report, so
// libFuzzer keeps the input that broke it.
#pragma once

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "app/core.h"
#include "support/recorders.h"
#include "firmware/scanner.h"
#include "firmware/source_text.h"

namespace fuzz {

[[noreturn]] inline void Fail(const char* what, const std::string& detail = {}) {
    std::fprintf(stderr, "broken promise: %s\n%s\n", what, detail.c_str());
    std::abort();
}

inline void Check(bool holds, const char* what, const std::string& detail = {}) {
    if (!holds) Fail(what, detail);
}

// Shows bytes with the control characters spelled out, for the reports.
inline std::string Visible(std::string_view bytes, std::size_t limit = 200) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size() && i < limit; ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c >= 0x20 && c != 0x7F) {
            out += static_cast<char>(c);
        } else {
            char code[8];
            std::snprintf(code, sizeof code, "\\x%02X", c);
            out += code;
        }
    }
    if (bytes.size() > limit) out += "...";
    return out;
}

inline constexpr const char* kPath = "/fw/CDI.asm";

inline std::string LastShown(const tc::test::RecordingMessages& messages) {
    return messages.all.empty() ? std::string() : messages.all.back().text;
}

// One window's core as a user meets it: started, then files opened through the open dialog.
struct Session : tc::test::Harness {
    explicit Session(char32_t separator = U'.') : Harness(separator) {}
    void Load(std::string_view bytes) { Harness::Load(std::string(bytes), kPath); }
    const std::string& Saved() { return files.files[kPath]; }
};

// Everything a load fills in.
struct Snapshot {
    std::array<std::string, tc::kGridColumns * tc::kGridRows> cells;
    std::string spark;
    unsigned trimmer = 0;

    static Snapshot Of(const tc::Core& form) {
        Snapshot s;
        for (int row = 0; row < tc::kGridRows; ++row)
            for (int column = 0; column < tc::kGridColumns; ++column)
                s.cells[static_cast<std::size_t>(row * tc::kGridColumns + column)] =
                    form.Model().grid.Cell(column, row);
        s.spark = form.Model().spark.text;
        s.trimmer = form.TrimmerFlag();
        return s;
    }
    // The first difference, empty when there is none.
    std::string Difference(const Snapshot& other) const {
        for (std::size_t i = 0; i < cells.size(); ++i)
            if (cells[i] != other.cells[i])
                return "cell (" + std::to_string(i % tc::kGridColumns) + ", " + std::to_string(i / tc::kGridColumns) +
                       "): \"" + Visible(cells[i]) + "\" then \"" + Visible(other.cells[i]) + "\"";
        if (spark != other.spark) return "spark: \"" + Visible(spark) + "\" then \"" + Visible(other.spark) + "\"";
        if (trimmer != other.trimmer)
            return "trimmer flag: " + std::to_string(trimmer) + " then " + std::to_string(other.trimmer);
        return {};
    }
};

// The lines of a text as the scans see it, each without its CR LF.
inline std::vector<std::string_view> Lines(const tc::SourceText& source) {
    std::vector<std::string_view> lines;
    const std::string_view text = source.Text();
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t lf = text.find('\n', start);
        Check(lf != std::string_view::npos && lf > start && text[lf - 1] == '\r',
              "every line of the text ends in CR LF", Visible(text.substr(start, 80)));
        lines.push_back(text.substr(start, lf - 1 - start));
        start = lf + 1;
    }
    return lines;
}

// 0-based line of a position, from the line starts in ascending order.
inline std::size_t LineOf(const std::vector<std::size_t>& starts, std::size_t position) {
    return static_cast<std::size_t>(std::upper_bound(starts.begin(), starts.end(), position) - starts.begin()) - 1;
}

// The line of the second spark line a save rewrites, if any: the first "cpi R19, "
// among the windows 1 to 250 positions after the start of the first spark line, in
// the text with only that line rewritten, as `now` holds it.
inline std::optional<std::size_t> SecondSparkLineOf(const std::vector<std::string_view>& old,
                                                    const std::vector<std::string_view>& now, std::size_t sparkLine) {
    std::string text;
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < old.size(); ++i) {
        starts.push_back(text.size());
        text += i == sparkLine ? now[i] : old[i];
        text += "\r\n";
    }
    const std::string_view literal = tc::kSpark2Literal;
    const std::size_t start = starts[sparkLine];
    for (std::size_t p = start + 1; p <= start + tc::kSpark2Reach && p < text.size(); ++p)
        if (std::string_view(text).substr(p, literal.size()) == literal) return LineOf(starts, p);
    return std::nullopt;
}

// What each line that a save may rewrite must begin with afterwards, by line.
inline std::map<std::size_t, std::string_view> RewrittenLines(const tc::SourceText& source,
                                                              const tc::SourceLayout& layout,
                                                              const std::vector<std::string_view>& old,
                                                              const std::vector<std::string_view>& now) {
    std::vector<std::size_t> starts{0};
    const std::string& text = source.Text();
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n' && i + 1 < text.size()) starts.push_back(i + 1);
    std::map<std::size_t, std::string_view> lines;
    if (layout.spark) {
        const std::size_t sparkLine = LineOf(starts, *layout.spark);
        lines[sparkLine] = "cpi R18, ";
        if (const auto second = SecondSparkLineOf(old, now, sparkLine)) lines[*second] = "cpi R19, ";
    }
    for (const std::size_t at : layout.speeds) lines[LineOf(starts, at)] = "cpi R21, ";
    for (const auto& table : layout.entries)
        for (const std::size_t at : table) {
            const std::size_t line = LineOf(starts, at);
            lines[line] = "ldi R16, ";
            lines[line + 1] = "st X+, R16\t;";
        }
    return lines;
}

// A save that went through may have changed only the lines the scan of the
// text before it found, each into a line of its kind; everything else, the
// tail after a Ctrl-Z included, keeps every byte.
inline void CheckOnlyRewrittenLinesChanged(const tc::SourceText& before, const tc::SourceText& after) {
    Check(after.Tail() == before.Tail(), "the bytes from the Ctrl-Z on are kept", Visible(after.Tail()));
    const auto old = Lines(before);
    const auto now = Lines(after);
    Check(old.size() == now.size(), "a save keeps the number of lines",
          std::to_string(old.size()) + " then " + std::to_string(now.size()));
    const auto rewritten = RewrittenLines(before, tc::ScanSource(before), old, now);
    for (std::size_t i = 0; i < old.size(); ++i) {
        const auto kind = rewritten.find(i);
        if (kind == rewritten.end()) {
            Check(old[i] == now[i], "a line the save was not asked to change keeps every byte",
                  "line " + std::to_string(i + 1) + ": \"" + Visible(old[i]) + "\" became \"" + Visible(now[i]) + "\"");
        } else {
            Check(now[i].substr(0, kind->second.size()) == kind->second, "a rewritten line is of its kind",
                  "line " + std::to_string(i + 1) + ": \"" + Visible(now[i]) + "\" should begin with \"" +
                      Visible(kind->second) + "\"");
        }
    }
}

}  // namespace fuzz
