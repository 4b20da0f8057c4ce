// A builder of small firmware sources, and the shared recorders.
#pragma once

#include <array>
#include <cstdlib>
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "firmware/source_text.h"
#include "support/recorders.h"
#include "text/texts.h"

namespace tc::test {

inline std::string Cp(std::string_view utf8) { return Utf8ToCp1251(utf8); }

// The texts of the diagnostics the tests expect, by their arguments.
inline std::string Said(Diagnostic::Kind kind, unsigned language) { return Render({.kind = kind}, language); }
inline std::string MissingItem(const std::string& literal, unsigned language) {
    return Render({.kind = Diagnostic::Kind::MissingItem, .literal = literal}, language);
}
inline std::string TooFewEntries(std::size_t found, const std::string& label, unsigned language) {
    return Render(
        {.kind = Diagnostic::Kind::TooFewEntries, .literal = "ldi R16,", .table = label, .found = found, .needed = 32},
        language);
}
inline std::string AtLine(Diagnostic::Kind kind, std::size_t line, unsigned language, const std::string& literal = {}) {
    return Render({.kind = kind, .literal = literal, .line = line}, language);
}

// The angle text from exact tenths of a degree, "." as separator.
inline std::string TenthsText(int sensor, int code) {
    if (code == 180) return "-";
    const int tenths = code < 180 ? 10 * sensor - 7 * code : 10 * sensor + 7 * (255 - code);
    const int magnitude = std::abs(tenths);
    std::string text = tenths < 0 ? "-" : "";
    text += std::to_string(magnitude / 10);
    if (magnitude % 10 != 0) text += "." + std::to_string(magnitude % 10);
    return text;
}

// Speed codes of the sample firmware, the one for row 32 first.
inline constexpr std::array<int, 31> kSampleSpeedCodes = {249, 248, 247, 246, 244, 243, 242, 240, 239, 238, 237,
                                                          235, 234, 232, 231, 228, 226, 222, 219, 216, 212, 208,
                                                          203, 196, 190, 182, 171, 157, 138, 109, 60};

using Tables = std::array<std::array<int, 32>, 3>;

// Every cell tells its table and row apart; table 3 holds 179, 180 and 181, table 2 ends in 255.
inline Tables DistinctTables() {
    Tables tables{};
    for (int r = 0; r < 32; ++r) {
        tables[0][static_cast<std::size_t>(r)] = r;
        tables[1][static_cast<std::size_t>(r)] = r == 31 ? 255 : 200 + r;
        tables[2][static_cast<std::size_t>(r)] = 165 + r;
    }
    return tables;
}

struct FirmwareValues {
    int sensor = 20;  // for the angle comments
    int sparkCode = 11;
    std::string sparkComment = "66";
    bool secondSparkLine = true;
    std::array<int, 31> speedCodes = kSampleSpeedCodes;
    Tables tables = DistinctTables();
    std::string trimmerLine = "sbi ADCSRA, ADEN";  // empty: the source has none
    bool ownFormat = true;                         // false: the rewritten lines carry other comments and leading tabs
};

// A source as lines of UTF-8 text; Bytes() gives the file.
struct Firmware {
    std::vector<std::string> lines;

    std::string Bytes(std::string_view lineBreak = "\r\n") const {
        std::string out;
        for (const auto& line : lines) out += Cp(line) + std::string(lineBreak);
        return out;
    }
    // The index of the nth line that starts with the prefix.
    std::size_t Index(std::string_view prefix, int nth = 0) const {
        for (std::size_t i = 0; i < lines.size(); ++i)
            if (lines[i].starts_with(prefix) && nth-- == 0) return i;
        std::abort();
    }
    void Insert(std::size_t at, std::string line) {
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
    }
    void Erase(std::size_t at) { lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(at)); }
};

inline Firmware MakeFirmware(const FirmwareValues& v = {}) {
    Firmware fw;
    auto& l = fw.lines;
    const std::string lead = v.ownFormat ? "" : "\t";
    const auto spark = [&](const char* reg) {
        if (v.ownFormat)
            return "cpi " + std::string(reg) + ", " + std::to_string(v.sparkCode) + "\t\t;" + v.sparkComment + "mks";
        return "\tcpi " + std::string(reg) + ", " + std::to_string(v.sparkCode) + " ; spark";
    };
    l = {"; timing test source", ".device ATmega8", "",           ";блок задержки искры", "Spark:", "\tclr R18",
         "SparkHold:",           "\tinc R18",       spark("R18"), "\tbrlo SparkHold"};
    if (v.secondSparkLine) {
        l.push_back("\tclr R19");
        l.push_back(spark("R19"));
    }
    l.insert(l.end(), {"\tret", "Ext0:", "\tldi R20, 31"});
    for (int code : v.speedCodes) {
        l.push_back(v.ownFormat ? "cpi R21, " + std::to_string(code) + "\t;сравнение РОН с контстантой"
                                : "\tcpi R21, " + std::to_string(code) + " ; threshold");
        l.push_back("\tbrsh SpeedHit");
    }
    l.insert(l.end(), {"SpeedHit:", "\tret", "AdcInit:"});
    if (!v.trimmerLine.empty()) l.push_back(v.trimmerLine);
    l.push_back("\tret");
    for (std::size_t t = 0; t < 3; ++t) {
        l.push_back("FuozTable" + std::to_string(t + 1) + ":");
        for (int code : v.tables[t]) {
            if (v.ownFormat) {
                l.push_back("ldi R16, " + std::to_string(code) + "\t;множитель");
                l.push_back("st X+, R16\t;в ОЗУ, " + TenthsText(v.sensor, code) + "°");
            } else {
                l.push_back("\tldi R16, " + std::to_string(code) + " ; code");
                l.push_back("\tst X+, R16");
            }
        }
        l.push_back("\tret");
    }
    l.push_back(".exit");
    return fw;
}

inline std::vector<std::string> SplitLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t lf = bytes.find("\r\n", start);
        if (lf == std::string::npos) {
            lines.push_back(bytes.substr(start));
            break;
        }
        lines.push_back(bytes.substr(start, lf - start));
        start = lf + 2;
    }
    return lines;
}

}  // namespace tc::test
