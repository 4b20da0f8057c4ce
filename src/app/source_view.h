// What the source text box shows of the source: its lines, capped.
#pragma once

#include <string>

namespace tc {

struct SourceView {
    std::string lines;  // the source's bytes (Windows-1251), one '\n' between lines
    std::string note;   // UTF-8: what was left out, empty when nothing was
};

// One line break per source line; a text box holds lines, not bytes. It lays
// out a long line in time that grows with the square of its length and a big
// text in seconds, so it gets a capped prefix; the core keeps the whole text.
SourceView ShownSource(const std::string& text, unsigned languageFlag);

}  // namespace tc
