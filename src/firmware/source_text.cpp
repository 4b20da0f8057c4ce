#include "firmware/source_text.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "table/utf8.h"

namespace tc {

SourceText SourceText::FromFileBytes(std::string_view bytes) {
    SourceText source;
    const std::size_t end = std::min(bytes.find(kCtrlZ), bytes.size());
    source.tail_.assign(bytes.substr(end));
    const std::string_view body = bytes.substr(0, end);
    source.text_.reserve(body.size() + body.size() / 16 + 2);
    std::size_t start = 0;
    while (start < body.size()) {
        std::size_t lf = body.find('\n', start);
        const std::size_t next = lf == std::string_view::npos ? body.size() : lf + 1;
        if (lf == std::string_view::npos) lf = body.size();
        std::size_t stop = lf;
        if (lf < body.size() && stop > start && body[stop - 1] == '\r') --stop;
        source.text_.append(body.substr(start, stop - start));
        source.text_ += "\r\n";
        start = next;
    }
    return source;
}

namespace {

// Whether the bytes already are a text: no Ctrl-Z, every LF right after a CR, the last line ended.
// memchr is the C library's vector search on every CPU; lines are long enough for it to pay.
bool IsText(std::string_view bytes) {
    const std::size_t n = bytes.size();
    if (n == 0) return true;
    if (n < 2 || bytes[n - 2] != '\r' || bytes[n - 1] != '\n') return false;
    const char* const begin = bytes.data();
    const char* const end = begin + n;
    if (std::memchr(begin, kCtrlZ, n) != nullptr) return false;
    for (const char* lf = begin;
         (lf = static_cast<const char*>(std::memchr(lf, '\n', static_cast<std::size_t>(end - lf)))); ++lf)
        if (lf == begin || lf[-1] != '\r') return false;
    return true;
}

}  // namespace

SourceText SourceText::FromOwnedBytes(std::string&& bytes) {
    if (!IsText(bytes)) return FromFileBytes(bytes);
    SourceText source;
    source.text_ = std::move(bytes);
    return source;
}

std::string_view SourceText::ReadWindow(std::size_t position, std::size_t count) const {
    if (position >= text_.size()) return {};
    return std::string_view(text_).substr(position, count);
}

namespace {

// Where in the literal to anchor the search. Lowercase letters, spaces and ';'
// fill these texts (mnemonics and comments), so the literal's first other byte
// (a register, a label's capital, a Cyrillic letter) starts the fewest false matches.
std::size_t AnchorOf(std::string_view literal) {
    for (std::size_t i = 0; i < literal.size(); ++i) {
        const char c = literal[i];
        if ((c < 'a' || c > 'z') && c != ' ' && c != ';') return i;
    }
    return 0;
}

// The first match of the literal in [from, end) of the text, or npos: memchr,
// the C library's vector search, finds each anchor byte, and only where the
// first byte also matches is the whole literal compared.
std::size_t Search(const char* text, std::size_t from, std::size_t end, std::string_view literal) {
    if (end < from || end - from < literal.size()) return std::string_view::npos;
    if (literal.empty()) return from;
    const std::size_t anchor = AnchorOf(literal);
    const std::size_t lastStart = end - literal.size();
    for (std::size_t start = from; start <= lastStart; ++start) {
        const void* hit = std::memchr(text + start + anchor, literal[anchor], lastStart + 1 - start);
        if (hit == nullptr) break;
        start = static_cast<std::size_t>(static_cast<const char*>(hit) - text) - anchor;
        if (text[start] == literal.front() && std::memcmp(text + start, literal.data(), literal.size()) == 0)
            return start;
    }
    return std::string_view::npos;
}

}  // namespace

std::optional<std::size_t> SourceText::Find(std::string_view literal, std::size_t from, std::size_t before) const {
    if (from > text_.size() || before <= from) return std::nullopt;
    // A match that starts before `before` ends before before - 1 + its length.
    std::size_t end = text_.size();
    if (before < end) end = std::min(end, before - 1 + literal.size());
    const std::size_t at = Search(text_.data(), from, end, literal);
    if (at == std::string_view::npos) return std::nullopt;
    return at;
}

std::size_t SourceText::LineStart(std::size_t position) const {
    if (position == 0) return 0;
    const std::size_t lf = text_.rfind('\n', position - 1);
    return lf == std::string::npos ? 0 : lf + 1;
}

std::size_t SourceText::LineEnd(std::size_t position) const {
    const std::size_t lf = text_.find('\n', position);
    if (lf == std::string::npos || lf == 0) throw std::logic_error("source text without its line break");
    return lf - 1;
}

std::optional<std::size_t> SourceText::NextLineStart(std::size_t position) const {
    const std::size_t next = LineEnd(position) + 2;
    if (next >= text_.size()) return std::nullopt;
    return next;
}

std::size_t SourceText::LineNumber(std::size_t position) const {
    const auto end = text_.begin() + static_cast<std::ptrdiff_t>(std::min(position, text_.size()));
    return static_cast<std::size_t>(std::count(text_.begin(), end, '\n')) + 1;
}

SourceText SourceText::WithLines(const std::vector<LineEdit>& edits) const {
    std::size_t grow = 0;
    bool sorted = true;
    for (std::size_t i = 0; i < edits.size(); ++i) {
        const std::string_view text = edits[i].text;
        // The shift of the lines after an edit is its change in length, which a line break would break.
        if (text.find('\n') != std::string_view::npos || text.find('\r') != std::string_view::npos)
            throw std::logic_error("a line edit must not hold a line break");
        grow += text.size();
        sorted = sorted && (i == 0 || edits[i - 1].lineStart <= edits[i].lineStart);
    }
    // Edits in another order are sorted by reference: the new texts are not copied on the way.
    std::vector<const LineEdit*> order;
    if (!sorted) {
        order.reserve(edits.size());
        for (const LineEdit& edit : edits) order.push_back(&edit);
        std::sort(order.begin(), order.end(),
                  [](const LineEdit* a, const LineEdit* b) { return a->lineStart < b->lineStart; });
    }
    std::string out;
    out.reserve(text_.size() + grow);
    std::size_t copied = 0;
    std::size_t previous = 0;
    for (std::size_t i = 0; i < edits.size(); ++i) {
        const LineEdit& edit = sorted ? edits[i] : *order[i];
        // An empty line ends where it starts, so a second edit of it would pass the copied mark.
        const bool twice = i > 0 && edit.lineStart == previous;
        if (twice || edit.lineStart < copied || edit.lineStart != LineStart(edit.lineStart))
            throw std::logic_error("line edits must name distinct line starts");
        out.append(text_, copied, edit.lineStart - copied);
        out += edit.text;
        copied = LineEnd(edit.lineStart);  // the CR LF stays
        previous = edit.lineStart;
    }
    out.append(text_, copied, std::string::npos);
    SourceText edited;
    edited.text_ = std::move(out);
    edited.tail_ = tail_;
    return edited;
}

std::string Utf8ToCp1251(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    AppendCp1251(out, utf8);
    return out;
}

void AppendCp1251(std::string& out, std::string_view utf8) {
    // Codes and numbers are ASCII, which is the same in both.
    if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        out += utf8;
        return;
    }
    for (std::size_t i = 0; i < utf8.size();) {
        const std::optional<char32_t> cp = DecodeUtf8(utf8, i);
        if (cp && *cp < 0x80)
            out += static_cast<char>(*cp);
        else if (cp && *cp >= 0x0410 && *cp <= 0x044F)
            out += static_cast<char>(0xC0 + (*cp - 0x0410));
        else if (cp == 0x0401)
            out += static_cast<char>(0xA8);  // Ё
        else if (cp == 0x0451)
            out += static_cast<char>(0xB8);  // ё
        else if (cp == 0x00B0)
            out += static_cast<char>(0xB0);  // °
        else
            out += '?';  // no byte for it, or no character at all
    }
}

std::string Cp1251ToUtf8(std::string_view bytes) {
    // 0x80 to 0xBF; 0xC0 to 0xFF are U+0410 to U+044F in order.
    static constexpr char16_t kHigh[64] = {
        0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A,
        0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0xFFFD, 0x2122,
        0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6,
        0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456,
        0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80)
            out += c;
        else
            out += Utf8(byte < 0xC0 ? kHigh[byte - 0x80] : char32_t{0x0410} + (byte - 0xC0));
    }
    return out;
}

}  // namespace tc
