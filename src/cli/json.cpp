#include "cli/json.h"

#include <string_view>

#include "table/numbers.h"
#include "table/utf8.h"

namespace tc::cli {

namespace {

// One U+FFFD for each byte that starts no valid sequence, as the output always
// had it; nlohmann's own replacement takes a cut-short sequence as one.
std::string ValidUtf8(std::string_view text) {
    std::string valid;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t start = i;
        if (DecodeUtf8(text, i))
            valid.append(text.substr(start, i - start));
        else
            valid += "\xEF\xBF\xBD";
    }
    return valid;
}

// nlohmann's dump has no spaces after its separators, so the containers are
// put together here and only their leaves dumped.
std::string Leaf(const Json& value) {
    if (value.is_string())
        return Json(ValidUtf8(value.get_ref<const std::string&>())).dump(-1, ' ', false, Json::error_handler_t::strict);
    return value.dump();
}

}  // namespace

std::string OneLine(const Json& value) {
    if (!value.is_structured()) return Leaf(value);
    const bool object = value.is_object();
    std::string text(1, object ? '{' : '[');
    for (auto item = value.begin(); item != value.end(); ++item) {
        if (item != value.begin()) text += ", ";
        if (object) text += Leaf(item.key()) + ": ";
        text += OneLine(*item);
    }
    return text + (object ? '}' : ']');
}

Json IntegerOrNull(const std::string& text) {
    if (text.empty()) return nullptr;
    try {
        return StrToInt(text);
    } catch (const ConversionError&) {
        return nullptr;
    }
}

}  // namespace tc::cli
