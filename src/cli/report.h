// What show prints: the state the window shows after opening a source.
#pragma once

#include <iosfwd>
#include <string>

#include "app/core.h"

namespace tc::cli {

// Rows of speed, the three table codes and the angle column, under a few
// "key value" lines; an empty cell as "?".
void PrintText(std::ostream& out, const Core& core, const std::string& file);

// One JSON object on one line.
void PrintJson(std::ostream& out, const Core& core, const std::string& file);

}  // namespace tc::cli
