// The Intel HEX decoder and the instruction decoder on any bytes: they end,
// an accepted image holds only what its records wrote, and a refusal names its line.
#include <cstdint>
#include <string>
#include <string_view>

#include "firmware/image.h"
#include "fuzz_support.h"

using fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const tc::HexResult result = tc::DecodeIntelHex(text);
    if (!result.image) {
        Check(!result.error.empty(), "a refusal says why");
        return 0;
    }
    Check(result.image->End() <= tc::Image::kLimit, "an image stays below its limit");
    std::uint32_t last = 0;
    bool first = true;
    for (const tc::Instruction& instruction : tc::DecodeInstructions(*result.image)) {
        Check(first || instruction.wordAddress > last, "instructions come in address order");
        Check(instruction.reg >= 0 && instruction.reg <= 31, "a register is r0 to r31");
        Check(instruction.value >= 0 && instruction.value <= 255, "an immediate is a byte");
        Check(result.image->At(2 * instruction.wordAddress).has_value(), "an instruction stands where a record wrote");
        last = instruction.wordAddress;
        first = false;
    }
    return 0;
}
