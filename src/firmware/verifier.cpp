#include "firmware/verifier.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <string>

#include "firmware/reader.h"
#include "firmware/writer.h"

namespace tc {

namespace {

// An instruction of the source the assembler sees: its line, kind and register.
struct Written {
    std::size_t lineStart;
    Instruction::Kind kind;
    int reg;
};

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    return text;
}

// r0 to r31, or a name .def gave one.
int RegisterOf(std::string_view operand, const std::map<std::string, int>& names) {
    const std::string name = Lower(Trim(operand));
    if (const auto alias = names.find(name); alias != names.end()) return alias->second;
    if (name.size() < 2 || name.size() > 3 || name[0] != 'r') return -1;
    if (!std::all_of(name.begin() + 1, name.end(), [](char c) { return c >= '0' && c <= '9'; })) return -1;
    const int number = std::stoi(name.substr(1));
    return number <= 31 ? number : -1;
}

// The statement of a line without its comment and labels: mnemonic, first and second operand.
struct Statement {
    std::string mnemonic;
    std::string_view first, second;
};

Statement Parse(std::string_view line) {
    line = line.substr(0, line.find(';'));
    line = Trim(line);
    // Labels end with a colon before the mnemonic.
    for (auto colon = line.find(':');
         colon != std::string_view::npos && line.substr(0, colon).find_first_of(" \t,") == std::string_view::npos;
         colon = line.find(':'))
        line = Trim(line.substr(colon + 1));
    const auto space = line.find_first_of(" \t");
    Statement statement{Lower(line.substr(0, space)), {}, {}};
    if (space == std::string_view::npos) return statement;
    const std::string_view operands = line.substr(space + 1);
    const auto comma = operands.find(',');
    statement.first = Trim(operands.substr(0, comma));
    if (comma != std::string_view::npos) statement.second = Trim(operands.substr(comma + 1));
    return statement;
}

std::vector<Written> WrittenInstructions(const SourceText& source) {
    std::vector<Written> written;
    std::map<std::string, int> names;
    const std::string& text = source.Text();
    for (std::size_t start = 0; start < text.size(); start = source.NextLineStart(start).value_or(text.size())) {
        const Statement s = Parse(std::string_view(text).substr(start, source.LineEnd(start) - start));
        if (s.mnemonic == ".def") {
            const std::string_view definition = s.first;
            const auto equals = definition.find('=');
            if (equals != std::string_view::npos)
                names[Lower(Trim(definition.substr(0, equals)))] = RegisterOf(definition.substr(equals + 1), names);
        } else if (s.mnemonic == "ldi" || s.mnemonic == "ser") {
            written.push_back({start, Instruction::Ldi, RegisterOf(s.first, names)});
        } else if (s.mnemonic == "cpi") {
            written.push_back({start, Instruction::Cpi, RegisterOf(s.first, names)});
        } else if (s.mnemonic == "st" && Lower(s.first) == "x+") {
            written.push_back({start, Instruction::StoreXPlus, RegisterOf(s.second, names)});
        }
    }
    return written;
}

// What follows the instruction literal's comma, without the comment and the blanks.
std::string OperandAt(const SourceText& source, std::size_t position) {
    const std::size_t start = position + 8;
    const std::size_t end = source.LineEnd(source.LineStart(position));
    if (start >= end) return {};
    std::string_view operand = source.ReadWindow(start, end - start);
    return std::string(Trim(operand.substr(0, operand.find(';'))));
}

// What a save writes on the item's line, from what this program read there.
int SavedValue(const VerifiedItem& item, int sparkRead) {
    switch (item.what) {
        case VerifiedItem::Spark:
        case VerifiedItem::Entry: return item.expected;
        case VerifiedItem::Spark2: return sparkRead;  // the second spark line gets the first one's number
        case VerifiedItem::Speed: {
            if (item.expected < 0 || item.expected == 255) return -1;
            const long long speed = SpeedOfCode(item.expected);
            // A speed out of range stops the save.
            if (speed < kLowestSpeed || speed > kHighestSpeed) return -1;
            return static_cast<int>(SpeedCodeOf(static_cast<int>(speed)));
        }
    }
    return -1;
}

class Matcher {
public:
    Matcher(const SourceText& source, const Image& image)
        : source_(source), written_(WrittenInstructions(source)), decoded_(DecodeInstructions(image)) {}

    // The item at a match of its literal, for an instruction of the kind and register.
    VerifiedItem Find(VerifiedItem item, std::size_t position, Instruction::Kind kind, int reg) const {
        const std::size_t lineStart = source_.LineStart(position);
        item.line = source_.LineNumber(position);
        std::string digits;
        ReadNumberField(source_, position, digits);
        if (!digits.empty()) item.expected = std::stoi(digits);
        item.written = OperandAt(source_, position);
        item.assembled = AssemblerByte(item.written).value_or(-1);
        if (source_.Text().substr(lineStart, position - lineStart).find(';') != std::string::npos)
            return Missing(item, VerifiedItem::Commented);
        const auto same = [&](const auto& i) { return i.kind == kind && i.reg == reg; };
        const auto mine = std::find_if(written_.begin(), written_.end(),
                                       [&](const Written& w) { return w.lineStart == lineStart && same(w); });
        if (mine == written_.end()) return Missing(item, VerifiedItem::NotAnInstruction);
        item.inSource = static_cast<std::size_t>(std::count_if(written_.begin(), written_.end(), same));
        item.inImage = static_cast<std::size_t>(std::count_if(decoded_.begin(), decoded_.end(), same));
        if (item.inSource != item.inImage) return Missing(item, VerifiedItem::CountsDiffer);
        const auto index = std::count_if(written_.begin(), mine, same);
        auto at = std::find_if(decoded_.begin(), decoded_.end(), same);
        for (auto k = index; k > 0; --k) at = std::find_if(std::next(at), decoded_.end(), same);
        return Compare(item, at, kind);
    }

private:
    static VerifiedItem Missing(VerifiedItem item, VerifiedItem::Why why) {
        item.status = VerifiedItem::Missing;
        item.why = why;
        return item;
    }

    VerifiedItem Compare(VerifiedItem item, std::vector<Instruction>::const_iterator at, Instruction::Kind kind) const {
        item.address = at->wordAddress;
        item.found = at->value;
        if (kind == Instruction::Ldi) {
            const auto next = std::next(at);
            if (next == decoded_.end() || next->kind != Instruction::StoreXPlus || next->reg != at->reg ||
                next->wordAddress != at->wordAddress + 1)
                return Missing(item, VerifiedItem::NoStoreAfter);
        }
        if (item.expected < 0) return Missing(item, VerifiedItem::NoNumber);
        item.status = item.found == item.expected ? VerifiedItem::Same : VerifiedItem::Different;
        return item;
    }

    const SourceText& source_;
    std::vector<Written> written_;
    std::vector<Instruction> decoded_;
};

}  // namespace

std::optional<int> AssemblerByte(std::string_view operand) {
    const bool negative = operand.starts_with('-');
    if (negative) operand.remove_prefix(1);
    int base = 10;
    if (operand.starts_with('$')) {
        base = 16;
        operand.remove_prefix(1);
    } else if (operand.size() > 2 && operand[0] == '0' && (operand[1] == 'x' || operand[1] == 'X')) {
        base = 16;
        operand.remove_prefix(2);
    } else if (operand.size() > 2 && operand[0] == '0' && (operand[1] == 'b' || operand[1] == 'B')) {
        base = 2;
        operand.remove_prefix(2);
    }
    if (operand.empty() || operand.size() > 16) return std::nullopt;
    long long value = 0;
    for (const char c : operand) {
        const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                          : std::isxdigit(static_cast<unsigned char>(c))
                              ? std::tolower(static_cast<unsigned char>(c)) - 'a' + 10
                              : base;
        if (digit >= base) return std::nullopt;
        value = value * base + digit;
    }
    return static_cast<int>((negative ? -value : value) & 0xFF);
}

std::vector<VerifiedItem> VerifyImage(const SourceText& source, const SourceLayout& layout, const Image& image) {
    const Matcher matcher(source, image);
    std::vector<VerifiedItem> items;
    if (layout.spark) items.push_back(matcher.Find({.what = VerifiedItem::Spark}, *layout.spark, Instruction::Cpi, 18));
    if (layout.spark2)
        items.push_back(matcher.Find({.what = VerifiedItem::Spark2}, *layout.spark2, Instruction::Cpi, 19));
    for (std::size_t k = 0; k < layout.speeds.size(); ++k)
        items.push_back(matcher.Find({.what = VerifiedItem::Speed, .row = 32 - static_cast<int>(k)}, layout.speeds[k],
                                     Instruction::Cpi, 21));
    for (std::size_t t = 0; t < 3; ++t)
        for (std::size_t k = 0; k < layout.entries[t].size(); ++k)
            items.push_back(matcher.Find(
                {.what = VerifiedItem::Entry, .table = static_cast<int>(t) + 1, .row = static_cast<int>(k) + 1},
                layout.entries[t][k], Instruction::Ldi, 16));
    const int sparkRead = !items.empty() && items.front().what == VerifiedItem::Spark ? items.front().expected : -1;
    for (VerifiedItem& item : items) item.saved = SavedValue(item, sparkRead);
    return items;
}

}  // namespace tc
