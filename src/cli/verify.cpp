#include "cli/verify.h"

#include <algorithm>
#include <cstdio>
#include <ostream>

#include "cli/json.h"

namespace tc::cli {

std::string ImageBeside(const std::string& source) {
    const std::size_t slash = source.find_last_of("/\\");
    const std::size_t dot = source.rfind('.');
    const bool extension = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
    return (extension ? source.substr(0, dot) : source) + ".hex";
}

namespace {

std::string Hex(std::uint32_t address) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%04X", static_cast<unsigned>(address));
    return text;
}

std::string NameOf(const VerifiedItem& item) {
    switch (item.what) {
        case VerifiedItem::Spark: return "spark";
        case VerifiedItem::Spark2: return "spark, second line";
        case VerifiedItem::Speed: return "speed, row " + std::to_string(item.row);
        case VerifiedItem::Entry: return "table " + std::to_string(item.table) + ", row " + std::to_string(item.row);
    }
    return {};
}

std::string InstructionOf(const VerifiedItem& item) {
    const char* text = item.what == VerifiedItem::Entry    ? "ldi r16"
                       : item.what == VerifiedItem::Speed  ? "cpi r21"
                       : item.what == VerifiedItem::Spark2 ? "cpi r19"
                                                           : "cpi r18";
    return std::string(text) + ", " + (item.expected < 0 ? "?" : std::to_string(item.expected));
}

std::string WhyMissing(const VerifiedItem& item) {
    switch (item.why) {
        case VerifiedItem::Commented: return "its source line is a comment, so the assembler never saw it";
        case VerifiedItem::NotAnInstruction: return "its source line is no instruction the assembler sees";
        case VerifiedItem::CountsDiffer:
            return "the source has " + std::to_string(item.inSource) + " such instructions and the image " +
                   std::to_string(item.inImage) + ", so they cannot be paired";
        case VerifiedItem::NoStoreAfter: return "the image has no st X+, r16 right after it, at " + Hex(item.address);
        case VerifiedItem::NoNumber: return "its source line holds no number the reader takes";
        case VerifiedItem::None: break;
    }
    return {};
}

std::string Verdict(const VerifiedItem& item) {
    switch (item.status) {
        case VerifiedItem::Same: return "the same at " + Hex(item.address);
        case VerifiedItem::Different:
            return "different: the image holds " + std::to_string(item.found) + " at address " + Hex(item.address);
        case VerifiedItem::Missing: return "not in the image: " + WhyMissing(item);
    }
    return {};
}

Json JsonItem(const VerifiedItem& item) {
    static const char* const kStatus[] = {"same", "different", "missing"};
    Json json = {{"item", NameOf(item)},
                 {"line", item.line},
                 {"source", item.expected < 0 ? Json() : Json(item.expected)},
                 {"status", kStatus[item.status]}};
    if (item.status != VerifiedItem::Missing || item.why == VerifiedItem::NoStoreAfter) {
        json["address"] = item.address;
        json["image"] = item.found;
    }
    if (item.status == VerifiedItem::Missing) json["reason"] = WhyMissing(item);
    return json;
}

}  // namespace

void PrintVerification(std::ostream& out, const std::vector<VerifiedItem>& items, const std::string& source,
                       const std::string& image, bool json) {
    const auto count = [&](VerifiedItem::Status status) {
        return std::count_if(items.begin(), items.end(), [&](const VerifiedItem& i) { return i.status == status; });
    };
    if (json) {
        Json list = Json::array();
        for (const VerifiedItem& item : items) list.push_back(JsonItem(item));
        out << OneLine(Json{{"source", source},
                            {"image", image},
                            {"items", list},
                            {"same", count(VerifiedItem::Same)},
                            {"different", count(VerifiedItem::Different)},
                            {"missing", count(VerifiedItem::Missing)}})
            << '\n';
        return;
    }
    for (const VerifiedItem& item : items)
        out << NameOf(item) << " (line " << item.line << ", " << InstructionOf(item) << "): " << Verdict(item) << '\n';
    out << "verify: " << items.size() << " items, " << count(VerifiedItem::Same) << " the same, "
        << count(VerifiedItem::Different) << " different, " << count(VerifiedItem::Missing) << " not in the image\n";
}

}  // namespace tc::cli
