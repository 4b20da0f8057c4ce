// The firmware source as the scans see it: Windows-1251 bytes, every line
// followed by CR LF. Positions are 0-based byte offsets into that text.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tc {

inline constexpr char kCtrlZ = 26;

class SourceText {
public:
    SourceText() = default;

    // Lines end at LF, a CR right before it dropped; a Ctrl-Z ends the text.
    // The bytes from the Ctrl-Z on are kept aside and written back unchanged.
    static SourceText FromFileBytes(std::string_view bytes);
    // The same, keeping the bytes' own storage when they need no change.
    static SourceText FromOwnedBytes(std::string&& bytes);
    // The text, then what stood from the Ctrl-Z on.
    std::string ToFileBytes() const { return text_ + tail_; }

    const std::string& Text() const { return text_; }
    const std::string& Tail() const { return tail_; }
    bool Empty() const { return text_.empty(); }
    std::size_t Size() const { return text_.size(); }

    // The count characters from the position on, shorter near the end, empty past it.
    std::string_view ReadWindow(std::size_t position, std::size_t count) const;
    // The first match of the literal at or after the position, among those
    // that start before `before`.
    std::optional<std::size_t> Find(std::string_view literal, std::size_t from,
                                    std::size_t before = std::string::npos) const;

    // The first character of the line that holds the position.
    std::size_t LineStart(std::size_t position) const;
    // The position of the CR that ends that line.
    std::size_t LineEnd(std::size_t position) const;
    // The start of the next line, if the line holding the position has one after it.
    std::optional<std::size_t> NextLineStart(std::size_t position) const;
    // 1-based number of the line that holds the position.
    std::size_t LineNumber(std::size_t position) const;

    struct LineEdit {
        std::size_t lineStart;  // first character of the line to replace
        std::string_view text;  // its new text, without the line break: must outlive the WithLines call
    };
    // A copy with each named line replaced by its new text, built in one pass;
    // line breaks and all other lines stay. Lines must be distinct, and the
    // new texts hold no line break.
    SourceText WithLines(const std::vector<LineEdit>& edits) const;

private:
    std::string text_;
    std::string tail_;
};

// Windows-1251 bytes of a UTF-8 text: ASCII, Cyrillic and the degree sign
// as they are; a character without a byte becomes "?".
std::string Utf8ToCp1251(std::string_view utf8);
// The same, appended to out.
void AppendCp1251(std::string& out, std::string_view utf8);

// UTF-8 of Windows-1251 bytes, for a terminal; the one unassigned byte becomes U+FFFD.
std::string Cp1251ToUtf8(std::string_view bytes);

}  // namespace tc
