#include "app/core.h"

#include <algorithm>
#include <bitset>
#include <exception>
#include <utility>

#include "firmware/assembler.h"
#include "firmware/reader.h"
#include "firmware/writer.h"
#include "table/clipboard.h"
#include "table/conversion.h"
#include "table/numbers.h"

namespace tc {

namespace {

using Kind = Diagnostic::Kind;

void Stop(Outcome& outcome, Outcome::Status status, Diagnostic diagnostic) {
    outcome.status = status;
    outcome.diagnostics.push_back(std::move(diagnostic));
}

const std::string& FieldText(const GridModel& model, const Field& field) {
    switch (field.kind) {
        case Field::SensorAngle: return model.sensor.text;
        case Field::TableNumber: return model.table.text;
        case Field::SparkDuration: return model.spark.text;
        case Field::Cell: break;
    }
    return model.grid.Cell(field.column, field.row);  // throws outside the grid
}

// Whether a combo box's keys could have typed the text: only characters they let
// through as they are, and no more than the box holds. A cell's editor and Paste
// check their own.
bool Typeable(const GridModel& model, const Field& field, std::string_view text) {
    const ComboField* box = &model.sensor;
    std::optional<char32_t> (*filter)(char32_t) = FilterDigitKey;
    switch (field.kind) {
        case Field::SensorAngle: break;
        case Field::TableNumber: box = &model.table, filter = FilterTableKey; break;
        case Field::SparkDuration: box = &model.spark; break;
        case Field::Cell: return true;
    }
    if (box->maxLength > 0 && text.size() > static_cast<std::size_t>(box->maxLength)) return false;
    return std::ranges::all_of(text, [filter](char c) {
        const char32_t ch = static_cast<unsigned char>(c);
        return ch != kBackspace && filter(ch) == ch;
    });
}

void SetField(GridModel& model, const Field& field, std::string text) {
    switch (field.kind) {
        case Field::SensorAngle: model.sensor.text = std::move(text); return;
        case Field::TableNumber: model.table.text = std::move(text); return;
        case Field::SparkDuration: model.spark.text = std::move(text); return;
        case Field::Cell: model.grid.SetCell(field.column, field.row, std::move(text)); return;
    }
}

// The values a user changes: rows 1 to 32 and the combo texts. The headers
// follow the language and are no value.
bool SameValues(const GridModel& a, const GridModel& b) {
    for (int row = 1; row < kGridRows; ++row)
        for (int column = 0; column < kGridColumns; ++column)
            if (a.grid.Cell(column, row) != b.grid.Cell(column, row)) return false;
    return a.sensor.text == b.sensor.text && a.table.text == b.table.text && a.spark.text == b.spark.text;
}

void CopyValues(GridModel& to, const GridModel& from) {
    for (int row = 1; row < kGridRows; ++row)
        for (int column = 0; column < kGridColumns; ++column) to.grid.SetCell(column, row, from.grid.Cell(column, row));
    to.sensor.text = from.sensor.text;
    to.table.text = from.table.text;
    to.spark.text = from.spark.text;
}

// Enough for an afternoon's work; each step is a copy of the grid's texts.
constexpr std::size_t kUndoSteps = 1000;

// Whether the bytes are the pieces, one after another.
bool SameBytes(std::string_view bytes, std::span<const std::string_view> pieces) {
    for (const std::string_view piece : pieces) {
        if (!bytes.starts_with(piece)) return false;
        bytes.remove_prefix(piece.size());
    }
    return bytes.empty();
}

}  // namespace

void ShowDiagnostics(Messages& messages, const Diagnostics& diagnostics, unsigned languageFlag) {
    for (const Diagnostic& diagnostic : diagnostics) {
        const std::string text = Render(diagnostic, languageFlag);
        switch (diagnostic.ShownAs()) {
            case Diagnostic::Box::Warning: messages.Warning(text); break;
            case Diagnostic::Box::Error: messages.Error(text); break;
            case Diagnostic::Box::Failure: messages.AppError(text); break;
        }
    }
}

Core::Core(Ports ports, char32_t decimalSeparator, bool windowsPaths)
    : ports_(ports), separator_(decimalSeparator), windowsPaths_(windowsPaths) {}

void Core::SetObserver(CoreObserver* observer) {
    observer_ = observer;
    shown_ = {};
    shown_.sourceRevision = ~sourceRevision_;
    Publish();
}

// A conversion that fails ends the operation with the general error report;
// what was written before stays, and the view is told of it too.
template <class Body>
Outcome Core::Run(Body body) {
    Outcome outcome;
    try {
        body(outcome);
    } catch (const std::exception& error) {
        Stop(outcome, Outcome::Failed, {.kind = Kind::Failure, .detail = error.what()});
    }
    Publish();
    return outcome;
}

template <class Body>
Outcome Core::Step(Body body) {
    typing_.reset();
    Snapshot before{model_, series_};
    Outcome outcome = Run(body);
    Remember(std::move(before));
    return outcome;
}

void Core::Remember(Snapshot before) {
    if (SameValues(before.values, model_)) return;
    undo_.push_back(std::move(before));
    if (undo_.size() > kUndoSteps) undo_.pop_front();
    redo_.clear();
}

// What was read is what the file holds: nothing to save, nothing to undo.
void Core::Opened() {
    saved_ = model_;
    undo_.clear();
    redo_.clear();
    typing_.reset();
}

namespace {
// Brings the record of what a view was shown up to the value now; whether it differed.
template <class T>
bool Record(T& shown, const T& now) {
    if (shown == now) return false;
    shown = now;
    return true;
}
}  // namespace

void Core::Publish() {
    // The record is brought up to date before any view is told, so a view that calls
    // back finds it current; what did not change is compared, not copied.
    std::bitset<std::size_t{kGridColumns} * kGridRows> cells;
    for (int row = 0; row < kGridRows; ++row)
        for (int column = 0; column < kGridColumns; ++column)
            if (const std::string& now = model_.grid.Cell(column, row); shown_.model.grid.Cell(column, row) != now) {
                shown_.model.grid.SetCell(column, row, now);
                cells.set(static_cast<std::size_t>(row) * kGridColumns + static_cast<std::size_t>(column));
            }
    const bool sensor = Record(shown_.model.sensor, model_.sensor);
    const bool table = Record(shown_.model.table, model_.table);
    const bool spark = Record(shown_.model.spark, model_.spark);
    const bool editing = Record(shown_.model.editing, model_.editing);
    const bool source = Record(shown_.sourceRevision, sourceRevision_);
    const bool points = Record(shown_.points, series_.Points());
    std::bitset<kElementCount> texts;
    for (std::size_t i = 0; i < kElementCount; ++i) texts.set(i, Record(shown_.texts[i], texts_[i]));
    if (!observer_) return;
    for (int row = 0; row < kGridRows; ++row)
        for (int column = 0; column < kGridColumns; ++column)
            if (cells.test(static_cast<std::size_t>(row) * kGridColumns + static_cast<std::size_t>(column)))
                observer_->CellChanged(column, row);
    if (sensor) observer_->ComboChanged(Combo::SensorAngle);
    if (table) observer_->ComboChanged(Combo::TableNumber);
    if (spark) observer_->ComboChanged(Combo::SparkDuration);
    if (editing) observer_->EditingChanged(model_.editing);
    if (source) observer_->SourceChanged();
    if (points) observer_->PlotChanged();
    for (std::size_t i = 0; i < kElementCount; ++i)
        if (texts.test(i)) observer_->TextChanged(static_cast<Element>(i));
}

void Core::SetText(Element element, std::string text) {
    switch (element) {
        case Element::SpeedHeader: model_.grid.SetCell(kSpeedColumn, 0, std::move(text)); return;
        case Element::AngleHeader: model_.grid.SetCell(kAngleColumn, 0, std::move(text)); return;
        case Element::Table1Header: model_.grid.SetCell(1, 0, std::move(text)); return;
        case Element::Table2Header: model_.grid.SetCell(2, 0, std::move(text)); return;
        case Element::Table3Header: model_.grid.SetCell(3, 0, std::move(text)); return;
        default: texts_[static_cast<std::size_t>(element)] = std::move(text);
    }
}

void Core::ForgetDisk() {
    disk_ = Disk::Unknown;
    diskBytes_ = {};
}

void Core::SetSource(SourceText source, std::optional<SourceLayout> layout) {
    source_ = std::move(source);
    layout_ = layout ? std::move(*layout) : ScanSource(source_);
    ++sourceRevision_;
}

void Core::Start() {
    for (const auto& [element, text] : LanguageRows(kRussian, false, tc::UpdateChartTitle(kRussian, 0, "")))
        SetText(element, text);
    SetSource({});
    model_.Fill();
    // The cell current at start is (0, 1): its 460 rpm must not be editable either.
    model_.SelectCell(kSpeedColumn, 1);
    Publish();
}

void Core::SelectCell(int column, int row) {
    typing_.reset();  // typing into another cell is another step
    model_.SelectCell(column, row);
    Publish();
}

bool Core::MissingData(Outcome& outcome) {
    if (!model_.grid.Cell(kAngleColumn, kProbeRow).empty()) return false;
    Stop(outcome, Outcome::Refused, {.kind = Kind::MissingData});
    return true;
}

void Core::PlotAngleColumn() { tc::PlotAngleColumn(model_.grid, separator_, series_); }

void Core::FillAngleColumn() { tc::FillAngleColumn(model_, separator_); }

void Core::UpdateChartTitle() {
    SetText(Element::ChartTitle, tc::UpdateChartTitle(languageFlag_, trimmerFlag_, sourceFileName_));
}

Outcome Core::Plot() {
    return Run([&](Outcome& outcome) {
        if (!MissingData(outcome)) PlotAngleColumn();
    });
}

void Core::RefillAngles() {
    if (model_.grid.Cell(kAngleColumn, kProbeRow).empty()) return;
    FillAngleColumn();
    PlotAngleColumn();
}

// A view hands over every character typed: the edits of one field, one after
// another, are one step, and one that comes back to where it began is none.
Outcome Core::Edit(const Field& field, std::string text) {
    if (FieldText(model_, field) == text) return {};
    if (!Typeable(model_, field, text)) {
        // A paste brings in what the box's keys would not: the box shows its value again.
        SetField(shown_.model, field, std::move(text));
        Publish();
        return {};
    }
    const bool continued = typing_ == field;
    Snapshot before = continued ? Snapshot{} : Snapshot{model_, series_};
    SetField(model_, field, text);
    SetField(shown_.model, field, std::move(text));  // the view shows what was typed already
    const bool refill = field.kind == Field::SensorAngle || field.kind == Field::TableNumber;
    Outcome outcome = Run([&](Outcome&) {
        if (refill) RefillAngles();
    });
    typing_ = field;
    if (!continued) {
        Remember(std::move(before));
    } else if (!undo_.empty() && SameValues(undo_.back().values, model_)) {
        undo_.pop_back();
        typing_.reset();
    }
    return outcome;
}

bool Core::StoreAngleColumn(Outcome& outcome) {
    if (MissingData(outcome)) return false;
    PlotAngleColumn();
    switch (tc::StoreAngleColumn(model_, separator_)) {
        case CodeResult::Ok: return true;
        case CodeResult::BelowRange: Stop(outcome, Outcome::Refused, {.kind = Kind::BelowRange}); return false;
        case CodeResult::AboveRange: Stop(outcome, Outcome::Refused, {.kind = Kind::AboveRange}); return false;
    }
    return false;
}

Outcome Core::StoreAngles() {
    return Step([&](Outcome& outcome) { StoreAngleColumn(outcome); });
}

Outcome Core::OpenSource() {
    if (Outcome leave = ConfirmLeave(); !leave.Ok()) return leave;
    SetSource({});
    ForgetDisk();
    opened_ = false;
    Publish();  // the text box empties before the dialog shows
    if (auto chosen = ports_.chooser.ChooseSource(proposedName_)) {
        sourcePath_ = *chosen;
        proposedName_ = *chosen;
    }
    if (sourcePath_.empty()) return {};
    Outcome outcome = Run([&](Outcome& o) { Load(o); });
    Opened();
    return outcome;
}

Outcome Core::OpenSource(const std::string& path) {
    SetSource({});
    ForgetDisk();
    opened_ = false;
    sourcePath_ = path;
    proposedName_ = path;
    Outcome outcome = Run([&](Outcome& o) { Load(o); });
    Opened();
    return outcome;
}

void Core::Load(Outcome& outcome) {
    FileStore::ReadResult file = ports_.files.Read(sourcePath_);
    if (file.status == FileStore::ReadResult::CannotOpen)
        return Stop(outcome, Outcome::Failed, {.kind = Kind::FileAccess, .path = sourcePath_});
    if (file.status == FileStore::ReadResult::ReadError)
        return Stop(outcome, Outcome::Failed, {.kind = Kind::Failure, .detail = file.error});
    if (file.bytes.empty()) return Stop(outcome, Outcome::Failed, {.kind = Kind::EmptyFile, .path = sourcePath_});
    disk_ = Disk::Bytes;
    diskBytes_ = file.bytes;
    SetSource(SourceText::FromOwnedBytes(std::move(file.bytes)));
    opened_ = true;

    const ReadResult read = ReadSource(source_, layout_, model_, trimmerFlag_, outcome.diagnostics);
    if (!outcome.diagnostics.empty()) outcome.status = Outcome::Incomplete;
    static constexpr Element kHeaders[] = {Element::Table1Header, Element::Table2Header, Element::Table3Header};
    for (std::size_t t = 0; t < 3; ++t)
        if (read.labelDigits[t]) SetText(kHeaders[t], TableHeader(*read.labelDigits[t], languageFlag_));

    // After a pass that stopped early, show angles only when the table column has something to show.
    bool fill = read.stop == ScanStop::Complete;
    if (!fill) {
        const int table = StrToInt(model_.table.text);
        fill = table >= 0 && table < kGridColumns;
        for (int row = 1; fill && row < kGridRows; ++row) fill = !model_.grid.Cell(table, row).empty();
    }
    if (fill) {
        FillAngleColumn();
        PlotAngleColumn();
    }
    sourceFileName_ = LastPathComponent(sourcePath_, windowsPaths_);
    UpdateChartTitle();
}

// Storing the angles may change the table: that is a step. The write itself is none.
Outcome Core::Save() {
    return Step([&](Outcome& outcome) { SaveTo(sourcePath_, true, outcome); });
}

Outcome Core::SaveAs(const std::string& path) {
    return Step([&](Outcome& outcome) { SaveTo(path, path == sourcePath_, outcome); });
}

// The steps of a save, in order. A change made on the disk between the read of
// the opened file and the rename can still be lost: that is the time of the
// rewrite, the check and the write.
void Core::SaveTo(const std::string& path, bool overOpened, Outcome& outcome) {
    if (!StoreAngleColumn(outcome)) return;
    // Another program (an editor, a second timingcalc) may have changed the opened file since.
    bool merged = false;
    if (overOpened && disk_ != Disk::Unknown && !TakeChangesOnDisk(outcome, merged)) return;
    RewriteResult rewritten = RewriteText(source_, layout_, model_, separator_);
    if (rewritten.refusal) return Stop(outcome, Outcome::Refused, std::move(*rewritten.refusal));
    if (auto refusal = CheckReadsBack(source_, layout_, rewritten))
        return Stop(outcome, Outcome::Refused, std::move(*refusal));
    const std::string_view pieces[] = {rewritten.text.Text(), rewritten.text.Tail()};
    const std::optional<std::string> error = ports_.files.Write(path, pieces);
    KeepWritten(std::move(rewritten), overOpened && !error);
    if (overOpened && !error) saved_ = model_;
    if (error) return Stop(outcome, Outcome::Failed, {.kind = Kind::CannotCreate, .path = path, .detail = *error});
    if (merged) outcome.diagnostics.push_back({.kind = Kind::ChangedOnDisk, .path = path});
}

// The rewritten text becomes the source, whether or not the store could write it.
void Core::KeepWritten(RewriteResult rewritten, bool overOpenedWritten) {
    const SourceText previous = std::move(source_);
    SetSource(std::move(rewritten.text), std::move(rewritten.layout));
    if (overOpenedWritten) {
        // The disk now holds the text itself: no copy of it is kept.
        disk_ = Disk::Source;
        diskBytes_ = {};
    } else if (disk_ == Disk::Source) {
        disk_ = Disk::Bytes;  // the opened file still holds the text before this save
        diskBytes_ = previous.ToFileBytes();
    }
}

std::array<std::string_view, 2> Core::ExpectedOnDisk() const {
    if (disk_ == Disk::Source) return {source_.Text(), source_.Tail()};
    return {diskBytes_, {}};
}

// The opened file read and compared with what was opened or last saved. When it
// differs, the save goes into it as it is now, found by the same scan. False when
// it must not go on.
bool Core::TakeChangesOnDisk(Outcome& outcome, bool& merged) {
    FileStore::ReadResult now = ports_.files.Read(sourcePath_);
    if (now.status == FileStore::ReadResult::ReadError) {
        Stop(outcome, Outcome::Failed, {.kind = Kind::Failure, .detail = now.error});
        return false;
    }
    // A file that is gone is written anew from what was loaded.
    if (now.status == FileStore::ReadResult::CannotOpen) return true;
    if (SameBytes(now.bytes, ExpectedOnDisk())) return true;
    SourceText changed = SourceText::FromFileBytes(now.bytes);
    SourceLayout layout = ScanSource(changed);
    std::optional<Diagnostic> lacks = DescribeStop(layout);
    if (!lacks && !layout.spark) lacks = Diagnostic{.kind = Kind::SparkLineMissing};
    if (lacks) {
        Stop(outcome, Outcome::Refused, {.kind = Kind::ChangedAndBroken, .path = sourcePath_, .causes = {*lacks}});
        return false;
    }
    if (const auto flag = TrimmerFlagOf(changed, layout)) trimmerFlag_ = *flag;
    disk_ = Disk::Bytes;  // should the write fail, the next save compares with what is there now
    diskBytes_ = std::move(now.bytes);
    SetSource(std::move(changed), std::move(layout));
    UpdateChartTitle();
    merged = true;
    return true;
}

Outcome Core::Compile() {
    const AssemblerCommand command = BuildAssemblerCommand(
        sourcePath_, windowsPaths_, [&](const std::string& program) { return ports_.desktop.OnSearchPath(program); },
        ports_.desktop.ProgramBeside("timingcalc-cli"));
    Outcome outcome;
    if (command.status == AssemblerCommand::Nothing) return outcome;
    if (command.status == AssemblerCommand::NoTerminal || !ports_.desktop.StartDetached(command))
        Stop(outcome, Outcome::Failed, {.kind = Kind::NoTerminal});
    return outcome;
}

void Core::ShowHelp() {
    // The current folder's help as always; when it has none, the one installed with the
    // program. With neither, the desktop is still asked, and reports the missing file itself.
    const std::string name = "Help.chm";
    std::string installed;
    if (!ports_.desktop.InCurrentFolder(name)) installed = ports_.desktop.InstalledDocument(name);
    ports_.desktop.OpenDocument(installed.empty() ? name : installed);
}

void Core::SwitchLanguage() {
    languageFlag_ = NextLanguage(languageFlag_);
    const auto rows = LanguageRows(languageFlag_, !sourcePath_.empty(),
                                   tc::UpdateChartTitle(languageFlag_, trimmerFlag_, sourceFileName_));
    for (const auto& [element, text] : rows) SetText(element, text);
    Publish();
}

bool Core::Unsaved() const { return opened_ && !SameValues(model_, saved_); }

Outcome Core::ConfirmLeave() {
    if (!Unsaved()) return {};
    // Nothing is lost when no one can be asked: the changes stay.
    const Answer answer =
        ports_.questions ? ports_.questions->Ask(SaveChangesQuestion(sourceFileName_, languageFlag_)) : Answer::Cancel;
    switch (answer) {
        case Answer::Yes: return Save();
        case Answer::No: return {};
        case Answer::Cancel: break;
    }
    return {.status = Outcome::Refused, .diagnostics = {}};
}

Outcome Core::Undo() { return Restore(undo_, redo_); }

Outcome Core::Redo() { return Restore(redo_, undo_); }

Outcome Core::Restore(std::deque<Snapshot>& from, std::deque<Snapshot>& to) {
    typing_.reset();
    if (from.empty()) return {};
    to.push_back({model_, series_});
    CopyValues(model_, from.back().values);
    // The curve as it was then: an undone table switch takes its plot back too.
    series_ = std::move(from.back().plot);
    from.pop_back();
    return Run([](Outcome&) {});
}

std::string Core::CopyTable() const { return CopyText(model_.grid); }

Outcome Core::Paste(int column, int row, std::string_view text) {
    return Step([&](Outcome& outcome) {
        PasteValues pasted = ParsePaste(column, row, text, separator_);
        if (pasted.refusal) return Stop(outcome, Outcome::Refused, std::move(*pasted.refusal));
        for (std::string& value : pasted.values) model_.grid.SetCell(column, row++, std::move(value));
    });
}

}  // namespace tc
