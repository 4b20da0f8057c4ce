// The main window: its layout, and its handlers, each one call into the core.
#pragma once

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>
#include <array>
#include <memory>
#include <optional>

#include "app/core.h"
#include "os/files.h"
#include "platform/chart_view.h"
#include "platform/grid_view.h"
#include "platform/qt_ports.h"

// One control of the window. The table lists them in keyboard focus order,
// which is then the Tab order.
struct TForm1Control {
    enum Kind { Memo, Button, Grid, Combo, Chart, Label } kind;
    const char* name;
    int x, y, width, height;
    std::optional<tc::Element> text;  // what a button or label shows
    std::optional<tc::Combo> combo;   // what a combo box shows
};

inline constexpr std::array<TForm1Control, 16> kForm1Layout = {{
    {TForm1Control::Memo, "Memo1", 16, 104, 177, 193, {}, {}},
    {TForm1Control::Button, "Button1", 16, 16, 81, 33, tc::Element::OpenButton, {}},
    {TForm1Control::Grid, "StringGrid1", 208, 16, 201, 505, {}, {}},
    {TForm1Control::Combo, "ComboBox1", 136, 72, 49, 21, {}, tc::Combo::SensorAngle},
    {TForm1Control::Chart, "Chart1", 416, 16, 449, 505, tc::Element::ChartTitle, {}},
    {TForm1Control::Button, "Button2", 16, 344, 177, 33, tc::Element::StoreButton, {}},
    {TForm1Control::Button, "Button3", 16, 472, 177, 49, tc::Element::HelpButton, {}},
    {TForm1Control::Button, "Button4", 120, 304, 73, 33, tc::Element::PlotButton, {}},
    {TForm1Control::Combo, "ComboBox2", 64, 312, 41, 21, {}, tc::Combo::TableNumber},
    {TForm1Control::Button, "Button5", 16, 384, 177, 33, tc::Element::SaveButton, {}},
    {TForm1Control::Button, "Button6", 16, 424, 177, 33, tc::Element::CompileButton, {}},
    {TForm1Control::Button, "Button7", 112, 16, 81, 33, tc::Element::LanguageButton, {}},
    {TForm1Control::Combo, "ComboBox3", 32, 72, 65, 21, {}, tc::Combo::SparkDuration},
    {TForm1Control::Label, "Label3", 32, 56, 58, 13, tc::Element::SparkLabel, {}},
    {TForm1Control::Label, "Label1", 120, 56, 68, 13, tc::Element::SensorLabel, {}},
    {TForm1Control::Label, "Label2", 24, 320, 28, 13, tc::Element::TableLabel, {}},
}};

// Services the window uses; any left empty is the real one. Tests pass recorders.
struct TForm1Services {
    tc::Messages* messages = nullptr;
    tc::FileChooser* chooser = nullptr;
    tc::FileStore* files = nullptr;
    tc::Desktop* desktop = nullptr;
    tc::Questions* questions = nullptr;
    std::optional<char32_t> decimalSeparator;
};

class TForm1 : public QWidget, private tc::CoreObserver {
    Q_OBJECT
public:
    using Services = TForm1Services;
    explicit TForm1(Services services = {}, QWidget* parent = nullptr);
    ~TForm1() override;

    tc::Core& Core() { return *core_; }

    QPushButton *Button1, *Button2, *Button3, *Button4, *Button5, *Button6, *Button7;
    QLabel *Label1, *Label2, *Label3;
    QComboBox *ComboBox1, *ComboBox2, *ComboBox3;
    QPlainTextEdit* Memo1;
    tc::qt::StringGridView* StringGrid1;
    tc::qt::AdvanceChartView* Chart1;

    // The handlers.
    void FormCreate();
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Button5Click();
    void Button6Click();
    void Button7Click();
    void ComboBox1Change(const QString& text);
    void ComboBox2Change(const QString& text);
    void ComboBox3Change(const QString& text);
    void StringGrid1SelectCell(int column, int row);
    void StringGrid1SetEditText(int column, int row, const QString& text);
    void StringGrid1Copy();
    void StringGrid1Paste();
    void EditUndo();
    void EditRedo();
    // Whether the window may close: unsaved changes saved or given up.
    bool FormCloseQuery();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void CreateControls();
    QWidget* NewControl(const TForm1Control& control);
    QComboBox* NewCombo(tc::Combo shown);
    void ConnectHandlers();
    void Show(const tc::Outcome& outcome);
    void ShowComboText(QComboBox* combo, const tc::ComboField& field);

    // What the core tells.
    void CellChanged(int column, int row) override;
    void ComboChanged(tc::Combo combo) override;
    void EditingChanged(bool editing) override;
    void SourceChanged() override;
    void PlotChanged() override;
    void TextChanged(tc::Element element) override;

    std::unique_ptr<tc::qt::BoxMessages> ownMessages_;
    std::unique_ptr<tc::qt::DialogChooser> ownChooser_;
    std::unique_ptr<tc::os::DiskFiles> ownFiles_;
    std::unique_ptr<tc::qt::SystemDesktop> ownDesktop_;
    std::unique_ptr<tc::qt::BoxQuestions> ownQuestions_;
    tc::Messages* messages_ = nullptr;
    std::unique_ptr<tc::Core> core_;
};

// The one main window of the program.
extern TForm1* Form1;
