// The application core: what the user does with a firmware source, named so,
// free of any toolkit. The window's handlers and the command line call these
// operations; each returns what became of it as data, and afterwards the
// observer hears of every change to what is shown.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

#include "app/ports.h"
#include "chart/plot.h"
#include "firmware/scanner.h"
#include "firmware/source_text.h"
#include "firmware/writer.h"
#include "table/diagnostic.h"
#include "table/grid.h"
#include "text/texts.h"

namespace tc {

struct Ports {
    FileChooser& chooser;
    FileStore& files;
    Desktop& desktop;
    // Whom the core asks before unsaved changes would be lost; without it they are kept.
    Questions* questions = nullptr;
};

// What became of an operation, and what the user is to be told.
struct Outcome {
    enum Status {
        Done,        // it ran to its end
        Incomplete,  // a source was opened, but not all of it was found
        Refused,     // a check stopped it; nothing was written
        Failed,      // an error ended it
    } status = Done;
    Diagnostics diagnostics;

    bool Ok() const { return status == Done; }
};

// A text the user can type: a grid cell or one of the three combo boxes.
struct Field {
    enum Kind { Cell, SensorAngle, TableNumber, SparkDuration } kind = Cell;
    int column = 0;
    int row = 0;

    friend bool operator==(const Field&, const Field&) = default;
};

class Core {
public:
    Core(Ports ports, char32_t decimalSeparator, bool windowsPaths = false);

    // The observer is then told of everything that differs from an empty window.
    void SetObserver(CoreObserver* observer);

    void Start();
    // Asks for a file as the File button does, then opens it.
    Outcome OpenSource();
    Outcome OpenSource(const std::string& path);
    // The one entry for typed text. A new sensor angle or table number refills
    // the angle column once it holds data.
    Outcome Edit(const Field& field, std::string text);
    Outcome SetSensorAngle(std::string text) { return Edit({Field::SensorAngle}, std::move(text)); }
    Outcome ChooseTable(std::string text) { return Edit({Field::TableNumber}, std::move(text)); }
    Outcome SetSparkDuration(std::string text) { return Edit({Field::SparkDuration}, std::move(text)); }
    void SelectCell(int column, int row);
    // The angle column into the selected table.
    Outcome StoreAngles();
    Outcome Plot();
    // Stores the angles, rewrites the source and writes it over the opened file, or to the path.
    // Over the opened file, a file that another program changed since it was
    // opened or last saved is read anew, and the grid's values go into it as it is now.
    Outcome Save();
    Outcome SaveAs(const std::string& path);
    Outcome Compile();
    void ShowHelp();
    void SwitchLanguage();

    // Whether the grid's values or the three combo texts differ from what was
    // last opened or saved, while a source is open.
    bool Unsaved() const;
    // Before the window closes or File opens another source: with unsaved
    // changes, asks whether to save them. Yes saves as Save does, No goes on,
    // Cancel keeps everything. Ok() when the caller may go on.
    Outcome ConfirmLeave();
    // Back to the values before the last change (a committed cell edit, a paste,
    // Save to table, a combo text), and forward again; an open drops both.
    Outcome Undo();
    Outcome Redo();
    bool CanUndo() const { return !undo_.empty(); }
    bool CanRedo() const { return !redo_.empty(); }
    // The whole grid as tab-separated lines, for the clipboard.
    std::string CopyTable() const;
    // A column of values from the cell down, all or none, as one change.
    Outcome Paste(int column, int row, std::string_view text);

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
    // What a view was last told.
    struct Shown {
        GridModel model;
        std::vector<PlotPoint> points;
        std::array<std::string, kElementCount> texts{};
        std::uint64_t sourceRevision = 0;
    };

    // A step to go back to: the values, and the curve plotted with them.
    struct Snapshot {
        GridModel values;
        PlotSeries plot;
    };

    template <class Body>
    Outcome Run(Body body);
    // Run, remembering the values before as one step when the body changes them.
    template <class Body>
    Outcome Step(Body body);
    void Remember(Snapshot before);
    // Undo and redo: back to the last step of `from`, keeping the present in `to`.
    Outcome Restore(std::deque<Snapshot>& from, std::deque<Snapshot>& to);
    void Opened();
    void Publish();
    void SetText(Element element, std::string text);
    // The layout, when given, is ScanSource(source), found before; a save starts from it.
    void SetSource(SourceText source, std::optional<SourceLayout> layout = std::nullopt);
    void ForgetDisk();
    void Load(Outcome& outcome);
    bool MissingData(Outcome& outcome);
    bool StoreAngleColumn(Outcome& outcome);
    void SaveTo(const std::string& path, bool overOpened, Outcome& outcome);
    void KeepWritten(RewriteResult rewritten, bool overOpenedWritten);
    // What the opened file should hold: the text itself, or the bytes kept for it.
    std::array<std::string_view, 2> ExpectedOnDisk() const;
    bool TakeChangesOnDisk(Outcome& outcome, bool& merged);
    void RefillAngles();
    void FillAngleColumn();
    void PlotAngleColumn();
    void UpdateChartTitle();

    Ports ports_;
    char32_t separator_;
    bool windowsPaths_;
    CoreObserver* observer_ = nullptr;
    GridModel model_;
    PlotSeries series_;
    SourceText source_;
    SourceLayout layout_;  // ScanSource(source_)
    std::uint64_t sourceRevision_ = 0;
    std::string sourcePath_;
    // What the opened file holds, as loaded or last saved: not known, the text
    // itself (after a save, kept without a copy), or diskBytes_.
    enum class Disk { Unknown, Source, Bytes } disk_ = Disk::Unknown;
    std::string diskBytes_;
    std::string sourceFileName_;
    std::string proposedName_ = "CDI.asm";
    unsigned languageFlag_ = kRussian;
    unsigned trimmerFlag_ = 0;
    std::array<std::string, kElementCount> texts_{};
    Shown shown_;
    GridModel saved_;      // the values as last opened or saved
    bool opened_ = false;  // a source was read into the grid
    std::deque<Snapshot> undo_, redo_;
    // The field whose edits, one after another with nothing between, make one step.
    std::optional<Field> typing_;
};

}  // namespace tc
