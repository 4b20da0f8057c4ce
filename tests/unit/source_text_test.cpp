#include "firmware/source_text.h"

#include "firmware/scanner.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>

namespace tc {
namespace {

using namespace std::string_literals;

TEST(SourceText, FromFileBytesEndsEveryLineWithCrLf) {
    const struct {
        std::string bytes, text, tail;
    } cases[] = {
        {"a\r\nbc\r\n", "a\r\nbc\r\n", ""},
        {"a\nbc\n", "a\r\nbc\r\n", ""},                            // LF only
        {"a\r\nbc", "a\r\nbc\r\n", ""},                            // no final line break
        {"a\n\r\n\nb", "a\r\n\r\n\r\nb\r\n", ""},                  // empty lines
        {"a\rb\r\nc\r", "a\rb\r\nc\r\r\n", ""},                    // a lone CR is a character of its line
        {"a\r\nb\r\n\x1A\r\njunk", "a\r\nb\r\n", "\x1A\r\njunk"},  // Ctrl-Z ends the text
        {"a\r\nb\x1A", "a\r\nb\r\n", "\x1A"},
        {"\x1A"
         "abc",
         "",
         "\x1A"
         "abc"},
        {"", "", ""},
        {"x\xB0\xE1\r\n", "x\xB0\xE1\r\n", ""},
        {"\r\n", "\r\n", ""},
        {"\n", "\r\n", ""},
        {"\r", "\r\r\n", ""},
        {"a\r\n\n", "a\r\n\r\n", ""},    // the last LF alone
        {"a\nb\r\n", "a\r\nb\r\n", ""},  // the first LF alone
        {"a\r\n\x1A\r\n", "a\r\n", "\x1A\r\n"},
    };
    for (const auto& c : cases) {
        const SourceText source = SourceText::FromFileBytes(c.bytes);
        EXPECT_EQ(source.Text(), c.text) << c.bytes;
        EXPECT_EQ(source.Tail(), c.tail) << c.bytes;
        EXPECT_EQ(source.ToFileBytes(), c.text + c.tail);
        const SourceText owned = SourceText::FromOwnedBytes(std::string(c.bytes));
        EXPECT_EQ(owned.Text(), c.text) << c.bytes;
        EXPECT_EQ(owned.Tail(), c.tail) << c.bytes;
    }
}

// Keeping the bytes as they are must give the text a copy gives, wherever a
// lone LF, a lone CR or a Ctrl-Z stands in a longer source.
TEST(SourceText, OwnedBytesReadAsCopiedBytes) {
    std::string base;
    for (int line = 0; base.size() < 80; ++line) base += "cpi R21, " + std::to_string(line) + "\r\n";
    std::string whole = base;
    const char* storage = whole.data();
    EXPECT_EQ(SourceText::FromOwnedBytes(std::move(whole)).Text().data(), storage) << "a text needs no copy";
    for (std::size_t at = 0; at < base.size(); ++at)
        for (const char c : {'\n', '\r', kCtrlZ, 'a'}) {
            std::string bytes = base;
            bytes[at] = c;
            const SourceText copied = SourceText::FromFileBytes(bytes);
            const SourceText owned = SourceText::FromOwnedBytes(std::string(bytes));
            EXPECT_EQ(owned.Text(), copied.Text()) << at << " " << int(c);
            EXPECT_EQ(owned.Tail(), copied.Tail()) << at << " " << int(c);
        }
}

TEST(SourceText, ReadWindowIsShorterNearTheEnd) {
    const SourceText source = SourceText::FromFileBytes("abc\r\nde");  // "abc\r\nde\r\n", 9 characters
    EXPECT_EQ(source.ReadWindow(0, 3), "abc");
    EXPECT_EQ(source.ReadWindow(3, 4), "\r\nde");
    EXPECT_EQ(source.ReadWindow(7, 8), "\r\n");
    EXPECT_EQ(source.ReadWindow(8, 8), "\n");
    EXPECT_EQ(source.ReadWindow(9, 8), "");
    EXPECT_EQ(source.ReadWindow(500, 1), "");
    EXPECT_EQ(source.Find("de", 0), 5u);
    EXPECT_EQ(source.Find("de", 5), 5u);
    EXPECT_EQ(source.Find("de", 6), std::nullopt);
    EXPECT_EQ(source.Find("c\r\nd", 0), 2u);  // across a line end
    EXPECT_EQ(source.Find("a", 100), std::nullopt);
    // only matches that start before the bound
    EXPECT_EQ(source.Find("de", 0, 5), std::nullopt);
    EXPECT_EQ(source.Find("de", 0, 6), 5u);
    EXPECT_EQ(source.Find("c\r\nd", 0, 3), 2u);
    EXPECT_EQ(source.Find("c\r\nd", 0, 2), std::nullopt);
    EXPECT_EQ(source.Find("abc", 0, 1), 0u);
    EXPECT_EQ(source.Find("abc", 0, 0), std::nullopt);
    EXPECT_EQ(source.Find("\r\n", 5, 100), 7u);
}

// The scan's own literals among near misses: each must be found where it
// starts, not where its anchor byte first shows.
TEST(SourceText, FindsTheScansLiteralsAmongNearMisses) {
    const struct {
        const char* name;
        std::string text, literal;
        std::optional<std::size_t> at;
    } cases[] = {
        {"register after a shorter one", "cpi R1, 5\r\ncpi R18, 12", "cpi R18,", 11},
        {"anchor found, first byte not", "xpi R18,\r\ncpi R18,", "cpi R18,", 10},
        {"label after another table's", "FuozTable2:\r\nFuozTable1:", "FuozTable1:", 13},
        {"marker after a comment with its letters", Utf8ToCp1251("; блок\r\n;блок задержки искры"), kSparkMarker, 8},
        {"lowercase alone, at the very end", "ab abc", "abc", 3},
        {"only a near miss", "sbi ADCSRB,", "sbi ADCSRA,", std::nullopt},
    };
    for (const auto& c : cases) {
        const SourceText source = SourceText::FromFileBytes(c.text);
        EXPECT_EQ(source.Find(c.literal, 0), c.at) << c.name;
    }
}

// The search anchors on one byte of the literal, not always its first (a
// capital, a comma, a Cyrillic letter): matches at and near the ends of the
// text, literals of lowercase letters, spaces and ';' alone, and bounds
// anywhere must come out as a plain search finds them.
TEST(SourceText, FindAgreesWithAPlainSearch) {
    std::mt19937 random(20261208);
    const auto pick = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };
    for (int round = 0; round < 20000; ++round) {
        std::string line;
        const std::size_t length = pick(160);
        for (std::size_t i = 0; i < length; ++i) line += "ab; ,R\xE1"[pick(7)];
        const SourceText source = SourceText::FromFileBytes(line);
        const std::string& text = source.Text();
        std::string literal;
        if (pick(2) && !text.empty()) {
            const std::size_t at = pick(text.size());
            literal = text.substr(at, 1 + pick(12));  // one that occurs
        } else {
            for (std::size_t i = pick(12); i > 0; --i) literal += "ab; ,R\xE1"[pick(7)];
        }
        const std::size_t from = pick(text.size() + 2);
        const std::size_t before = pick(3) ? std::string::npos : pick(text.size() + 20);
        std::optional<std::size_t> expected;
        if (from <= text.size())
            if (const std::size_t at = text.find(literal, from); at != std::string::npos && at < before) expected = at;
        ASSERT_EQ(source.Find(literal, from, before), expected)
            << "text \"" << text << "\" literal \"" << literal << "\" from " << from << " before " << before;
    }
}

TEST(SourceText, LinePositions) {
    // lines start at 0, 5 (the empty one), 7 and 13
    const SourceText source = SourceText::FromFileBytes("abc\n\nfghi\nk");
    const struct {
        std::size_t position, start, end, number;
        std::optional<std::size_t> next;
    } cases[] = {
        {0, 0, 3, 1, 5},
        {2, 0, 3, 1, 5},
        {3, 0, 3, 1, 5},
        {4, 0, 3, 1, 5},
        {5, 5, 5, 2, 7},
        {6, 5, 5, 2, 7},
        {7, 7, 11, 3, 13},
        {12, 7, 11, 3, 13},
        {13, 13, 14, 4, std::nullopt},
        {15, 13, 14, 4, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(source.LineStart(c.position), c.start) << c.position;
        EXPECT_EQ(source.LineEnd(c.position), c.end) << c.position;
        EXPECT_EQ(source.LineNumber(c.position), c.number) << c.position;
        EXPECT_EQ(source.NextLineStart(c.position), c.next) << c.position;
    }
}

TEST(SourceText, WithLinesKeepsLineBreaksAndOtherLines) {
    SourceText source =
        SourceText::FromFileBytes("\tcpi R21, 5 ; x\r\nkeep\r\n\r\nFuozTable1: ldi R16, 3\r\nend\x1Atail");
    // given out of order, one empty line among them
    source = source.WithLines({{25, "ldi R16, 4"}, {0, "cpi R21, 6"}, {23, "new"}});
    EXPECT_EQ(source.Text(), "cpi R21, 6\r\nkeep\r\nnew\r\nldi R16, 4\r\nend\r\n");
    EXPECT_EQ(source.Tail(), "\x1Atail");
}

TEST(SourceText, WithLinesRefusesOverlappingEdits) {
    const std::string bytes = "abc\r\n\r\ndef\r\n";
    const std::vector<std::vector<SourceText::LineEdit>> bad = {
        {{0, "x"}, {0, "y"}},  // the same line twice
        {{5, "x"}, {5, "y"}},  // the same empty line twice
        {{1, "x"}},            // not a line start
        {{0, "x\r\ny"}},       // a line break inside the new text
        {{5, "\n"}},
    };
    for (const auto& edits : bad) {
        SourceText source = SourceText::FromFileBytes(bytes);
        EXPECT_THROW(source = source.WithLines(edits), std::logic_error);
        EXPECT_EQ(source.Text(), bytes);
    }
}

TEST(Utf8ToCp1251, CyrillicAndTheDegreeSignAreSingleBytes) {
    const std::pair<std::string, std::string> cases[] = {
        {"АЯаяЁё°", "\xC0\xDF\xE0\xFF\xA8\xB8\xB0"},
        {";множитель", "\x3B\xEC\xED\xEE\xE6\xE8\xF2\xE5\xEB\xFC"},
        {"ldi R16, 5\t", "ldi R16, 5\t"},
        {"€x", "?x"},
        {"\u066B", "?"},
    };
    for (const auto& [utf8, bytes] : cases) EXPECT_EQ(Utf8ToCp1251(utf8), bytes) << utf8;
}

}  // namespace
TEST(Cp1251ToUtf8, EveryByteHasItsCharacter) {
    const struct {
        const char* name;
        std::string bytes;
        std::string utf8;
    } cases[] = {
        {"ascii", "ldi R16, 5\t", "ldi R16, 5\t"},
        {"cyrillic and degree", "\xC0\xDF\xE0\xFF\xA8\xB8\xB0", "АЯаяЁё°"},
        {"a comment", "\x3B\xEC\xED\xEE\xE6\xE8\xF2\xE5\xEB\xFC", ";множитель"},
        {"punctuation", "\x85\x96\xAB\xBB\xB9", "…–«»№"},
        {"the unassigned byte", "\x98", "\uFFFD"},
    };
    for (const auto& c : cases) EXPECT_EQ(Cp1251ToUtf8(c.bytes), c.utf8) << c.name;
    // Back and forth for the letters the firmware's comments use.
    std::string all;
    for (int byte = 0xC0; byte <= 0xFF; ++byte) all += static_cast<char>(byte);
    EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(all)), all);
}

}  // namespace tc
