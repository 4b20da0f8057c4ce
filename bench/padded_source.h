// Large sources with the sample's structure: its lines, with comment lines
// spread between them until the file reaches the requested size.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tc::bench {

// The sample's bytes, padded to exactly `size` bytes (never less than the
// sample). Every line the reader takes a value from, and every line the writer
// rewrites, stays where the scan finds it and holds the same value.
std::string PaddedSource(std::string_view sample, std::size_t size);

}  // namespace tc::bench
