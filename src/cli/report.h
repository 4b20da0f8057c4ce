// What show prints: the state the window shows after opening a source.
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>

#include "app/core.h"

namespace tc::cli {

// Rows of speed, the three table codes and the angle column, under a few
// "key value" lines; an empty cell as "?".
void PrintText(std::ostream& out, const Core& core, const std::string& file);

// One JSON object on one line.
void PrintJson(std::ostream& out, const Core& core, const std::string& file);

// A JSON string literal: UTF-8 passes through, a byte that is not UTF-8
// becomes U+FFFD, control characters are escaped.
std::string JsonString(std::string_view text);

}  // namespace tc::cli
