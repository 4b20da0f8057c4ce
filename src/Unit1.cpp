#include "Unit1.h"

#include <QFont>
#include <QLineEdit>
#include <algorithm>

TForm1* Form1 = nullptr;

namespace {
constexpr int kClientWidth = 873;
constexpr int kClientHeight = 535;
// What the source text box shows at most: firmware lines hold up to 80 characters.
constexpr std::size_t kShownLine = 1000;
constexpr std::size_t kShownText = std::size_t{1} << 20;

QString Q(const std::string& text) { return tc::qt::FromUtf8(text); }
}  // namespace

TForm1::TForm1(Services services, QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("Form1");
    if (!services.messages) services.messages = (ownMessages_ = std::make_unique<tc::qt::BoxMessages>(this)).get();
    if (!services.chooser) services.chooser = (ownChooser_ = std::make_unique<tc::qt::DialogChooser>(this)).get();
    if (!services.files) services.files = (ownFiles_ = std::make_unique<tc::os::DiskFiles>()).get();
    if (!services.desktop) services.desktop = (ownDesktop_ = std::make_unique<tc::qt::SystemDesktop>()).get();
    const char32_t separator = services.decimalSeparator.value_or(tc::qt::LocaleDecimalSeparator());
    logic_ = std::make_unique<tc::Form>(
        tc::Ports{*services.messages, *services.chooser, *services.files, *services.desktop}, separator);

    // Fixed size, minimise and close only.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(kClientWidth, kClientHeight);
    QFont font("MS Sans Serif");
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    setFont(font);

    const auto button = [this](const char* name, int x, int y, int w, int h) {
        auto* b = new QPushButton(this);
        b->setObjectName(name);
        b->setGeometry(x, y, w, h);
        return b;
    };
    const auto label = [this](const char* name, int x, int y, int w, int h) {
        auto* l = new QLabel(this);
        l->setObjectName(name);
        l->setGeometry(x, y, w, h);
        return l;
    };
    // Created in keyboard focus order, which is then the Tab order.
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName("Memo1");
    Memo1->setGeometry(16, 104, 177, 193);
    Memo1->setReadOnly(true);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Button1 = button("Button1", 16, 16, 81, 33);
    StringGrid1 = new tc::qt::StringGridView(this, logic_->Model(), [this] { return logic_->DecimalSeparator(); });
    StringGrid1->setGeometry(208, 16, 201, 505);
    ComboBox1 = new QComboBox(this);
    ComboBox1->setGeometry(136, 72, 49, 21);
    // The chart takes no keyboard input, so Tab passes it by.
    Chart1 = new tc::qt::AdvanceChartView(this);
    Chart1->setGeometry(416, 16, 449, 505);
    Chart1->chart()->setTitleFont(font);
    Button2 = button("Button2", 16, 344, 177, 33);
    Button3 = button("Button3", 16, 472, 177, 49);
    Button4 = button("Button4", 120, 304, 73, 33);
    ComboBox2 = new QComboBox(this);
    ComboBox2->setGeometry(64, 312, 41, 21);
    Button5 = button("Button5", 16, 384, 177, 33);
    Button6 = button("Button6", 16, 424, 177, 33);
    Button7 = button("Button7", 112, 16, 81, 33);
    ComboBox3 = new QComboBox(this);
    ComboBox3->setGeometry(32, 72, 65, 21);
    Label3 = label("Label3", 32, 56, 58, 13);
    Label1 = label("Label1", 120, 56, 68, 13);
    Label2 = label("Label2", 24, 320, 28, 13);

    Button1->setToolTip(tc::kFileButtonTooltip);

    SetUpCombo(ComboBox1, "ComboBox1", tc::FilterDigitKey);
    SetUpCombo(ComboBox2, "ComboBox2", tc::FilterTableKey);
    SetUpCombo(ComboBox3, "ComboBox3", tc::FilterDigitKey);

    connect(Button1, &QPushButton::clicked, this, [this] { logic_->Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { logic_->Button2Click(); });
    connect(Button3, &QPushButton::clicked, this, [this] { logic_->Button3Click(); });
    connect(Button4, &QPushButton::clicked, this, [this] { logic_->Button4Click(); });
    connect(Button5, &QPushButton::clicked, this, [this] { logic_->Button5Click(); });
    connect(Button6, &QPushButton::clicked, this, [this] { logic_->Button6Click(); });
    connect(Button7, &QPushButton::clicked, this, [this] { logic_->Button7Click(); });
    connect(ComboBox1, &QComboBox::editTextChanged, this, [this](const QString& text) {
        if (showingModel_) return;
        ComboEdited(logic_->Model().sensor, text);
        logic_->ComboBox1Change();
    });
    connect(ComboBox2, &QComboBox::editTextChanged, this, [this](const QString& text) {
        if (showingModel_) return;
        ComboEdited(logic_->Model().table, text);
        logic_->ComboBox2Change();
    });
    connect(ComboBox3, &QComboBox::editTextChanged, this, [this](const QString& text) {
        if (!showingModel_) ComboEdited(logic_->Model().spark, text);
    });
    StringGrid1->selectCell = [this](int column, int row) { logic_->StringGrid1SelectCell(column, row); };

    logic_->SetObserver(this);
    FormCreate();
    Memo1->setFocus();
    if (!Form1) Form1 = this;
}

TForm1::~TForm1() {
    logic_->SetObserver(nullptr);
    // The controls show the logic's model: they go first, while it still exists.
    ownChooser_.reset();
    qDeleteAll(findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly));
    if (Form1 == this) Form1 = nullptr;
}

void TForm1::FormCreate() {
    logic_->FormCreate();
    for (int number = 1; number <= 3; ++number) ComboTextChanged(number);
    EditingChanged(logic_->Model().editing);
}

void TForm1::SetUpCombo(QComboBox* combo, const char* name, tc::qt::CharFilter filter) {
    combo->setObjectName(name);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setDuplicatesEnabled(true);
    combo->lineEdit()->installEventFilter(new tc::qt::KeyFilter(combo, std::move(filter)));
}

void TForm1::ComboEdited(tc::ComboField& field, const QString& text) { field.text = tc::qt::ToUtf8(text); }

void TForm1::ShowComboText(QComboBox* combo, const tc::ComboField& field) {
    showingModel_ = true;
    if (combo->count() != static_cast<int>(field.items.size())) {
        combo->clear();
        for (const auto& item : field.items) combo->addItem(Q(item));
    }
    combo->lineEdit()->setMaxLength(field.maxLength > 0 ? field.maxLength : 32767);
    // The list follows the text: its item when it has one, none otherwise (the start-up 65).
    const int item = combo->findText(Q(field.text), Qt::MatchExactly);
    if (combo->currentIndex() != item) combo->setCurrentIndex(item);
    if (combo->currentText() != Q(field.text)) combo->setEditText(Q(field.text));
    showingModel_ = false;
}

void TForm1::FitLabel(QLabel* label, int width) {
    // Keep the place; grow only where the stand-in font is wider than the original.
    label->resize(std::max(width, label->sizeHint().width()), label->height());
}

void TForm1::CellChanged(int column, int row) { StringGrid1->TableModel().CellChanged(column, row); }

void TForm1::ComboTextChanged(int comboNumber) {
    auto& model = logic_->Model();
    switch (comboNumber) {
    case 1: ShowComboText(ComboBox1, model.sensor); break;
    case 2: ShowComboText(ComboBox2, model.table); break;
    default: ShowComboText(ComboBox3, model.spark); break;
    }
}

void TForm1::EditingChanged(bool editing) { StringGrid1->SetEditing(editing); }

void TForm1::SourceChanged() {
    const std::string& text = logic_->Source().Text();
    // One line break per source line; the text box holds lines, not bytes. It lays
    // out a long line in time that grows with the square of its length and a big
    // text in seconds, so it shows a capped prefix; the logic keeps the whole text.
    std::string lines;
    lines.reserve(std::min(text.size(), kShownText + kShownLine + 2));
    std::size_t start = 0, shown = 0;
    for (; start < text.size() && lines.size() < kShownText; ++shown) {
        const std::size_t lf = std::min(text.find('\n', start), text.size());
        const std::size_t length = (lf < text.size() && lf > start && text[lf - 1] == '\r' ? lf - 1 : lf) - start;
        lines.append(text, start, std::min(length, kShownLine));
        if (length > kShownLine) lines += '\x85';  // an ellipsis in Windows-1251
        lines += '\n';
        start = lf + 1;
    }
    if (!lines.empty()) lines.pop_back();
    QString display = tc::qt::DecodeCp1251(lines);
    if (start < text.size()) {
        const auto total = static_cast<long long>(std::count(text.begin(), text.end(), '\n'));
        display += logic_->LanguageFlag() == tc::kEnglish
                       ? QString("\n[the first %1 of %2 lines are shown]").arg(shown).arg(total)
                       : QString::fromUtf8("\n[показаны первые %1 строк из %2]").arg(shown).arg(total);
    }
    Memo1->setPlainText(display);
}

void TForm1::PlotChanged() { Chart1->SetPoints(logic_->Series().Points()); }

void TForm1::TextChanged(tc::Element element) {
    const QString text = Q(logic_->TextOf(element));
    using tc::Element;
    switch (element) {
    case Element::Button1: Button1->setText(text); break;
    case Element::Button2: Button2->setText(text); break;
    case Element::Button3: Button3->setText(text); break;
    case Element::Button4: Button4->setText(text); break;
    case Element::Button5: Button5->setText(text); break;
    case Element::Button6: Button6->setText(text); break;
    case Element::Button7: Button7->setText(text); break;
    case Element::ChartTitle: Chart1->SetTitle(text); break;
    case Element::Label1: Label1->setText(text); FitLabel(Label1, 68); break;
    case Element::Label2: Label2->setText(text); FitLabel(Label2, 28); break;
    case Element::Label3: Label3->setText(text); FitLabel(Label3, 58); break;
    case Element::WindowCaption: setWindowTitle(text); break;
    default: break;  // grid headers arrive as cells
    }
}
