// Save to file on an arbitrary source with arbitrary grid and combo-box texts.
//
// Input: one byte of options (bit 0 English, bits 1-2 the decimal separator),
// then actions, each ended by a NUL, up to an empty one; the rest is the
// file. An action is [kind][argument][text...]:
//   kind % 8 = 0..4  the text into cell (kind % 8, argument % 33)
//            = 5     the text into combo box argument % 3 (sensor, table,
//                    spark), with the change handler the window runs
//            = 6     a button: argument % 4 = Save to table, language,
//                    Save to file, Graph
//            = 7     the File button again, on the same path
#include <cstdint>

#include "fuzz_support.h"
#include "firmware/writer.h"
#include "table/grid.h"
#include "table/numbers.h"
#include "table/utf8.h"

namespace {

using fuzz::Check;

constexpr char32_t kSeparators[] = {U'.', U',', U'\u066B', U'\u00B7'};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool AllDigits(std::string_view text) { return std::all_of(text.begin(), text.end(), IsDigit); }

// Whether the key filters let a user type the text into an angle cell.
bool TypableAngle(std::string_view text, const std::string& separator) {
    for (std::size_t i = 0; i < text.size();) {
        if (text.compare(i, separator.size(), separator) == 0) {
            i += separator.size();
        } else if (IsDigit(text[i]) || text[i] == '-') {
            ++i;
        } else {
            return false;
        }
    }
    return true;
}

struct Run {
    fuzz::Session session;
    std::string separator;
    bool typable = true;  // every text could have been typed in the window

    explicit Run(char32_t sep) : session(sep), separator(tc::Utf8(sep)) {}

    void Act(std::string_view action) {
        const auto kind = static_cast<unsigned char>(action[0]) % 8;
        const auto argument = action.size() > 1 ? static_cast<unsigned char>(action[1]) : 0u;
        const std::string text(action.size() > 2 ? action.substr(2) : std::string_view());
        tc::Core& core = session.core;
        if (kind <= 4) {
            const int column = static_cast<int>(kind);
            const int row = static_cast<int>(argument % tc::kGridRows);
            typable = typable && row > 0 && tc::CellEditable(column, row) &&
                      (column == tc::kSpeedColumn ? AllDigits(text) : TypableAngle(text, separator));
            session.Show(core.Edit({tc::Field::Cell, column, row}, text));
        } else if (kind == 5) {
            switch (argument % 3) {
                case 0:
                    typable = typable && text.size() <= 2 && AllDigits(text);
                    session.Show(core.SetSensorAngle(text));
                    break;
                case 1:
                    typable = typable && (text.empty() || (text.size() == 1 && text[0] >= '1' && text[0] <= '3'));
                    session.Show(core.ChooseTable(text));
                    break;
                default:
                    typable = typable && AllDigits(text);
                    session.Show(core.SetSparkDuration(text));
                    break;
            }
        } else if (kind == 6) {
            switch (argument % 4) {
                case 0: session.Show(core.StoreAngles()); break;
                case 1: core.SwitchLanguage(); break;
                case 2: session.Show(core.Save()); break;
                default: session.Show(core.Plot()); break;
            }
        } else {
            session.chooser.answers.push_back(fuzz::kPath);
            session.Show(session.core.OpenSource());
        }
    }
};

// What a fresh window reads from the saved file is what the save wrote from:
// the tables, the speed codes, the spark code and the adjust-resistor flag.
// The file's number fields hold three digits, so only texts that fit are compared.
void CheckReadBack(const tc::Core& wrote, const std::string& saved, char32_t separator) {
    fuzz::Session reader(separator);
    reader.Load(saved);
    Check(reader.messages.all.empty(), "a saved file loads without a message", fuzz::LastShown(reader.messages));
    const tc::AdvanceGrid& was = wrote.Model().grid;
    const tc::AdvanceGrid& now = reader.core.Model().grid;
    for (int row = 1; row < tc::kGridRows; ++row) {
        for (int column = 1; column <= 3; ++column) {
            const std::string& text = was.Cell(column, row);
            if (text.size() > 3) continue;
            Check(now.Cell(column, row) == text, "a saved table entry reads back",
                  "(" + std::to_string(column) + ", " + std::to_string(row) + "): " + text + " then " +
                      now.Cell(column, row));
        }
        if (row >= 2) {
            const long long code = tc::SpeedCodeOf(tc::StrToInt(was.Cell(tc::kSpeedColumn, row)));
            Check(tc::SpeedCodeOf(tc::StrToInt(now.Cell(tc::kSpeedColumn, row))) == code, "a saved speed reads back",
                  "row " + std::to_string(row) + ": " + was.Cell(tc::kSpeedColumn, row) + " then " +
                      now.Cell(tc::kSpeedColumn, row));
        }
    }
    const long long spark = tc::SparkCodeOf(tc::StrToInt(wrote.Model().spark.text));
    if (spark < 1000)
        Check(reader.core.Model().spark.text == std::to_string(6 * spark), "a saved spark duration reads back",
              wrote.Model().spark.text + " then " + reader.core.Model().spark.text);
    Check(reader.core.TrimmerFlag() == wrote.TrimmerFlag(), "a save keeps the adjust-resistor flag");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    if (input.empty()) return 0;
    const auto options = static_cast<unsigned char>(input[0]);
    input.remove_prefix(1);
    std::vector<std::string_view> actions;
    while (!input.empty()) {
        const std::size_t end = input.find('\0');
        const std::string_view action = input.substr(0, end);
        input.remove_prefix(end == std::string_view::npos ? input.size() : end + 1);
        if (action.empty()) break;
        actions.push_back(action);
    }
    if (actions.size() > 64) return -1;  // long scripts add nothing but time

    const char32_t separator = kSeparators[(options >> 1) % 4];
    Run run(separator);
    if (options & 1) run.session.core.SwitchLanguage();
    run.session.Load(input);
    for (const std::string_view action : actions) run.Act(action);

    tc::Core& form = run.session.core;
    const tc::SourceText before = form.Source();
    const int writes = run.session.files.writes;
    const std::string file = run.session.Saved();
    const std::size_t shown = run.session.messages.all.size();
    run.session.Show(form.Save());
    const std::size_t said = run.session.messages.all.size() - shown;

    if (run.session.files.writes == writes) {
        Check(said == 1, "a refused save says why, once");
        Check(form.Source().Text() == before.Text() && form.Source().Tail() == before.Tail(),
              "a refused save leaves the text as it was");
        Check(run.session.Saved() == file, "a refused save writes nothing");
        return 0;
    }
    Check(said == 0, "a save that went through shows nothing", fuzz::LastShown(run.session.messages));
    Check(run.session.Saved() == form.Source().ToFileBytes(), "the file gets the text that is shown");
    fuzz::CheckOnlyRewrittenLinesChanged(before, form.Source());
    if (run.typable) CheckReadBack(form, run.session.Saved(), separator);
    return 0;
}
