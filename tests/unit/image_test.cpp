#include "firmware/image.h"

#include <gtest/gtest.h>

#include <map>

namespace tc {
namespace {

// A data record of the bytes at the address, its checksum computed.
std::string Record(unsigned type, unsigned address, std::vector<unsigned> bytes) {
    std::vector<unsigned> all = {static_cast<unsigned>(bytes.size()), address >> 8 & 0xFF, address & 0xFF, type};
    all.insert(all.end(), bytes.begin(), bytes.end());
    unsigned sum = 0;
    for (const unsigned b : all) sum += b;
    all.push_back((0x100 - (sum & 0xFF)) & 0xFF);
    std::string text = ":";
    for (const unsigned b : all) {
        static const char kDigits[] = "0123456789ABCDEF";
        text += kDigits[b >> 4];
        text += kDigits[b & 0xF];
    }
    return text + "\r\n";
}

const std::string kEnd = ":00000001FF\r\n";

TEST(DecodeIntelHex, TakesTheRecordsAndChecksEveryChecksum) {
    const struct {
        const char* name;
        std::string text;
        std::map<std::uint32_t, std::uint8_t> bytes;  // when it decodes
        const char* error;                            // part of the error otherwise
    } cases[] = {
        {"data", Record(0, 0x0010, {0x0B, 0xE0}) + kEnd, {{0x10, 0x0B}, {0x11, 0xE0}}, ""},
        {"segment address", Record(2, 0, {0x10, 0x00}) + Record(0, 4, {0xAA}) + kEnd, {{0x10004, 0xAA}}, ""},
        {"linear address", Record(4, 0, {0x00, 0x01}) + Record(0, 2, {0x55}) + kEnd, {{0x10002, 0x55}}, ""},
        {"LF and lower case", ":020000000BE013\n:00000001ff\n", {{0, 0x0B}, {1, 0xE0}}, ""},
        {"records after the end are not read", Record(0, 0, {1}) + kEnd + "garbage\n", {{0, 1}}, ""},
        {"wrong checksum", ":020000000BE014\r\n" + kEnd, {}, "line 1: the record's checksum is wrong"},
        {"not hex", ":0200000G0BE013\r\n" + kEnd, {}, "line 1: it is not an Intel HEX record"},
        {"no colon", "020000000BE013\r\n" + kEnd, {}, "line 1: it is not an Intel HEX record"},
        {"length", ":030000000BE013\r\n" + kEnd, {}, "line 1: the record's length does not match"},
        {"type 03", Record(3, 0, {0, 0, 0, 0}) + kEnd, {}, "record type 3 is not one of 00, 01, 02, 04"},
        {"no end", Record(0, 0, {1}), {}, "the end-of-file record is missing"},
        {"empty", "", {}, "the end-of-file record is missing"},
        {"beyond 16 MiB", Record(4, 0, {0x01, 0x00}) + Record(0, 0, {1}) + kEnd, {}, "beyond 16 MiB"},
    };
    for (const auto& c : cases) {
        const HexResult result = DecodeIntelHex(c.text);
        if (std::string(c.error).empty()) {
            ASSERT_TRUE(result.image.has_value()) << c.name << ": " << result.error;
            std::map<std::uint32_t, std::uint8_t> bytes;
            for (std::uint32_t a = 0; a < result.image->End(); ++a)
                if (const auto byte = result.image->At(a)) bytes[a] = *byte;
            EXPECT_EQ(bytes, c.bytes) << c.name;
        } else {
            EXPECT_FALSE(result.image.has_value()) << c.name;
            EXPECT_NE(result.error.find(c.error), std::string::npos) << c.name << ": " << result.error;
        }
    }
}

Image Words(std::vector<unsigned> words) {
    Image image;
    for (std::uint32_t i = 0; i < words.size(); ++i) {
        image.Set(2 * i, static_cast<std::uint8_t>(words[i] & 0xFF));
        image.Set(2 * i + 1, static_cast<std::uint8_t>(words[i] >> 8));
    }
    return image;
}

TEST(DecodeInstructions, FindsTheImmediatesAndStepsOverSecondWords) {
    const auto found = DecodeInstructions(Words({
        0xE00E,  // ldi r16, 14
        0x930D,  // st X+, r16
        0x3F59,  // cpi r21, 249
        0x302B,  // cpi r18, 11
        0x9300,  // sts k, r16: its second word below looks like ldi r16, 255 and is none
        0xEF0F,
        0xEF0F,  // ldi r16, 255
        0x9508,  // ret
    }));
    const std::vector<std::tuple<Instruction::Kind, std::uint32_t, int, int>> expected = {
        {Instruction::Ldi, 0, 16, 14}, {Instruction::StoreXPlus, 1, 16, 0}, {Instruction::Cpi, 2, 21, 249},
        {Instruction::Cpi, 3, 18, 11}, {Instruction::Ldi, 6, 16, 255},
    };
    std::vector<std::tuple<Instruction::Kind, std::uint32_t, int, int>> seen;
    for (const auto& i : found) seen.emplace_back(i.kind, i.wordAddress, i.reg, i.value);
    EXPECT_EQ(seen, expected);
}

}  // namespace
}  // namespace tc
