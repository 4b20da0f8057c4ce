#include "firmware/source_text.h"

#include <string.h>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <stdexcept>

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
bool IsText(std::string_view bytes) {
    const std::size_t n = bytes.size();
    if (n == 0) return true;
    if (n < 2 || bytes[n - 2] != '\r' || bytes[n - 1] != '\n' || bytes[0] == '\n' || bytes[0] == kCtrlZ) return false;
    const char* p = bytes.data();
    std::size_t i = 1;
    bool odd = false;
#ifdef __SSE2__
    // Sixteen bytes at a time, each against the byte before it; -O2 leaves
    // the byte loop below, which does the rest, unvectorised.
    const __m128i lf = _mm_set1_epi8('\n'), cr = _mm_set1_epi8('\r'), eof = _mm_set1_epi8(kCtrlZ);
    __m128i found = _mm_setzero_si128();
    for (; i + 16 <= n; i += 16) {
        const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const __m128i before = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i - 1));
        found = _mm_or_si128(found, _mm_andnot_si128(_mm_cmpeq_epi8(before, cr), _mm_cmpeq_epi8(here, lf)));
        found = _mm_or_si128(found, _mm_cmpeq_epi8(here, eof));
    }
    odd = _mm_movemask_epi8(found) != 0;
#endif
    for (; i < n; ++i) odd |= (p[i] == '\n' && p[i - 1] != '\r') || p[i] == kCtrlZ;
    return !odd;
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

// The first match of the literal in [from, end) of the text, or npos.
std::size_t Search(const char* text, std::size_t from, std::size_t end, std::string_view literal) {
    const std::size_t m = literal.size();
    if (end < from || end - from < m) return std::string_view::npos;
    if (m == 0) return from;
    const std::size_t last = end - m;  // the last place a match may start
    std::size_t i = from;
#ifdef __SSE2__
    // Candidates are where both the first and the last character match, 32
    // places at a time; the literals rarely pass that test, and the scans spend
    // their time here. About twice the speed of glibc's memmem.
    if (m >= 2) {
        const __m128i head = _mm_set1_epi8(literal.front()), tail = _mm_set1_epi8(literal.back());
        const auto candidates = [&](std::size_t at) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + at));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + at + m - 1));
            return static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, head), _mm_cmpeq_epi8(b, tail))));
        };
        for (; i <= last && last - i >= 31; i += 32) {
            for (std::uint32_t mask = candidates(i) | candidates(i + 16) << 16; mask; mask &= mask - 1) {
                const std::size_t at = i + static_cast<std::size_t>(__builtin_ctz(mask));
                if (std::memcmp(text + at + 1, literal.data() + 1, m - 2) == 0) return at;
            }
        }
    }
#endif
#ifdef __GLIBC__
    const void* hit = ::memmem(text + i, end - i, literal.data(), literal.size());
    return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - text) : std::string_view::npos;
#else
    return std::string_view(text, end).find(literal, i);
#endif
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

void SourceText::ReplaceLines(std::vector<LineEdit> edits) { *this = WithLines(std::move(edits)); }

SourceText SourceText::WithLines(std::vector<LineEdit> edits) const {
    std::sort(edits.begin(), edits.end(),
              [](const LineEdit& a, const LineEdit& b) { return a.lineStart < b.lineStart; });
    std::string out;
    std::size_t grow = 0;
    for (const LineEdit& edit : edits) {
        // The shift of the lines after an edit is its change in length, which a line break would break.
        if (edit.text.find_first_of("\r\n") != std::string::npos)
            throw std::logic_error("a line edit must not hold a line break");
        grow += edit.text.size();
    }
    out.reserve(text_.size() + grow);
    std::size_t copied = 0;
    for (std::size_t i = 0; i < edits.size(); ++i) {
        const LineEdit& edit = edits[i];
        // An empty line ends where it starts, so a second edit of it would pass the copied mark.
        const bool twice = i > 0 && edit.lineStart == edits[i - 1].lineStart;
        if (twice || edit.lineStart < copied || edit.lineStart != LineStart(edit.lineStart))
            throw std::logic_error("line edits must name distinct line starts");
        out.append(text_, copied, edit.lineStart - copied);
        out += edit.text;
        copied = LineEnd(edit.lineStart);  // the CR LF stays
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
    for (std::size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        char32_t cp = 0;
        std::size_t len = 1;
        if (c < 0x80) cp = c;
        else if ((c >> 5) == 0x6) { cp = c & 0x1F; len = 2; }
        else if ((c >> 4) == 0xE) { cp = c & 0x0F; len = 3; }
        else if ((c >> 3) == 0x1E) { cp = c & 0x07; len = 4; }
        else { out += '?'; ++i; continue; }
        if (i + len > utf8.size()) { out += '?'; break; }
        for (std::size_t k = 1; k < len; ++k) cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        i += len;
        if (cp < 0x80) out += static_cast<char>(cp);
        else if (cp >= 0x0410 && cp <= 0x044F) out += static_cast<char>(0xC0 + (cp - 0x0410));
        else if (cp == 0x0401) out += static_cast<char>(0xA8);  // Ё
        else if (cp == 0x0451) out += static_cast<char>(0xB8);  // ё
        else if (cp == 0x00B0) out += static_cast<char>(0xB0);  // °
        else out += '?';
    }
    return out;
}

}  // namespace tc
