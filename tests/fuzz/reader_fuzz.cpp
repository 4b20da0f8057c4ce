// Arbitrary file bytes through the reader: the text the scans see, the scan,
// then the File button, Save to file and the File button again on what it saved.
#include <cstdint>

#include "fuzz_support.h"
#include "firmware/writer.h"
#include "table/numbers.h"

namespace {

using fuzz::Check;
using fuzz::Visible;

// The body up to a Ctrl-Z as lines: every CR right before an LF dropped, an LF after the last line.
std::string ExpectedLines(std::string_view body) {
    std::string out;
    for (std::size_t i = 0; i < body.size(); ++i)
        if (!(body[i] == '\r' && i + 1 < body.size() && body[i + 1] == '\n')) out += body[i];
    if (!out.empty() && out.back() != '\n') out += '\n';
    return out;
}

std::string WithoutCrBeforeLf(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
    return out;
}

void CheckText(std::string_view bytes, const tc::SourceText& source) {
    const std::size_t end = std::min(bytes.find(tc::kCtrlZ), bytes.size());
    Check(source.Tail() == bytes.substr(end), "the tail is the bytes from the first Ctrl-Z on", Visible(source.Tail()));
    Check(source.Text().find(tc::kCtrlZ) == std::string::npos, "the text holds no Ctrl-Z");
    Check(WithoutCrBeforeLf(source.Text()) == ExpectedLines(bytes.substr(0, end)),
          "the text holds the file's lines, each with CR LF", Visible(source.Text()));
    fuzz::Lines(source);  // every line ends in CR LF

    // A file already written with CR LF throughout comes back byte for byte.
    const tc::SourceText again = tc::SourceText::FromFileBytes(source.ToFileBytes());
    Check(again.Text() == source.Text() && again.Tail() == source.Tail(), "reading what was written changes nothing");
}

bool Holds(const tc::SourceText& source, std::size_t at, std::string_view literal) {
    return source.Text().compare(at, literal.size(), literal) == 0;
}

void CheckLayout(const tc::SourceText& source, const tc::SourceLayout& layout) {
    const std::string& text = source.Text();
    if (!layout.marker) {
        Check(layout.stop == tc::ScanStop::Marker && text.find(tc::kSparkMarker) == std::string::npos,
              "without a marker the scan stops at it");
        return;
    }
    const std::size_t m = *layout.marker;
    Check(text.find(tc::kSparkMarker) == m, "the first marker counts");
    std::size_t last = m;
    const auto next = [&](std::size_t at, std::string_view literal, const char* what) {
        Check(at > last && Holds(source, at, literal), what, std::to_string(at) + " after " + std::to_string(last));
        last = at;
    };
    if (layout.spark) {
        next(*layout.spark, tc::kSparkLiteral, "the spark line follows the marker");
        Check(*layout.spark <= m + tc::kSparkReach, "the spark line lies within its reach");
        if (layout.spark2) {
            Check(*layout.spark2 > *layout.spark && *layout.spark2 <= *layout.spark + tc::kSpark2Reach &&
                      Holds(source, *layout.spark2, tc::kSpark2Literal),
                  "the second spark line lies within its reach");
        }
    }
    for (const std::size_t at : layout.speeds) next(at, tc::kSpeedLiteral, "speed lines in order");
    Check(layout.speeds.size() <= static_cast<std::size_t>(tc::kSpeedLines), "at most 31 speed lines");
    if (layout.stop == tc::ScanStop::Speeds) return;
    Check(layout.speeds.size() == static_cast<std::size_t>(tc::kSpeedLines), "31 speed lines before the tables");
    for (const std::size_t at : layout.trimmers)
        Check(at > last && Holds(source, at, tc::kTrimmerLiteral), "trimmer instructions after the speeds");
    for (std::size_t t = 0; t < 3; ++t) {
        if (!layout.labels[t]) {
            Check(layout.entries[t].empty() &&
                      static_cast<int>(layout.stop) == static_cast<int>(tc::ScanStop::Label1) + 2 * static_cast<int>(t),
                  "the scan stops at a missing label");
            return;
        }
        next(*layout.labels[t], tc::kTableLabels[t], "table labels in order");
        for (const std::size_t at : layout.entries[t]) next(at, tc::kEntryLiteral, "table entries in order");
        if (layout.entries[t].size() < static_cast<std::size_t>(tc::kTableEntries)) {
            Check(static_cast<int>(layout.stop) == static_cast<int>(tc::ScanStop::Entries1) + 2 * static_cast<int>(t),
                  "the scan stops at a short table");
            return;
        }
    }
    Check(layout.stop == tc::ScanStop::Complete, "a scan that found everything is complete");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const tc::SourceText source = tc::SourceText::FromFileBytes(bytes);
    CheckText(bytes, source);
    CheckLayout(source, tc::ScanSource(source));

    fuzz::Session first;
    first.Load(bytes);
    if (bytes.empty()) {
        Check(first.messages.all.size() == 1 && first.messages.all[0].text == "Файл пуст: " + std::string(fuzz::kPath),
              "an empty file says so");
        return 0;
    }
    Check(first.core.Source().Text() == source.Text() && first.core.Source().Tail() == source.Tail(),
          "the File button holds the text the scans see");

    const std::size_t before = first.messages.all.size();
    first.Show(first.core.Save());
    const std::size_t said = first.messages.all.size() - before;
    if (first.files.writes == 0) {
        Check(said == 1, "a refused save says why, once");
        Check(first.core.Source().Text() == source.Text() && first.core.Source().Tail() == source.Tail(),
              "a refused save leaves the text as it was");
        return 0;
    }
    Check(said == 0, "a save that went through shows nothing", fuzz::LastShown(first.messages));
    const std::string saved = first.Saved();
    Check(saved == first.core.Source().ToFileBytes(), "the file gets the text that is shown");
    fuzz::CheckOnlyRewrittenLinesChanged(source, first.core.Source());

    // What a save wrote reads back as the grid it was written from. Only the
    // spark code has room for three digits in the file; a longer one can only
    // come from a field that appended to the start-up duration.
    const fuzz::Snapshot written = fuzz::Snapshot::Of(first.core);
    fuzz::Session second;
    second.Load(saved);
    fuzz::Snapshot reread = fuzz::Snapshot::Of(second.core);
    const bool sparkFits = tc::SparkCodeOf(tc::StrToInt(written.spark)) < 1000;
    if (!sparkFits) reread.spark = written.spark;
    const std::string difference = written.Difference(reread);
    Check(difference.empty(), "load, save, load gives the same grid", difference);
    Check(second.messages.all.empty(), "a saved file loads without a message", fuzz::LastShown(second.messages));

    // And saving it again changes nothing.
    second.Show(second.core.Save());
    Check(second.files.writes == 1 && second.messages.all.empty(), "a saved file saves again",
          fuzz::LastShown(second.messages));
    if (sparkFits) Check(second.Saved() == saved, "saving twice gives the same file");
    return 0;
}
