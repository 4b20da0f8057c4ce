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

// Why the image differs: the source's number read otherwise by the assembler, or an image of another source.
std::string WhyDifferent(const VerifiedItem& item) {
    const std::string source = "the source's `" + item.written + "`";
    const std::string save = item.saved < 0 ? "" : "; a save writes " + std::to_string(item.saved);
    if (item.assembled < 0)
        return source + " is no plain number; this program reads " + std::to_string(item.expected) + save;
    if (item.assembled != item.expected)
        return source + " is " + std::to_string(item.assembled) + " to the assembler and " +
               std::to_string(item.expected) + " to this program" + save;
    return source + " is " + std::to_string(item.expected) +
           " to the assembler too: the image was not assembled from this source";
}

std::string Verdict(const VerifiedItem& item) {
    switch (item.status) {
        case VerifiedItem::Same: return "the same at " + Hex(item.address);
        case VerifiedItem::Different:
            return "different: the image holds " + std::to_string(item.found) + " at address " + Hex(item.address) +
                   "; " + WhyDifferent(item);
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
    if (item.status == VerifiedItem::Different) json["why"] = WhyDifferent(item);
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
