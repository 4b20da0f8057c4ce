// One table of user sessions that both windows go through, the Qt one and the
// Win32 one, each with its own driver of real clicks and keys. Each checks the
// messages itself and writes what it saved, said and showed into a folder of
// results; tests/cross/window_parity.sh compares the two folders byte for byte.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "cli/cli_support.h"
#include "support/recorders.h"

namespace scenarios {

namespace fs = std::filesystem;
using tc::test::Message;
using tc::test::WindowRecorders;

// What a user does, through a window's driver.
struct Action {
    enum Kind {
        Click,      // button `number`
        TypeCombo,  // over the whole text of combo box `number`, key by key
        PickItem,   // item `index` of combo box `number`, from its list
        TypeCell,   // into cell (`number`, `index`) over its whole text, key by key
    } kind;
    int number = 0;
    int index = 0;
    std::string text;
};

inline Action Click(int button) { return {Action::Click, button, 0, {}}; }
inline Action TypeCombo(int combo, std::string text) { return {Action::TypeCombo, combo, 0, std::move(text)}; }
inline Action PickItem(int combo, int index) { return {Action::PickItem, combo, index, {}}; }
inline Action TypeCell(int column, int row, std::string text) {
    return {Action::TypeCell, column, row, std::move(text)};
}

class Driver {
public:
    virtual ~Driver() = default;
    virtual void Do(const Action& action) = 0;
    virtual std::string Cell(int column, int row) = 0;
    // The text combo box `number` shows, as the window's own control holds it.
    virtual std::string Combo(int number) = 0;
};

struct Scenario {
    const char* name;
    std::string source;  // the bytes of the file the File button opens
    std::vector<Action> actions;
    std::vector<Message> messages;  // what the boxes say, in order
};

inline void PrintTo(const Scenario& scenario, std::ostream* os) { *os << scenario.name; }

inline std::string LineFeeds() { return cli::ReplaceAll(cli::Sample(), "\r\n", "\n"); }

// Line feeds alone up to the first table, CR LF from there on.
inline std::string MixedLineEnds() {
    const std::string sample = cli::Sample();
    const std::size_t tables = sample.find("FuozTable1:");
    return cli::ReplaceAll(sample.substr(0, tables), "\r\n", "\n") + sample.substr(tables);
}

// Table 3 without its last three entries.
inline std::string ShortTable3() {
    std::string sample = cli::Sample();
    const std::size_t from = sample.find("ldi R16, 2\t", sample.find("FuozTable3:"));
    sample.erase(from, sample.find("\tret", from) - from);
    return sample;
}

inline const std::vector<Scenario>& All() {
    static const std::vector<Scenario> all = {
        {"OpenAndSave", cli::Sample(), {Click(1), Click(5)}, {}},
        {"EditEverythingInEnglish",
         cli::Sample(),
         {Click(7), TypeCombo(1, "15"), PickItem(2, 1), Click(1), TypeCell(4, 1, "-20.3"), TypeCell(4, 2, "-"),
          TypeCell(4, 3, "12,35"), TypeCell(4, 9, "66.8"), TypeCombo(3, "90"), TypeCell(0, 3, "1100"),
          TypeCell(0, 32, "19990"), Click(2), Click(4), Click(5)},
         {}},
        {"StoreTable3AtSensor35",
         cli::Sample(),
         {PickItem(1, 1), PickItem(2, 2), Click(1), TypeCell(4, 10, "30.35"), TypeCell(4, 11, "-"), Click(2), Click(5)},
         {}},
        {"AngleAboveRangeIsRefused",
         cli::Sample(),
         {Click(1), TypeCell(4, 3, "80"), Click(5)},
         {{"warning", "Превышен предел 52° выше датчика"}}},
        {"AngleBelowRangeIsRefusedInEnglish",
         cli::Sample(),
         {Click(1), Click(7), TypeCell(4, 5, "-106"), Click(2)},
         {{"warning", "Over range 125° below the sensor"}}},
        {"BadAngleStopsThePlot",
         cli::Sample(),
         {Click(1), TypeCell(4, 3, "1-2"), Click(4)},
         {{"app", "'1-2' is not a valid floating point value."}}},
        {"MissingDataInEnglish", cli::Sample(), {Click(7), Click(4)}, {{"warning", "Missing data"}}},
        {"SpeedTooHigh",
         cli::Sample(),
         {Click(1), TypeCell(0, 32, "20001"), Click(5)},
         {{"warning", "Превышены обороты 20000/мин"}}},
        {"LineFeedsKept", LineFeeds(), {Click(1), TypeCell(4, 2, "19.3"), TypeCombo(3, "72"), Click(5)}, {}},
        {"NoTable3",
         cli::ReplaceOnce(cli::Sample(), "FuozTable3:", "FuozTableX:"),
         {Click(1), Click(5)},
         {{"warning", "В исходном тексте не найдено: \"FuozTable3:\""},
          {"warning", "В исходном тексте не найдено: \"FuozTable3:\""}}},
        // The list's item is taken even when it is the current one, under a typed text.
        {"SensorRepickedAfterTyping", cli::Sample(), {Click(1), TypeCombo(1, "7"), PickItem(1, 4), Click(5)}, {}},
        {"EditsBeforeOpen",
         cli::Sample(),
         {TypeCell(4, 11, "5"), Click(4), PickItem(2, 2), TypeCombo(3, "120"), Click(1), Click(5)},
         {{"app", "'' is not a valid floating point value."}, {"app", "'' is not a valid integer value."}}},
        {"LanguageSwitchedBetweenCellEdits",
         cli::Sample(),
         {Click(1), TypeCell(4, 2, "15.5"), Click(7), TypeCell(4, 3, "16"), Click(7), Click(7), TypeCell(4, 4, "-130"),
          Click(5)},
         {{"warning", "Over range 125° below the sensor"}}},
        {"StoredTable2SurvivesSwitching",
         cli::Sample(),
         {Click(1), PickItem(2, 1), TypeCell(4, 6, "25.5"), Click(2), PickItem(2, 0), PickItem(2, 1), Click(5)},
         {}},
        {"AngleCellEdges",
         cli::Sample(),
         {Click(1), TypeCell(4, 1, "-"), TypeCell(4, 2, "0"), TypeCell(4, 3, ",5"), TypeCell(4, 4, "5,"),
          TypeCell(4, 5, "+"), TypeCell(4, 6, "0019.30"), TypeCell(4, 7, "19.65000000000000000001"),
          TypeCell(4, 8, "72.1"), TypeCell(4, 9, "-105.6"), TypeCell(4, 10, "20.2"), Click(5)},
         {}},
        {"SpeedsFilteredAndOutOfOrder",
         cli::Sample(),
         {Click(1), TypeCell(0, 4, "1a2-3.4,5"), TypeCell(0, 5, "3000"), TypeCell(0, 6, "0600"), Click(5)},
         {}},
        {"MixedLineEnds", MixedLineEnds(), {Click(1), TypeCell(4, 2, "19"), Click(5)}, {}},
        {"Table3ShortOfEntries",
         ShortTable3(),
         {Click(1), PickItem(2, 2), Click(5)},
         {{"warning", "Найдено только 29 из 32 строк \"ldi R16,\" после FuozTable3:"},
          {"app", "'' is not a valid integer value."},
          {"warning", "Найдено только 29 из 32 строк \"ldi R16,\" после FuozTable3:"}}},
    };
    return all;
}

// The results of a scenario, as both windows write them.
inline std::string Printed(const std::vector<Message>& messages) {
    std::string text;
    for (const auto& m : messages) text += m.kind + ": " + m.text + "\n";
    return text;
}

inline std::string Grid(Driver& driver) {
    std::string text;
    for (int row = 0; row <= 32; ++row) {
        for (int column = 0; column < 5; ++column) text += (column ? "\t" : "") + driver.Cell(column, row);
        text += "\n";
    }
    // The combo boxes as shown: a window could show one text and save another.
    return text + "combos:\t" + driver.Combo(1) + "\t" + driver.Combo(2) + "\t" + driver.Combo(3) + "\n";
}

// Runs the scenario on its source, written as CDI.asm into a folder of its own,
// which the open dialog answers with; then writes NAME.asm (the file afterwards),
// NAME.messages and NAME.grid into the folder named by TIMINGCALC_SCENARIOS_OUT,
// when the build names one.
inline void Run(const Scenario& scenario, Driver& driver, WindowRecorders& recorders) {
    cli::Folder folder;
    const fs::path file = folder / "CDI.asm";
    cli::WriteFile(file, scenario.source);
    recorders.chooser.answers.push_back(file.string());
    const std::vector<Message>& messages = recorders.messages.all;
    for (const Action& action : scenario.actions) driver.Do(action);
    EXPECT_EQ(Printed(messages), Printed(scenario.messages));
#ifdef TIMINGCALC_SCENARIOS_OUT
    const fs::path out = fs::path(TIMINGCALC_SCENARIOS_OUT);
    fs::create_directories(out);
    cli::WriteFile(out / (std::string(scenario.name) + ".asm"), cli::ReadFile(file));
    cli::WriteFile(out / (std::string(scenario.name) + ".messages"), Printed(messages));
    cli::WriteFile(out / (std::string(scenario.name) + ".grid"), Grid(driver));
#else
    (void)file;
#endif
}

}  // namespace scenarios
