// The --json outputs: built as nlohmann's ordered JSON, printed on one line
// with ", " and ": " between the items, as they have always been printed.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

namespace tc::cli {

using Json = nlohmann::ordered_json;

// The value on one line. A byte of a string that starts no valid UTF-8
// sequence becomes U+FFFD; control characters are escaped.
std::string OneLine(const Json& value);

// A cell or combo text as the window would read it as a number; null when it is none.
Json IntegerOrNull(const std::string& text);

}  // namespace tc::cli
