#include "app/source_view.h"

#include <algorithm>

#include "text/texts.h"

namespace tc {

namespace {
// Firmware lines hold up to 80 characters.
constexpr std::size_t kShownLine = 1000;
constexpr std::size_t kShownText = std::size_t{1} << 20;
}  // namespace

SourceView ShownSource(const std::string& text, unsigned languageFlag) {
    SourceView view;
    std::string& lines = view.lines;
    lines.reserve(std::min(text.size(), kShownText + kShownLine + 2));
    std::size_t end = 0;
    long long shown = 0;
    for (; end < text.size() && lines.size() < kShownText; ++shown) {
        const std::size_t lf = std::min(text.find('\n', end), text.size());
        const std::size_t length = (lf < text.size() && lf > end && text[lf - 1] == '\r' ? lf - 1 : lf) - end;
        lines.append(text, end, std::min(length, kShownLine));
        if (length > kShownLine) lines += '\x85';  // an ellipsis in Windows-1251
        lines += '\n';
        end = lf + 1;
    }
    if (!lines.empty()) lines.pop_back();
    if (end < text.size()) {
        const auto total = static_cast<long long>(std::count(text.begin(), text.end(), '\n'));
        view.note = ShownLinesNote(shown, total, languageFlag);
    }
    return view;
}

}  // namespace tc
