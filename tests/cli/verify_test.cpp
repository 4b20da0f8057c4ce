// timingcalc-cli verify on images the real assembler (avra) made from the
// sample and from variants of it, and on images changed afterwards.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "cli/run.h"
#include "cli_support.h"
#include "run_in_process.h"
#include "support/avra.h"
#include "os/files.h"

namespace cli {
namespace {

class Verify : public ::testing::Test {
protected:
    void SetUp() override {
        WriteFile(folder / "CDI.asm", Sample());
        const tc::test::AvraRun sample = tc::test::Avra(folder / "CDI.asm");
        ASSERT_TRUE(sample.built) << sample.log;
    }
    std::string Path(const std::string& name) const { return tc::os::Utf8Of(folder / name); }
    Folder folder;
};

const std::vector<std::string> kAngles = {"10", "10", "11", "11", "12", "12", "13", "14", "15", "16", "17",
                                          "18", "20", "21", "22", "24", "25", "27", "28", "28", "28", "29",
                                          "29", "30", "30", "29", "29", "28", "25", "23", "21", "-"};

struct Variant {
    const char* name;
    std::vector<std::string> set;  // the options of set that make it
};

TEST_F(Verify, EveryVariantTheAssemblerBuiltHoldsItsSource) {
    const Variant variants[] = {
        {"sample", {}},
        {"table 1", {"--table", "1", "--angles", Join(kAngles)}},
        {"table 2 and spark", {"--table", "2", "--angles", Join(kAngles), "--spark", "100"}},
        {"table 3 and speeds",
         {"--table", "3", "--sensor", "35", "--angles", Join(kAngles), "--rpm",
          "700,800,1000,1200,1400,1610,1800,1990,2250,2490,2730,3000,3260,3550,4040,4340,"
          "4880,5100,5580,5860,6510,6890,7320,7810,9010,9770,10650,13020,14650,16740,19530"}},
    };
    for (const auto& v : variants) {
        SCOPED_TRACE(v.name);
        std::vector<std::string> set = {"set", Path("CDI.asm"), "-o", Path("variant.asm")};
        set.insert(set.end(), v.set.begin(), v.set.end());
        ASSERT_EQ(RunIn(set).status, 0);
        ASSERT_TRUE(tc::test::Avra(folder / "variant.asm").built);
        const Ran verified = RunIn({"verify", Path("variant.asm")});
        EXPECT_EQ(verified.status, 0) << verified.out << verified.err;
        EXPECT_TRUE(verified.out.ends_with("verify: 129 items, 129 the same, 0 different, 0 not in the image\n"))
            << verified.out;
        // Another variant's image does not pass for this one.
        if (!v.set.empty()) {
            EXPECT_EQ(RunIn({"verify", Path("variant.asm"), Path("CDI.hex")}).status, 1);
        }
    }
}

// The image with one byte changed, and the record's checksum made right again.
std::string WithByte(const std::string& hex, std::uint32_t address, int delta) {
    std::istringstream in(hex);
    std::string out;
    std::uint32_t base = 0;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::vector<unsigned> b;
        for (std::size_t i = 1; i + 1 < line.size(); i += 2) b.push_back(std::stoul(line.substr(i, 2), nullptr, 16));
        const std::uint32_t offset = b[1] << 8 | b[2];
        if (b[3] == 2) base = (b[4] << 8 | b[5]) << 4;
        if (b[3] == 0 && base + offset <= address && address < base + offset + b[0]) {
            unsigned& target = b[4 + address - base - offset];
            target = (target + static_cast<unsigned>(delta)) & 0xFF;
            unsigned sum = 0;
            for (std::size_t i = 0; i + 1 < b.size(); ++i) sum += b[i];
            b.back() = (0x100 - (sum & 0xFF)) & 0xFF;
            char text[4];
            line = ":";
            for (const unsigned x : b) {
                std::snprintf(text, sizeof text, "%02X", x);
                line += text;
            }
        }
        out += line + "\r\n";
    }
    return out;
}

TEST_F(Verify, AChangedTableByteIsNamedWithItsAddress) {
    const Ran good = RunIn({"verify", Path("CDI.asm")});
    // "table 2, row 7 (line N, ldi r16, K): the same at 0xA"
    const std::size_t line = good.out.find("table 2, row 7 (line ");
    ASSERT_NE(line, std::string::npos) << good.out;
    const std::string entry = good.out.substr(line, good.out.find('\n', line) - line);
    const std::size_t k = entry.find("ldi r16, ") + 9;
    const std::size_t at = entry.find("): the same at 0x");
    ASSERT_NE(at, std::string::npos) << entry;
    const int code = std::stoi(entry.substr(k, at - k));
    const std::string address = entry.substr(at + 17);
    // ldi's low byte holds the low four bits of K.
    WriteFile(folder / "changed.hex",
              WithByte(ReadFile(folder / "CDI.hex"), 2 * static_cast<std::uint32_t>(std::stoul(address, nullptr, 16)),
                       (code & 0xF) == 0xF ? -1 : 1));
    const Ran changed = RunIn({"verify", Path("CDI.asm"), Path("changed.hex")});
    EXPECT_EQ(changed.status, 1);
    const int held = (code & 0xF) == 0xF ? code - 1 : code + 1;
    EXPECT_NE(changed.out.find("table 2, row 7 (line "), std::string::npos);
    EXPECT_NE(changed.out.find("different: the image holds " + std::to_string(held) + " at address 0x" + address),
              std::string::npos)
        << changed.out;
    EXPECT_TRUE(changed.out.ends_with("verify: 129 items, 128 the same, 1 different, 0 not in the image\n"));
    const Ran json = RunIn({"verify", Path("CDI.asm"), Path("changed.hex"), "--json"});
    EXPECT_EQ(json.status, 1);
    EXPECT_NE(json.out.find("\"same\": 128, \"different\": 1, \"missing\": 0}"), std::string::npos) << json.out;
    const std::string why = "the source's `" + std::to_string(code) + "` is " + std::to_string(code) +
                            " to the assembler too: the image was not assembled from this source";
    EXPECT_NE(changed.out.find(why), std::string::npos) << changed.out;
    EXPECT_NE(json.out.find(", \"image\": " + std::to_string(held) + ", \"why\": \"" + why + "\"}"), std::string::npos)
        << json.out;
}

// The source with the entries of table 1 written as the assembler reads them
// otherwise than this program: what the report says, and what a save writes.
TEST_F(Verify, ANumberReadOtherwiseSaysWhy) {
    const struct {
        const char* name;
        const char* written;  // replaces "ldi R16, 14\t" of the row
        int row;
        const char* why;
        const char* saved;  // the row's line after a save
    } cases[] = {
        {"hexadecimal", "ldi R16,$1F\t", 1,
         "the source's `$1F` is 31 to the assembler and 1 to this program; a save writes 1", "ldi R16, 1\t"},
        {"no blank after the comma", "ldi R16,31\t", 2,
         "the source's `31` is 31 to the assembler and 1 to this program; a save writes 1", "ldi R16, 1\t"},
        {"four digits", "ldi R16, 1234\t", 3,
         "the source's `1234` is 210 to the assembler and 123 to this program; a save writes 123", "ldi R16, 123\t"},
    };
    std::string source = Sample();
    std::size_t at = source.find("FuozTable1:");
    for (const auto& c : cases) {
        at = source.find("ldi R16, 1", at);
        source.replace(at, source.find('\t', at) + 1 - at, c.written);
    }
    WriteFile(folder / "other.asm", source);
    ASSERT_TRUE(tc::test::Avra(folder / "other.asm").built);
    const Ran text = RunIn({"verify", Path("other.asm")});
    const Ran json = RunIn({"verify", Path("other.asm"), "--json"});
    ASSERT_EQ(RunIn({"set", Path("other.asm"), "-o", Path("saved.asm")}).status, 0);
    const std::string saved = ReadFile(folder / "saved.asm");
    EXPECT_EQ(text.status, 1);
    EXPECT_TRUE(text.out.ends_with("verify: 129 items, 126 the same, 3 different, 0 not in the image\n")) << text.out;
    std::size_t line = saved.find("FuozTable1:");
    for (const auto& c : cases) {
        const std::string row = "table 1, row " + std::to_string(c.row);
        EXPECT_NE(text.out.find(row + " (line "), std::string::npos) << c.name;
        EXPECT_NE(text.out.find(std::string("; ") + c.why + "\n"), std::string::npos) << c.name << "\n" << text.out;
        EXPECT_NE(json.out.find(std::string("\"why\": \"") + c.why + "\"}"), std::string::npos) << c.name;
        line = saved.find("\nldi R16, ", line) + 1;
        EXPECT_EQ(saved.compare(line, std::string(c.saved).size(), c.saved), 0) << c.name;
    }
}

TEST_F(Verify, ItCannotVerifyAWrongChecksumAMissingImageOrAnIncompleteSource) {
    std::string bad = ReadFile(folder / "CDI.hex");
    bad[bad.find("\r\n", 20) - 1] ^= 1;  // the last checksum digit of the second record
    WriteFile(folder / "bad.hex", bad);
    std::string cut = Sample();
    WriteFile(folder / "cut.asm", cut.substr(0, cut.find("FuozTable3:")));
    const struct {
        const char* name;
        std::vector<std::string> arguments;
        const char* said;
    } cases[] = {
        {"checksum", {"verify", Path("CDI.asm"), Path("bad.hex")}, "line 2: the record's checksum is wrong"},
        {"no image", {"verify", Path("CDI.asm"), Path("none.hex")}, "cannot be read"},
        {"incomplete source", {"verify", Path("cut.asm"), Path("CDI.hex")}, "FuozTable3:"},
    };
    for (const auto& c : cases) {
        const Ran ran = RunIn(c.arguments);
        EXPECT_EQ(ran.status, 2) << c.name;
        EXPECT_NE(ran.err.find(c.said), std::string::npos) << c.name << ": " << ran.err;
    }
}

TEST_F(Verify, ACommentedOutEntryIsNotInTheImage) {
    std::string source = Sample();
    const std::size_t table1 = source.find("FuozTable1:");
    const std::size_t third =
        source.find("\nldi R16, ", source.find("\nldi R16, ", source.find("\nldi R16, ", table1) + 1) + 1);
    source.insert(third + 1, ";");  // row 3 of table 1 becomes a comment the reader still counts
    WriteFile(folder / "commented.asm", source);
    ASSERT_TRUE(tc::test::Avra(folder / "commented.asm").built);
    const Ran ran = RunIn({"verify", Path("commented.asm")});
    EXPECT_EQ(ran.status, 1);
    EXPECT_NE(ran.out.find("table 1, row 3 (line "), std::string::npos);
    EXPECT_NE(ran.out.find("not in the image: its source line is a comment, so the assembler never saw it"),
              std::string::npos)
        << ran.out;
}

}  // namespace
}  // namespace cli
