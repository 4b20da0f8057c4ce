// A firmware image as the assembler writes it (Intel HEX), and the AVR
// instructions in it that the source's values become.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tc {

// Program memory by byte address, up to the highest address a record wrote.
class Image {
public:
    // AVR program memory ends far below this; a record beyond it is no AVR image.
    static constexpr std::uint32_t kLimit = 16u << 20;

    std::optional<std::uint8_t> At(std::uint32_t address) const {
        if (address >= present_.size() || !present_[address]) return std::nullopt;
        return bytes_[address];
    }
    std::uint32_t End() const { return static_cast<std::uint32_t>(bytes_.size()); }
    void Set(std::uint32_t address, std::uint8_t byte) {
        if (address >= bytes_.size()) {
            bytes_.resize(address + 1);
            present_.resize(address + 1);
        }
        bytes_[address] = byte;
        present_[address] = true;
    }

private:
    std::vector<std::uint8_t> bytes_;
    std::vector<bool> present_;
};

struct HexResult {
    std::optional<Image> image;
    std::string error;  // why the file is no image, with its line
};

// Record types 00, 01, 02 and 04; every record's checksum is checked.
HexResult DecodeIntelHex(std::string_view text);

// An instruction that loads or compares an immediate: ldi Rd,K or cpi Rd,K; or st X+,Rr.
struct Instruction {
    enum Kind { Ldi, Cpi, StoreXPlus } kind;
    std::uint32_t wordAddress;
    int reg;  // Rd, or Rr of the store
    int value;
};

// Those instructions in address order. Two-word instructions are stepped over
// whole, so a second word is never read as an instruction of its own.
std::vector<Instruction> DecodeInstructions(const Image& image);

}  // namespace tc
