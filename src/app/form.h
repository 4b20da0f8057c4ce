// The main window's state and handlers, free of any toolkit. TForm1 forwards
// each event here and shows what the observer is told.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "app/ports.h"
#include "chart/language.h"
#include "chart/plot.h"
#include "firmware/scanner.h"
#include "firmware/source_text.h"
#include "table/grid.h"

namespace tc {

struct Ports {
    Messages& messages;
    FileChooser& chooser;
    FileStore& files;
    Desktop& desktop;
};

class Form {
public:
    Form(Ports ports, char32_t decimalSeparator, bool windowsPaths = false);

    void SetObserver(FormObserver* observer) { observer_ = observer; }

    // Handlers, named after their controls.
    void FormCreate();
    void StringGrid1SelectCell(int column, int row);
    void Button1Click();   // open a source
    bool Button2Click();   // save to table; false when it stopped at a message
    void Button3Click();   // help
    void Button4Click();   // graph
    void Button5Click();   // save to file
    void Button6Click();   // compile
    void Button7Click();   // language
    void ComboBox1Change();
    void ComboBox2Change();

    // Save to file with the result written to the given path; Button5Click writes over the opened source.
    void SaveToFile(const std::string& path);

    // The shared operations.
    void PlotAngleColumn();
    void FillAngleColumn();
    void UpdateChartTitle();

    GridModel& Model() { return model_; }
    const GridModel& Model() const { return model_; }
    const PlotSeries& Series() const { return series_; }
    const SourceText& Source() const { return source_; }
    const std::string& SourcePath() const { return sourcePath_; }
    const std::string& SourceFileName() const { return sourceFileName_; }
    unsigned LanguageFlag() const { return languageFlag_; }
    unsigned TrimmerFlag() const { return trimmerFlag_; }
    const std::string& TextOf(Element element) const { return texts_[static_cast<std::size_t>(element)]; }
    char32_t DecimalSeparator() const { return separator_; }

private:
    template <class Body>
    void Guard(Body body);
    void SetText(Element element, std::string text);
    // The layout, when given, is ScanSource(source), found before; a save starts from it.
    void SetSource(SourceText source, std::optional<SourceLayout> layout = std::nullopt);
    bool MissingData();
    bool SaveToTable();  // throws on a text that does not convert
    void LoadChosenFile();

    Ports ports_;
    char32_t separator_;
    bool windowsPaths_;
    FormObserver* observer_ = nullptr;
    GridModel model_;
    PlotSeries series_;
    SourceText source_;
    SourceLayout layout_;  // ScanSource(source_)
    std::string sourcePath_;
    std::string sourceFileName_;
    std::string proposedName_ = "CDI.asm";
    unsigned languageFlag_ = kRussian;
    unsigned trimmerFlag_ = 0;
    std::array<std::string, kElementCount> texts_{};
};

}  // namespace tc
