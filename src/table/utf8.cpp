#include "table/utf8.h"

#include <boost/locale/utf.hpp>
#include <iterator>

namespace tc {

namespace {
using Traits = boost::locale::utf::utf_traits<char>;
}  // namespace

std::string Utf8(char32_t ch) {
    std::string out;
    Traits::encode(static_cast<boost::locale::utf::code_point>(ch), std::back_inserter(out));
    return out;
}

std::optional<char32_t> DecodeUtf8(std::string_view text, std::size_t& i) {
    const char* p = text.data() + i;
    const auto code = Traits::decode(p, text.data() + text.size());
    if (code == boost::locale::utf::illegal || code == boost::locale::utf::incomplete) {
        ++i;
        return std::nullopt;
    }
    i = static_cast<std::size_t>(p - text.data());
    return static_cast<char32_t>(code);
}

}  // namespace tc
