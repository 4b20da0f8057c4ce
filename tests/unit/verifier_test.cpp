#include "firmware/verifier.h"

#include <gtest/gtest.h>

namespace tc {
namespace {

// As avra assembles an 8-bit operand: checked against its output.
TEST(AssemblerByte, PlainNumbersAsTheAssemblerReadsThem) {
    const struct {
        const char* name;
        const char* operand;
        std::optional<int> value;
    } cases[] = {
        {"decimal", "31", 31},
        {"leading zeros are decimal", "017", 17},
        {"dollar hexadecimal", "$1F", 31},
        {"lower-case hexadecimal", "$1f", 31},
        {"0x hexadecimal", "0x1F", 31},
        {"binary", "0b101", 5},
        {"its low byte", "1234", 210},
        {"negative", "-1", 255},
        {"zero", "0", 0},
        {"a name", "T0_RELOAD", std::nullopt},
        {"an expression", "low(RAMEND)", std::nullopt},
        {"a hexadecimal digit in a decimal", "1F", std::nullopt},
        {"a bad binary digit", "0b102", std::nullopt},
        {"nothing", "", std::nullopt},
        {"a bare dollar", "$", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(AssemblerByte(c.operand), c.value) << c.name;
}

}  // namespace
}  // namespace tc
