// The main window: its layout, and its handlers, each one call into the core.
#pragma once

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>
#include <memory>
#include <optional>

#include "app/core.h"
#include "app/layout.h"
#include "os/files.h"
#include "platform/chart_view.h"
#include "platform/combo_box.h"
#include "platform/grid_view.h"
#include "platform/qt_ports.h"

// The layout both windows are built from (app/layout.h), under the window's names.
using TForm1Control = tc::FormControl;
using tc::kForm1Layout;
using TForm1Services = tc::WindowServices;

class TForm1 : public QWidget, private tc::CoreObserver {
    Q_OBJECT
public:
    using Services = TForm1Services;
    explicit TForm1(Services services = {}, QWidget* parent = nullptr);
    ~TForm1() override;

    tc::Core& Core() { return *core_; }

    QPushButton *Button1, *Button2, *Button3, *Button4, *Button5, *Button6, *Button7;
    QLabel *Label1, *Label2, *Label3;
    tc::qt::EditCombo *ComboBox1, *ComboBox2, *ComboBox3;
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
    tc::qt::EditCombo* NewCombo(tc::Combo shown);
    void ConnectHandlers();
    void Show(const tc::Outcome& outcome);
    void ShowComboText(tc::qt::EditCombo* combo, const tc::ComboField& field);

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
