// What a click costs in the real window: the handler, every control it
// updates, and the repaint, on the sample firmware. Runs offscreen; prints the
// median of each click and of a repaint alone as "NAME<tab>SECONDS<tab>s"
// lines for bench/table.awk.
#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "Unit1.h"

namespace fs = std::filesystem;

namespace {

constexpr int kRuns = 31;

class SampleChooser : public tc::FileChooser {
public:
    std::string path;
    std::optional<std::string> ChooseSource(const std::string&) override { return path; }
};

class CountingMessages : public tc::Messages {
public:
    int shown = 0;
    void Warning(const std::string&) override { ++shown; }
    void Error(const std::string&) override { ++shown; }
    void AppError(const std::string&) override { ++shown; }
};

double MedianSeconds(const std::function<void()>& action) {
    for (int i = 0; i < 3; ++i) action();
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer timer;
        timer.start();
        action();
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e9);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char* argv[]) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    fs::path sample = TIMINGCALC_EXAMPLES "/CDI.asm";
    if (argc > 1) sample = argv[1];

    std::string folder = (fs::temp_directory_path() / "timingcalc-clicks-XXXXXX").string();
    if (!mkdtemp(folder.data())) {
        std::fprintf(stderr, "window_clicks: cannot create a folder\n");
        return 1;
    }
    const fs::path copy = fs::path(folder) / "CDI.asm";
    fs::copy_file(sample, copy);

    int status = 0;
    {
        QApplication app(argc, argv);
        SampleChooser chooser;
        chooser.path = copy.string();
        CountingMessages messages;
        TForm1Services services;
        services.chooser = &chooser;
        services.messages = &messages;
        services.decimalSeparator = U'.';
        TForm1 window(services);
        window.show();
        QApplication::processEvents();
        window.Button1->click();
        QApplication::processEvents();

        const auto clickAndPaint = [&](QPushButton* button) {
            return [&window, button] {
                button->click();
                QApplication::processEvents();
                window.repaint();
            };
        };
        std::vector<std::pair<std::string, double>> figures = {
            {"click/repaint", MedianSeconds([&] { window.repaint(); })}};
        const std::vector<std::pair<const char*, QPushButton*>> buttons = {
            {"Button1 open", window.Button1},     {"Button2 save to table", window.Button2},
            {"Button4 graph", window.Button4},    {"Button5 save to file", window.Button5},
            {"Button7 language", window.Button7},
        };
        for (const auto& [name, button] : buttons)
            figures.emplace_back(std::string("click/") + name, MedianSeconds(clickAndPaint(button)));
        if (messages.shown) {
            std::fprintf(stderr, "window_clicks: %d message(s) came up; the figures measured something else\n",
                         messages.shown);
            status = 1;
        }
        for (const auto& [name, seconds] : figures) {
            if (status)
                std::printf("%s\terror\ta message came up\n", name.c_str());
            else
                std::printf("%s\t%.9g\ts\n", name.c_str(), seconds);
        }
    }
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    return status;
}
