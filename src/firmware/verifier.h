// Whether an assembled image holds what the source says: the spark constants,
// the 31 speed constants and the 96 table entries, each found through the
// order of its instruction among the source's and the image's instructions of
// the same kind and register.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "firmware/image.h"
#include "firmware/scanner.h"
#include "firmware/source_text.h"

namespace tc {

struct VerifiedItem {
    enum What { Spark, Spark2, Speed, Entry } what = Spark;
    int table = 0;         // Entry: 1 to 3
    int row = 0;           // Speed and Entry: the grid row, 1 to 32
    std::size_t line = 0;  // of the source, 1-based
    int expected = -1;     // the number the source says; -1 for none
    enum Status { Same, Different, Missing } status = Missing;
    std::uint32_t address = 0;  // word address in the image, when found
    int found = 0;              // what the image holds there
    // Why a missing item is missing.
    enum Why { None, Commented, NotAnInstruction, CountsDiffer, NoStoreAfter, NoNumber } why = None;
    std::size_t inSource = 0, inImage = 0;  // CountsDiffer: the instructions of its kind in each
    // The number as the source writes it (what follows the comma, up to a comment), what the
    // assembler makes of it (-1: no plain number), and what a save writes there (-1: not known).
    std::string written;
    int assembled = -1;
    int saved = -1;
};

// A plain number as the assembler reads an 8-bit operand: decimal (leading zeros
// too), $1F, 0x1F or 0b101, perhaps negative, its low byte; nothing for any other text.
std::optional<int> AssemblerByte(std::string_view operand);

// The items in the order of the source: spark lines, speeds from row 32 down, tables 1 to 3.
std::vector<VerifiedItem> VerifyImage(const SourceText& source, const SourceLayout& layout, const Image& image);

}  // namespace tc
