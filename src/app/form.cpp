#include "app/form.h"

#include <exception>

#include "firmware/assembler.h"
#include "firmware/reader.h"
#include "firmware/writer.h"
#include "table/conversion.h"
#include "table/numbers.h"

namespace tc {

Form::Form(Ports ports, char32_t decimalSeparator, bool windowsPaths)
    : ports_(ports), separator_(decimalSeparator), windowsPaths_(windowsPaths) {
    model_.grid.cellChanged = [this](int column, int row) {
        if (observer_) observer_->CellChanged(column, row);
    };
    const auto comboChanged = [this](int number) {
        return [this, number] {
            if (observer_) observer_->ComboTextChanged(number);
        };
    };
    model_.sensor.textChanged = comboChanged(1);
    model_.table.textChanged = comboChanged(2);
    model_.spark.textChanged = comboChanged(3);
    model_.editingChanged = [this] {
        if (observer_) observer_->EditingChanged(model_.editing);
    };
}

// A conversion that fails ends the handler with the general error box; what
// was written before stays.
template <class Body>
void Form::Guard(Body body) {
    try {
        body();
    } catch (const std::exception& error) {
        ports_.messages.AppError(error.what());
    }
}

void Form::SetText(Element element, std::string text) {
    switch (element) {
    case Element::SpeedHeader: model_.grid.SetCell(kSpeedColumn, 0, std::move(text)); return;
    case Element::AngleHeader: model_.grid.SetCell(kAngleColumn, 0, std::move(text)); return;
    case Element::Table1Header: model_.grid.SetCell(1, 0, std::move(text)); return;
    case Element::Table2Header: model_.grid.SetCell(2, 0, std::move(text)); return;
    case Element::Table3Header: model_.grid.SetCell(3, 0, std::move(text)); return;
    default: break;
    }
    auto& slot = texts_[static_cast<std::size_t>(element)];
    if (slot == text) return;
    slot = std::move(text);
    if (observer_) observer_->TextChanged(element);
}

void Form::SetSource(SourceText source, std::optional<SourceLayout> layout) {
    source_ = std::move(source);
    layout_ = layout ? std::move(*layout) : ScanSource(source_);
    if (observer_) observer_->SourceChanged();
}

void Form::FormCreate() {
    for (std::size_t i = 0; i < kElementCount; ++i) {
        const auto element = static_cast<Element>(i);
        if (element == Element::Table1Header || element == Element::Table2Header || element == Element::Table3Header)
            continue;  // empty until a source is opened
        SetText(element, element == Element::ChartTitle ? tc::UpdateChartTitle(kRussian, 0, "")
                                                        : ElementText(element, kRussian));
    }
    SetSource({});
    model_.Fill();
    // The cell current at start is (0, 1): its 460 rpm must not be editable either.
    model_.SelectCell(kSpeedColumn, 1);
}

void Form::StringGrid1SelectCell(int column, int row) { model_.SelectCell(column, row); }

bool Form::MissingData() {
    if (!model_.grid.Cell(kAngleColumn, kProbeRow).empty()) return false;
    ports_.messages.Warning(Text(Msg::MissingData, languageFlag_));
    return true;
}

void Form::PlotAngleColumn() {
    struct Notify {
        Form& form;
        ~Notify() {
            if (form.observer_) form.observer_->PlotChanged();
        }
    } notify{*this};  // the chart shows a partial plot too
    tc::PlotAngleColumn(model_.grid, separator_, series_);
}

void Form::FillAngleColumn() { tc::FillAngleColumn(model_, separator_); }

void Form::UpdateChartTitle() {
    SetText(Element::ChartTitle, tc::UpdateChartTitle(languageFlag_, trimmerFlag_, sourceFileName_));
}

void Form::Button4Click() {
    Guard([&] {
        if (MissingData()) return;
        PlotAngleColumn();
    });
}

void Form::ComboBox1Change() {
    Guard([&] {
        if (model_.grid.Cell(kAngleColumn, kProbeRow).empty()) return;
        FillAngleColumn();
        PlotAngleColumn();
    });
}

void Form::ComboBox2Change() { ComboBox1Change(); }

bool Form::SaveToTable() {
    if (MissingData()) return false;
    PlotAngleColumn();
    switch (StoreAngleColumn(model_, separator_)) {
    case CodeResult::Ok: return true;
    case CodeResult::BelowRange: ports_.messages.Warning(Text(Msg::BelowRange, languageFlag_)); return false;
    case CodeResult::AboveRange: ports_.messages.Warning(Text(Msg::AboveRange, languageFlag_)); return false;
    }
    return false;
}

bool Form::Button2Click() {
    bool stored = false;
    Guard([&] { stored = SaveToTable(); });
    return stored;
}

void Form::Button1Click() {
    SetSource({});
    if (auto chosen = ports_.chooser.ChooseSource(proposedName_)) {
        sourcePath_ = *chosen;
        proposedName_ = *chosen;
    }
    if (sourcePath_.empty()) return;
    Guard([&] { LoadChosenFile(); });
}

void Form::LoadChosenFile() {
    FileStore::ReadResult file = ports_.files.Read(sourcePath_);
    if (file.status == FileStore::ReadResult::CannotOpen) {
        ports_.messages.Error(Text(Msg::FileAccess, languageFlag_) + sourcePath_);
        return;
    }
    if (file.status == FileStore::ReadResult::ReadError) {
        ports_.messages.AppError(file.error);
        return;
    }
    if (file.bytes.empty()) {
        ports_.messages.Warning(Text(Msg::EmptyFile, languageFlag_) + sourcePath_);
        return;
    }
    SetSource(SourceText::FromOwnedBytes(std::move(file.bytes)));

    const ScanStop stop = ReadSource(source_, layout_, model_, languageFlag_, trimmerFlag_,
                                     [&](const std::string& warning) { ports_.messages.Warning(warning); });

    // After a pass that stopped early, show angles only when the table column has something to show.
    bool fill = stop == ScanStop::Complete;
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

void Form::Button5Click() { SaveToFile(sourcePath_); }

void Form::SaveToFile(const std::string& path) {
    Guard([&] {
        if (!SaveToTable()) return;
        RewriteResult rewritten = RewriteSource(source_, layout_, model_, languageFlag_, separator_);
        if (!rewritten.ok) {
            ports_.messages.Warning(rewritten.warning);
            return;
        }
        SetSource(std::move(rewritten.text), std::move(rewritten.layout));
        const std::string_view pieces[] = {source_.Text(), source_.Tail()};
        if (const auto error = ports_.files.Write(path, pieces))
            ports_.messages.AppError("Cannot create file \"" + path + "\". " + *error);
    });
}

void Form::Button6Click() {
    const AssemblerCommand command = BuildAssemblerCommand(
        sourcePath_, windowsPaths_, [&](const std::string& program) { return ports_.desktop.OnSearchPath(program); });
    if (command.status == AssemblerCommand::Nothing) return;
    if (command.status == AssemblerCommand::NoTerminal || !ports_.desktop.StartDetached(command))
        ports_.messages.Warning(Text(Msg::NoTerminal, languageFlag_));
}

void Form::Button3Click() { ports_.desktop.OpenDocument("Help.chm"); }

void Form::Button7Click() {
    languageFlag_ = NextLanguage(languageFlag_);
    const auto rows = LanguageRows(languageFlag_, !sourcePath_.empty(),
                                   tc::UpdateChartTitle(languageFlag_, trimmerFlag_, sourceFileName_));
    for (const auto& [element, text] : rows) SetText(element, text);
}

}  // namespace tc
