#include "firmware/image.h"

namespace tc {

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The bytes of one record line after its colon; nothing when a character is no hex digit.
std::optional<std::vector<std::uint8_t>> RecordBytes(std::string_view digits) {
    if (digits.size() % 2 != 0 || digits.size() < 10) return std::nullopt;
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        const int high = HexDigit(digits[i]), low = HexDigit(digits[i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
    }
    return bytes;
}

struct Reader {
    Image image;
    std::uint32_t base = 0;
    bool ended = false;

    // An empty text when the record was taken.
    std::string Take(const std::vector<std::uint8_t>& r) {
        const std::size_t length = r[0];
        if (r.size() != length + 5) return "the record's length does not match its byte count";
        unsigned sum = 0;
        for (const std::uint8_t b : r) sum += b;
        if ((sum & 0xFF) != 0) return "the record's checksum is wrong";
        const std::uint32_t offset = static_cast<std::uint32_t>(r[1]) << 8 | r[2];
        switch (r[3]) {
            case 0x00:
                if (base + offset + length > Image::kLimit) return "the record reaches beyond 16 MiB";
                for (std::size_t i = 0; i < length; ++i)
                    image.Set(static_cast<std::uint32_t>(base + offset + i), r[4 + i]);
                return {};
            case 0x01: ended = true; return {};
            case 0x02:
            case 0x04:
                if (length != 2) return "an address record must hold two bytes";
                base = (static_cast<std::uint32_t>(r[4]) << 8 | r[5]) << (r[3] == 0x02 ? 4 : 16);
                return {};
            default: return "record type " + std::to_string(r[3]) + " is not one of 00, 01, 02, 04";
        }
    }
};

}  // namespace

HexResult DecodeIntelHex(std::string_view text) {
    Reader reader;
    std::size_t line = 0;
    while (!text.empty() && !reader.ended) {
        ++line;
        const std::size_t lf = std::min(text.find('\n'), text.size());
        std::string_view record = text.substr(0, lf);
        text.remove_prefix(std::min(lf + 1, text.size()));
        while (!record.empty() && (record.back() == '\r' || record.back() == ' ')) record.remove_suffix(1);
        if (record.empty()) continue;
        const auto bytes = record.front() == ':' ? RecordBytes(record.substr(1)) : std::nullopt;
        const std::string why = bytes ? reader.Take(*bytes) : "it is not an Intel HEX record";
        if (!why.empty()) return {std::nullopt, "line " + std::to_string(line) + ": " + why};
    }
    if (!reader.ended) return {std::nullopt, "the end-of-file record is missing"};
    return {std::move(reader.image), {}};
}

namespace {

// jmp, call, lds and sts take a second word.
bool TakesTwoWords(unsigned w) {
    return (w & 0xFE0E) == 0x940C || (w & 0xFE0E) == 0x940E || (w & 0xFE0F) == 0x9000 || (w & 0xFE0F) == 0x9200;
}

std::optional<unsigned> WordAt(const Image& image, std::uint32_t byteAddress) {
    const auto low = image.At(byteAddress);
    const auto high = image.At(byteAddress + 1);
    if (!low || !high) return std::nullopt;
    return static_cast<unsigned>(*low) | static_cast<unsigned>(*high) << 8;
}

}  // namespace

std::vector<Instruction> DecodeInstructions(const Image& image) {
    std::vector<Instruction> found;
    for (std::uint32_t address = 0; address < image.End();) {
        const auto word = WordAt(image, address);
        std::uint32_t next = address + 2;
        if (word) {
            const unsigned w = *word;
            const int immediate = static_cast<int>((w >> 4 & 0xF0) | (w & 0x0F));
            const int high = 16 + static_cast<int>(w >> 4 & 0x0F);
            if ((w & 0xF000) == 0xE000) found.push_back({Instruction::Ldi, address / 2, high, immediate});
            if ((w & 0xF000) == 0x3000) found.push_back({Instruction::Cpi, address / 2, high, immediate});
            if ((w & 0xFE0F) == 0x920D)
                found.push_back({Instruction::StoreXPlus, address / 2, static_cast<int>(w >> 4 & 0x1F), 0});
            if (TakesTwoWords(w)) next += 2;
        }
        address = next;
    }
    return found;
}

}  // namespace tc
