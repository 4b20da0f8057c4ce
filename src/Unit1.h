// The main window: its layout and the events it forwards to the logic.
#pragma once

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>
#include <memory>

#include "app/form.h"
#include "platform/chart_view.h"
#include "platform/grid_view.h"
#include "os/files.h"
#include "platform/qt_ports.h"

// Services the window uses; any left empty is the real Qt one. Tests pass recorders.
struct TForm1Services {
    tc::Messages* messages = nullptr;
    tc::FileChooser* chooser = nullptr;
    tc::FileStore* files = nullptr;
    tc::Desktop* desktop = nullptr;
    std::optional<char32_t> decimalSeparator;
};

class TForm1 : public QWidget, private tc::FormObserver {
    Q_OBJECT
public:
    using Services = TForm1Services;
    explicit TForm1(Services services = {}, QWidget* parent = nullptr);
    ~TForm1() override;

    tc::Form& Logic() { return *logic_; }

    QPushButton *Button1, *Button2, *Button3, *Button4, *Button5, *Button6, *Button7;
    QLabel *Label1, *Label2, *Label3;
    QComboBox *ComboBox1, *ComboBox2, *ComboBox3;
    QPlainTextEdit* Memo1;
    tc::qt::StringGridView* StringGrid1;
    tc::qt::AdvanceChartView* Chart1;

private:
    void FormCreate();
    void SetUpCombo(QComboBox* combo, const char* name, tc::qt::CharFilter filter);
    void ComboEdited(tc::ComboField& field, const QString& text);
    void ShowComboText(QComboBox* combo, const tc::ComboField& field);
    void FitLabel(QLabel* label, int width);

    // What the logic tells.
    void CellChanged(int column, int row) override;
    void ComboTextChanged(int comboNumber) override;
    void EditingChanged(bool editing) override;
    void SourceChanged() override;
    void PlotChanged() override;
    void TextChanged(tc::Element element) override;

    std::unique_ptr<tc::qt::BoxMessages> ownMessages_;
    std::unique_ptr<tc::qt::DialogChooser> ownChooser_;
    std::unique_ptr<tc::os::DiskFiles> ownFiles_;
    std::unique_ptr<tc::qt::SystemDesktop> ownDesktop_;
    std::unique_ptr<tc::Form> logic_;
    bool showingModel_ = false;  // a combo text set from the model is no user change
};

// The one main window of the program.
extern TForm1* Form1;
