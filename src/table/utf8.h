// UTF-8, the one coding of every text the logic passes around, through
// Boost.Locale's header-only coder.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tc {

// The UTF-8 bytes of one code point (the locale's decimal separator may be any character).
std::string Utf8(char32_t ch);

// The code point that starts at i, moving i past it; nothing for a byte that
// starts no valid sequence (overlong, a surrogate, cut short), and i moves by one.
std::optional<char32_t> DecodeUtf8(std::string_view text, std::size_t& i);

}  // namespace tc
