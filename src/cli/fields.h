// The small text checks the command line and the spreadsheet reader share.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace tc::cli {

// One or more decimal digits and nothing else.
inline bool IsDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Without the blanks and tabs around it: a grid cell cannot hold them anyway.
inline std::string Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

}  // namespace tc::cli
