#include "Unit1.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QFont>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <algorithm>

#include "app/source_view.h"

TForm1* Form1 = nullptr;

namespace {
QString Q(const std::string& text) { return tc::qt::FromUtf8(text); }

const TForm1Control* ControlOf(auto matches) {
    const auto at = std::find_if(kForm1Layout.begin(), kForm1Layout.end(), matches);
    return at == kForm1Layout.end() ? nullptr : &*at;
}
}  // namespace

TForm1::TForm1(Services services, QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("Form1");
    if (!services.messages) services.messages = (ownMessages_ = std::make_unique<tc::qt::BoxMessages>(this)).get();
    if (!services.chooser) services.chooser = (ownChooser_ = std::make_unique<tc::qt::DialogChooser>(this)).get();
    if (!services.files) services.files = (ownFiles_ = std::make_unique<tc::os::DiskFiles>()).get();
    if (!services.desktop) services.desktop = (ownDesktop_ = std::make_unique<tc::qt::SystemDesktop>()).get();
    if (!services.questions) services.questions = (ownQuestions_ = std::make_unique<tc::qt::BoxQuestions>(this)).get();
    messages_ = services.messages;
    const char32_t separator = services.decimalSeparator.value_or(tc::qt::LocaleDecimalSeparator());
    core_ = std::make_unique<tc::Core>(
        tc::Ports{*services.chooser, *services.files, *services.desktop, services.questions}, separator);

    // Fixed size, minimise and close only.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(tc::kClientWidth, tc::kClientHeight);
    QFont font("MS Sans Serif");
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(tc::kFontPoints);
    setFont(font);
    CreateControls();
    Chart1->chart()->setTitleFont(font);
    Button1->setToolTip(tc::kFileButtonTooltip);
    ConnectHandlers();

    core_->SetObserver(this);
    FormCreate();
    Memo1->setFocus();
    if (!Form1) Form1 = this;
}

TForm1::~TForm1() {
    core_->SetObserver(nullptr);
    // The controls show the core's model: they go first, while it still exists.
    ownChooser_.reset();
    qDeleteAll(findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly));
    if (Form1 == this) Form1 = nullptr;
}

tc::qt::EditCombo* TForm1::NewCombo(tc::Combo shown) {
    auto* combo = new tc::qt::EditCombo(this);
    // The table number takes 1 to 3; the sensor angle and spark duration digits.
    tc::qt::CharFilter filter = shown == tc::Combo::TableNumber ? tc::FilterTableKey : tc::FilterDigitKey;
    // Typed keys reach the combo box, which hands them to its line edit past
    // the line edit's event filters, so the combo box itself filters them too.
    auto* keys = new tc::qt::KeyFilter(combo, std::move(filter));
    combo->installEventFilter(keys);
    combo->lineEdit()->installEventFilter(keys);
    // Installed last, so it sees Ctrl+Z before the filter drops it as no digit.
    auto* undo = new tc::qt::UndoKeys(
        combo, combo->lineEdit(), [this] { EditUndo(); }, [this] { EditRedo(); });
    combo->installEventFilter(undo);
    combo->lineEdit()->installEventFilter(undo);
    return combo;
}

QWidget* TForm1::NewControl(const TForm1Control& control) {
    switch (control.kind) {
        case TForm1Control::Memo: {
            auto* memo = new QPlainTextEdit(this);
            memo->setReadOnly(true);
            memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
            return memo;
        }
        case TForm1Control::Button: {
            // Enter presses the focused button, as on Windows; outside a dialog Qt takes only Space.
            auto* button = new QPushButton(this);
            button->setAutoDefault(true);
            return button;
        }
        case TForm1Control::Grid:
            return new tc::qt::StringGridView(this, core_->Model(), [this] { return core_->DecimalSeparator(); });
        case TForm1Control::Combo: return NewCombo(*control.combo);
        // The chart takes no keyboard input, so Tab passes it by.
        case TForm1Control::Chart: return new tc::qt::AdvanceChartView(this);
        case TForm1Control::Label: return new QLabel(this);
    }
    return nullptr;
}

void TForm1::CreateControls() {
    for (const TForm1Control& control : kForm1Layout) {
        QWidget* widget = NewControl(control);
        widget->setObjectName(control.name);
        widget->setGeometry(control.x, control.y, control.width, control.height);
    }
    const auto find = [this]<class T>(T*& member, const char* name) { member = findChild<T*>(name); };
    find(Memo1, "Memo1");
    find(StringGrid1, "StringGrid1");
    find(Chart1, "Chart1");
    QPushButton** buttons[] = {&Button1, &Button2, &Button3, &Button4, &Button5, &Button6, &Button7};
    for (std::size_t i = 0; i < std::size(buttons); ++i) find(*buttons[i], ("Button" + std::to_string(i + 1)).c_str());
    find(ComboBox1, "ComboBox1");
    find(ComboBox2, "ComboBox2");
    find(ComboBox3, "ComboBox3");
    find(Label1, "Label1");
    find(Label2, "Label2");
    find(Label3, "Label3");
}

void TForm1::ConnectHandlers() {
    connect(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm1::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TForm1::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TForm1::Button4Click);
    connect(Button5, &QPushButton::clicked, this, &TForm1::Button5Click);
    connect(Button6, &QPushButton::clicked, this, &TForm1::Button6Click);
    connect(Button7, &QPushButton::clicked, this, &TForm1::Button7Click);
    connect(ComboBox1, &QComboBox::editTextChanged, this, &TForm1::ComboBox1Change);
    connect(ComboBox2, &QComboBox::editTextChanged, this, &TForm1::ComboBox2Change);
    connect(ComboBox3, &QComboBox::editTextChanged, this, &TForm1::ComboBox3Change);
    StringGrid1->selectCell = [this](int column, int row) { StringGrid1SelectCell(column, row); };
    StringGrid1->TableModel().edited = [this](int column, int row, const QString& text) {
        StringGrid1SetEditText(column, row, text);
    };
    StringGrid1->copy = [this] { StringGrid1Copy(); };
    StringGrid1->paste = [this] { StringGrid1Paste(); };
    StringGrid1->undo = [this] { EditUndo(); };
    StringGrid1->redo = [this] { EditRedo(); };
}

void TForm1::Show(const tc::Outcome& outcome) {
    tc::ShowDiagnostics(*messages_, outcome.diagnostics, core_->LanguageFlag());
}

void TForm1::FormCreate() { core_->Start(); }
void TForm1::Button1Click() { Show(core_->OpenSource()); }
void TForm1::Button2Click() { Show(core_->StoreAngles()); }
void TForm1::Button3Click() { core_->ShowHelp(); }
void TForm1::Button4Click() { Show(core_->Plot()); }
void TForm1::Button5Click() { Show(core_->Save()); }
void TForm1::Button6Click() { Show(core_->Compile()); }
void TForm1::Button7Click() { core_->SwitchLanguage(); }
void TForm1::ComboBox1Change(const QString& text) { Show(core_->SetSensorAngle(tc::qt::ToUtf8(text))); }
void TForm1::ComboBox2Change(const QString& text) { Show(core_->ChooseTable(tc::qt::ToUtf8(text))); }
void TForm1::ComboBox3Change(const QString& text) { Show(core_->SetSparkDuration(tc::qt::ToUtf8(text))); }
void TForm1::StringGrid1SelectCell(int column, int row) { core_->SelectCell(column, row); }
void TForm1::StringGrid1SetEditText(int column, int row, const QString& text) {
    Show(core_->Edit({tc::Field::Cell, column, row}, tc::qt::ToUtf8(text)));
}

void TForm1::StringGrid1Copy() { QGuiApplication::clipboard()->setText(Q(core_->CopyTable())); }
void TForm1::StringGrid1Paste() {
    const QModelIndex at = StringGrid1->currentIndex();
    Show(core_->Paste(at.column(), at.row() + 1, tc::qt::ToUtf8(QGuiApplication::clipboard()->text())));
}
void TForm1::EditUndo() { Show(core_->Undo()); }
void TForm1::EditRedo() { Show(core_->Redo()); }
bool TForm1::FormCloseQuery() {
    const tc::Outcome outcome = core_->ConfirmLeave();
    Show(outcome);
    return outcome.Ok();
}

// The close button, the system menu and Alt+F4 all arrive here.
void TForm1::closeEvent(QCloseEvent* event) {
    if (FormCloseQuery())
        event->accept();
    else
        event->ignore();
}

// Undo and redo from wherever the focus is; the grid and the combo boxes take them first.
void TForm1::keyPressEvent(QKeyEvent* event) {
    switch (tc::qt::EditKeyOf(*event)) {
        case tc::qt::EditKey::Undo: return EditUndo();
        case tc::qt::EditKey::Redo: return EditRedo();
        default: QWidget::keyPressEvent(event);
    }
}

void TForm1::ShowComboText(tc::qt::EditCombo* combo, const tc::ComboField& field) {
    // Showing the model is no edit of the user's.
    const QSignalBlocker quiet(combo);
    if (combo->count() != static_cast<int>(field.items.size())) {
        combo->clear();
        for (const auto& item : field.items) combo->addItem(Q(item));
    }
    combo->lineEdit()->setMaxLength(field.maxLength > 0 ? field.maxLength : 32767);
    combo->ShowText(Q(field.text));
}

void TForm1::CellChanged(int column, int row) { StringGrid1->TableModel().CellChanged(column, row); }

void TForm1::ComboChanged(tc::Combo combo) {
    const tc::GridModel& model = core_->Model();
    switch (combo) {
        case tc::Combo::SensorAngle: ShowComboText(ComboBox1, model.sensor); break;
        case tc::Combo::TableNumber: ShowComboText(ComboBox2, model.table); break;
        case tc::Combo::SparkDuration: ShowComboText(ComboBox3, model.spark); break;
    }
}

void TForm1::EditingChanged(bool editing) { StringGrid1->SetEditing(editing); }

void TForm1::SourceChanged() {
    const tc::SourceView view = tc::ShownSource(core_->Source().Text(), core_->LanguageFlag());
    QString display = tc::qt::DecodeCp1251(view.lines);
    if (!view.note.empty()) display += "\n" + Q(view.note);
    Memo1->setPlainText(display);
}

void TForm1::PlotChanged() { Chart1->SetPoints(core_->Series().Points()); }

void TForm1::TextChanged(tc::Element element) {
    const QString text = Q(core_->TextOf(element));
    if (element == tc::Element::WindowCaption) return setWindowTitle(text);
    const TForm1Control* control = ControlOf([&](const TForm1Control& c) { return c.text == element; });
    if (!control) return;  // grid headers arrive as cells
    QWidget* widget = findChild<QWidget*>(control->name);
    if (auto* button = qobject_cast<QPushButton*>(widget)) button->setText(text);
    if (auto* chart = qobject_cast<tc::qt::AdvanceChartView*>(widget))
        chart->SetTitle(text, Q(core_->SourceFileName()));
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(text);
        // Keep the place; grow only where the stand-in font is wider than the original.
        label->resize(std::max(control->width, label->sizeHint().width()), label->height());
    }
}
