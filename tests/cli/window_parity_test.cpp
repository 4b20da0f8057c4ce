// The real window and timingcalc-cli, given the same steps on the same
// source, show the same tables, say the same and write the same bytes.
#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include "support/recorders.h"
#include "Unit1.h"
#include "cli_support.h"

namespace cli {
namespace {

// --- sources the program has not seen: the sample, changed -------------------------

std::string WithCode(std::string source, int t, int row, const std::string& code) {
    const auto span = FindEntry(source, t, row);
    if (!span) {
        ADD_FAILURE() << "table " << t << " has no entry " << row;
        return source;
    }
    source.replace(span->code, span->codeLength, code);
    return source;
}

std::string OtherCodes() {
    std::string source = Sample();
    for (int row = 1; row <= 32; ++row) {
        const int code = row % 9 == 0 ? 180 : (row * 37 + 11) % 256;
        source = WithCode(source, 2, row, std::to_string(code));
    }
    source = WithCode(source, 3, 4, "255");
    source = ReplaceOnce(source, "\nsbi ADCSRA, ADEN", "\n;sbi ADCSRA, ADEN");  // no adjust resistor
    source = ReplaceOnce(source, "cpi R18, 11\t", "cpi R18, 20\t");
    source = ReplaceOnce(source, "cpi R19, 11\t", "cpi R19, 7\t");
    return ReplaceOnce(source, "\ncpi R21, 109\t", "\ncpi R21, 120\t");
}

std::string LineFeedsAndTail() { return ReplaceAll(Sample(), "\r\n", "\n") + "\x1A" + "after the end\r\n"; }

struct Variant {
    const char* name;
    std::string bytes;
};

const std::vector<Variant>& Variants() {
    static const std::vector<Variant> variants = {
        {"Sample", Sample()},
        {"OtherCodes", OtherCodes()},
        {"LineFeedsAndTail", LineFeedsAndTail()},
        {"NoTable3", ReplaceOnce(Sample(), "FuozTable3:", "FuozTableX:")},
        {"SpeedCode255", ReplaceOnce(Sample(), "\ncpi R21, 249\t", "\ncpi R21, 255\t")},
    };
    return variants;
}

// --- the steps -------------------------------------------------------------------

struct Steps {
    const char* name;
    std::string sensor;
    std::string table;
    std::optional<std::vector<std::string>> angles;
    std::optional<std::string> spark;
    std::optional<std::vector<std::string>> rpm;
};

std::vector<std::string> EditedAngles() {
    std::vector<std::string> angles;
    for (int k = 0; k < 32; ++k) angles.push_back(std::to_string(-100 + 5 * k));
    angles[4] = "-";
    angles[8] = "12.35";
    angles[19] = "66.8";
    angles[0] = "-110.3";
    return angles;
}

std::vector<std::string> EditedRpm() {
    std::vector<std::string> rpm;
    for (int k = 0; k < 31; ++k) rpm.push_back(std::to_string(500 + 600 * k));
    rpm[30] = "20000";
    return rpm;
}

std::vector<std::string> OneAngleTooHigh() {
    std::vector<std::string> angles = EditedAngles();
    angles[6] = "80";
    return angles;
}

const std::vector<Steps>& AllSteps() {
    static const std::vector<Steps> steps = {
        {"AsRead", "20", "1", {}, {}, {}},
        {"Sensor35Table3", "35", "3", {}, {}, {}},
        {"EditEverything", "15", "2", EditedAngles(), "90", EditedRpm()},
        {"RefusedAngle", "15", "1", OneAngleTooHigh(), {}, {}},
    };
    return steps;
}

// --- the window going through the steps ----------------------------------------------

struct WindowRun {
    std::string loadMessages;  // as printed
    std::string json;          // what it shows, in show's JSON form
    std::string saveMessages;
};

std::string JsonNumber(const std::string& text) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return "null";
    return std::to_string(std::stoll(text));
}

class Window {
public:
    explicit Window(const std::string& path) {
        chooser_.answers.push_back(path);
        desktop_.onPath.clear();
        desktop_.startSucceeds = false;
        TForm1::Services services;
        services.messages = &messages_;
        services.chooser = &chooser_;
        services.desktop = &desktop_;
        services.decimalSeparator = U'.';
        form_ = std::make_unique<TForm1>(services);
        form_->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
    }

    WindowRun Run(const Steps& steps, const std::string& path) {
        WindowRun run;
        form_->Button7->click();  // English
        Type(form_->ComboBox1, steps.sensor);
        Type(form_->ComboBox2, steps.table);
        form_->Button1->click();
        run.loadMessages = messages_.Printed();
        run.json = Shown(path);
        if (!run.loadMessages.empty()) return run;

        if (steps.angles)
            for (int row = 1; row <= 32; ++row) Edit(4, row, steps.angles->at(static_cast<std::size_t>(row - 1)));
        if (steps.spark) Type(form_->ComboBox3, *steps.spark);
        if (steps.rpm)
            for (int row = 2; row <= 32; ++row) Edit(0, row, steps.rpm->at(static_cast<std::size_t>(row - 2)));
        messages_.all.clear();
        form_->Button5->click();
        run.saveMessages = messages_.Printed();
        return run;
    }

private:
    // Over the combo box's whole text, key by key.
    static void Type(QComboBox* combo, const std::string& text) {
        combo->lineEdit()->selectAll();
        if (text.empty()) QTest::keyClick(combo->lineEdit(), Qt::Key_Backspace);
        QTest::keyClicks(combo->lineEdit(), QString::fromStdString(text));
        QApplication::processEvents();
    }

    // What a finished cell editor hands to the grid.
    void Edit(int column, int row, const std::string& text) {
        auto* model = form_->StringGrid1->model();
        EXPECT_TRUE(model->setData(model->index(row - 1, column), QString::fromStdString(text), Qt::EditRole));
    }

    std::string Cell(int column, int row) const {
        auto* model = form_->StringGrid1->model();
        return model->data(model->index(row - 1, column), Qt::DisplayRole).toString().toStdString();
    }

    std::string Shown(const std::string& path) const {
        const bool resistor = form_->Chart1->Title().contains("with adjust resistor");
        std::string json =
            "{\"file\": \"" + path + "\", \"spark_us\": " + JsonNumber(form_->ComboBox3->currentText().toStdString()) +
            ", \"adjust_resistor\": " + (resistor ? "true" : "false") +
            ", \"sensor\": " + JsonNumber(form_->ComboBox1->currentText().toStdString()) +
            ", \"table\": " + JsonNumber(form_->ComboBox2->currentText().toStdString()) + ", \"rows\": [";
        for (int row = 1; row <= 32; ++row) {
            const std::string angle = Cell(4, row);
            json += std::string(row > 1 ? ", " : "") + "{\"rpm\": " + JsonNumber(Cell(0, row)) + ", \"codes\": [" +
                    JsonNumber(Cell(1, row)) + ", " + JsonNumber(Cell(2, row)) + ", " + JsonNumber(Cell(3, row)) +
                    "], \"angle\": " + (angle.empty() ? "null" : "\"" + angle + "\"") + "}";
        }
        return json + "]}\n";
    }

    // Printed() captions the boxes as the program prints them.
    tc::test::RecordingMessages messages_;
    tc::test::ScriptedChooser chooser_;
    tc::test::RecordingDesktop desktop_;
    std::unique_ptr<TForm1> form_;
};

// --- the comparison ------------------------------------------------------------------

using Case = std::tuple<std::size_t, std::size_t>;  // variant, steps

class WindowParity : public ::testing::TestWithParam<Case> {};

TEST_P(WindowParity, SameTablesMessagesAndBytes) {
    const Variant& variant = Variants()[std::get<0>(GetParam())];
    const Steps& steps = AllSteps()[std::get<1>(GetParam())];
    Folder folder;
    const fs::path windowFile = folder / "window.asm";
    const fs::path cliFile = folder / "cli.asm";
    const fs::path out = folder / "out.asm";
    WriteFile(windowFile, variant.bytes);
    WriteFile(cliFile, variant.bytes);

    Window window(windowFile.string());
    const WindowRun run = window.Run(steps, cliFile.string());

    const std::vector<std::string> options{"--sensor", steps.sensor, "--table", steps.table};
    std::vector<std::string> show{"show", cliFile.string(), "--json"};
    show.insert(show.end(), options.begin(), options.end());
    const Result shown = RunCli(show);
    EXPECT_EQ(shown.out, run.json);
    EXPECT_EQ(shown.err, run.loadMessages);
    EXPECT_EQ(shown.status, run.loadMessages.empty() ? 0 : 1);

    std::vector<std::string> set{"set", cliFile.string(), "-o", out.string()};
    set.insert(set.end(), options.begin(), options.end());
    if (steps.angles) set.insert(set.end(), {"--angles", Join(*steps.angles)});
    if (steps.spark) set.insert(set.end(), {"--spark", *steps.spark});
    if (steps.rpm) set.insert(set.end(), {"--rpm", Join(*steps.rpm)});
    const Result saved = RunCli(set);
    EXPECT_EQ(ReadFile(cliFile), variant.bytes);
    if (!run.loadMessages.empty() || !run.saveMessages.empty()) {
        EXPECT_EQ(saved.status, 1);
        EXPECT_EQ(saved.err, (run.loadMessages.empty() ? run.saveMessages : run.loadMessages) +
                                 "timingcalc-cli: nothing written\n");
        EXPECT_FALSE(fs::exists(out));
        if (run.loadMessages.empty()) {
            EXPECT_EQ(ReadFile(windowFile), variant.bytes);
        }
        return;
    }
    EXPECT_EQ(saved.status, 0) << saved.err;
    EXPECT_EQ(saved.err, "");
    EXPECT_EQ(ReadFile(out), ReadFile(windowFile));
    // Something did change where the steps asked for it, so equal bytes mean equal work.
    if (steps.angles) {
        EXPECT_NE(ReadFile(out), variant.bytes);
    }
}

INSTANTIATE_TEST_SUITE_P(Window, WindowParity,
                         ::testing::Combine(::testing::Range<std::size_t>(0, Variants().size()),
                                            ::testing::Range<std::size_t>(0, AllSteps().size())),
                         [](const auto& info) {
                             return std::string(Variants()[std::get<0>(info.param)].name) + "_" +
                                    AllSteps()[std::get<1>(info.param)].name;
                         });

}  // namespace
}  // namespace cli

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
