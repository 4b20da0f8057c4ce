// The main window driven with real mouse and key events.
#include <QAbstractItemView>
#include <QCompleter>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>

#include "support/window_cases.h"
#include "gui_support.h"

namespace gui {
namespace {

using Control = std::tuple<const char*, int, int, int, int, const char*>;

TEST_F(WindowTest, EveryControlSitsAtItsPlaceWithItsStartText) {
    EXPECT_EQ(window->size(), QSize(873, 535));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8("Перерасчет угла опережения ФУОЗ DA-VED  v0.98"));
    const Control controls[] = {
        {"Button1", 16, 16, 81, 33, "Файл"},
        {"Button7", 112, 16, 81, 33, "English"},
        {"ComboBox3", 32, 72, 65, 21, "65"},
        {"ComboBox1", 136, 72, 49, 21, "20"},
        {"Memo1", 16, 104, 177, 193, ""},
        {"Button4", 120, 304, 73, 33, "График"},
        {"ComboBox2", 64, 312, 41, 21, "1"},
        {"Button2", 16, 344, 177, 33, "Сохранить в таблицу"},
        {"Button5", 16, 384, 177, 33, "Сохранить в файл"},
        {"Button6", 16, 424, 177, 33, "Компилировать"},
        {"Button3", 16, 472, 177, 49, "О программе"},
        {"StringGrid1", 208, 16, 201, 505, ""},
        {"Chart1", 416, 16, 449, 505, ""},
    };
    for (const auto& [name, x, y, w, h, text] : controls) {
        auto* widget = window->findChild<QWidget*>(name);
        ASSERT_NE(widget, nullptr) << name;
        EXPECT_EQ(widget->geometry(), QRect(x, y, w, h)) << name;
        QString shown;
        if (auto* button = qobject_cast<QPushButton*>(widget)) shown = button->text();
        if (auto* combo = qobject_cast<QComboBox*>(widget)) shown = combo->currentText();
        if (auto* memo = qobject_cast<QPlainTextEdit*>(widget)) shown = memo->toPlainText();
        EXPECT_EQ(shown, QString::fromUtf8(text)) << name;
        EXPECT_EQ(widget->toolTip().isEmpty(), std::string(name) != "Button1") << name;
    }
    // Labels keep their place; a stand-in font may only widen them.
    const Control labels[] = {{"Label3", 32, 56, 58, 13, "Искра, мкс"},
                              {"Label1", 120, 56, 68, 13, "Угол датчика"},
                              {"Label2", 24, 320, 28, 13, "Табл."}};
    for (const auto& [name, x, y, w, h, text] : labels) {
        auto* label = window->findChild<QLabel*>(name);
        ASSERT_NE(label, nullptr) << name;
        EXPECT_EQ(label->pos(), QPoint(x, y)) << name;
        EXPECT_EQ(label->height(), h) << name;
        EXPECT_GE(label->width(), std::max(w, label->sizeHint().width())) << name;
        EXPECT_EQ(label->text(), QString::fromUtf8(text)) << name;
    }
    EXPECT_EQ(window->Button1->toolTip(), QString::fromUtf8("Выберите CDI.asm"));
    EXPECT_EQ(window->Chart1->Series1()->objectName(), "Series1");
    EXPECT_EQ(window->Chart1->Title(), QString::fromUtf8("График УОЗ"));
    EXPECT_EQ(window->Chart1->Series1()->count(), 0);
    EXPECT_FALSE(window->Chart1->chart()->legend()->isVisible());
}

TEST_F(WindowTest, TabWalksTheControlsInTheirOrder) {
    const QStringList expected = {"Button1",   "StringGrid1", "ComboBox1", "Button2", "Button3",   "Button4",
                                  "ComboBox2", "Button5",     "Button6",   "Button7", "ComboBox3", "Memo1"};
    window->Memo1->setFocus();
    QStringList seen;
    for (qsizetype i = 0; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* focus = QApplication::focusWidget();
        while (focus && focus->parentWidget() != window.get()) focus = focus->parentWidget();
        seen << (focus ? focus->objectName() : QString());
    }
    EXPECT_EQ(seen.join(' ').toStdString(), expected.join(' ').toStdString());
}

// What each kind of row in the layout table is built as.
struct KindCheck {
    TForm1Control::Kind kind;
    const char* name;
    bool (*is)(QWidget*);
};
const KindCheck kKinds[] = {
    {TForm1Control::Memo, "QPlainTextEdit", [](QWidget* w) { return qobject_cast<QPlainTextEdit*>(w) != nullptr; }},
    {TForm1Control::Button, "QPushButton", [](QWidget* w) { return qobject_cast<QPushButton*>(w) != nullptr; }},
    {TForm1Control::Grid, "StringGridView",
     [](QWidget* w) { return qobject_cast<tc::qt::StringGridView*>(w) != nullptr; }},
    {TForm1Control::Combo, "QComboBox", [](QWidget* w) { return qobject_cast<QComboBox*>(w) != nullptr; }},
    {TForm1Control::Chart, "AdvanceChartView",
     [](QWidget* w) { return qobject_cast<tc::qt::AdvanceChartView*>(w) != nullptr; }},
    {TForm1Control::Label, "QLabel", [](QWidget* w) { return qobject_cast<QLabel*>(w) != nullptr; }},
};

const tc::ComboField& FieldOf(const tc::GridModel& model, tc::Combo combo) {
    switch (combo) {
        case tc::Combo::SensorAngle: return model.sensor;
        case tc::Combo::TableNumber: return model.table;
        case tc::Combo::SparkDuration: return model.spark;
    }
    return model.sensor;
}

// The texts a control shows, in UTF-8: a combo box its text and list, the others their one text.
std::vector<std::string> ShownTexts(QWidget* widget) {
    QStringList shown;
    if (auto* button = qobject_cast<QPushButton*>(widget)) shown << button->text();
    if (auto* label = qobject_cast<QLabel*>(widget)) shown << label->text();
    if (auto* chart = qobject_cast<tc::qt::AdvanceChartView*>(widget)) shown << chart->Title();
    if (auto* memo = qobject_cast<QPlainTextEdit*>(widget)) shown << memo->toPlainText();
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        shown << combo->currentText();
        for (int i = 0; i < combo->count(); ++i) shown << combo->itemText(i);
    }
    std::vector<std::string> texts;
    for (const QString& text : shown) texts.push_back(tc::qt::ToUtf8(text));
    return texts;
}

std::string Geometry(const QRect& r) {
    return std::to_string(r.x()) + "," + std::to_string(r.y()) + " " + std::to_string(r.width()) + "x" +
           std::to_string(r.height());
}

// The top-level control that holds the keyboard focus.
std::string FocusedControl(QWidget* window) {
    QWidget* focus = QApplication::focusWidget();
    while (focus && focus->parentWidget() != window) focus = focus->parentWidget();
    return focus ? focus->objectName().toStdString() : std::string("(none)");
}

TEST_F(WindowTest, EveryRowOfTheLayoutTableIsItsControlInPlaceWithItsStartText) {
    // The start texts of the combo boxes, as a fresh model has them.
    tc::GridModel start;
    start.Fill();
    std::vector<QWidget*> focusable;
    for (const TForm1Control& control : kForm1Layout) {
        SCOPED_TRACE(control.name);
        auto* widget = window->findChild<QWidget*>(control.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->parentWidget(), window.get());

        std::string kinds, expectedKind;
        for (const KindCheck& k : kKinds) {
            if (k.is(widget)) kinds += std::string(kinds.empty() ? "" : " ") + k.name;
            if (k.kind == control.kind) expectedKind = k.name;
        }
        EXPECT_EQ(kinds, expectedKind);

        // Labels keep their place; a stand-in font may only widen them.
        if (control.kind == TForm1Control::Label) {
            EXPECT_EQ(widget->x(), control.x);
            EXPECT_EQ(widget->y(), control.y);
            EXPECT_EQ(widget->height(), control.height);
            EXPECT_GE(widget->width(), control.width);
        } else {
            EXPECT_EQ(Geometry(widget->geometry()),
                      Geometry(QRect(control.x, control.y, control.width, control.height)));
        }

        std::vector<std::string> expected;
        if (control.text) {
            expected.push_back(*control.text == tc::Element::ChartTitle ? tc::UpdateChartTitle(tc::kRussian, 0, "")
                                                                        : tc::ElementText(*control.text, tc::kRussian));
            EXPECT_FALSE(expected.front().empty());
        } else if (control.combo) {
            const tc::ComboField& field = FieldOf(start, *control.combo);
            expected.push_back(field.text);
            expected.insert(expected.end(), field.items.begin(), field.items.end());
        } else if (control.kind == TForm1Control::Memo) {
            expected.emplace_back();
        }
        EXPECT_EQ(ShownTexts(widget), expected);

        const bool takesFocus = control.kind != TForm1Control::Chart && control.kind != TForm1Control::Label;
        EXPECT_EQ(widget->focusPolicy() == Qt::NoFocus, !takesFocus);
        if (takesFocus) focusable.push_back(widget);
    }

    // Tab from each control that takes the focus reaches the next one of the table, the last the first.
    ASSERT_FALSE(focusable.empty());
    for (std::size_t i = 0; i < focusable.size(); ++i) {
        SCOPED_TRACE(focusable[i]->objectName().toStdString());
        focusable[i]->setFocus();
        ASSERT_EQ(FocusedControl(window.get()), focusable[i]->objectName().toStdString());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(FocusedControl(window.get()), focusable[(i + 1) % focusable.size()]->objectName().toStdString());
    }
}

TEST_F(WindowTest, GridStartsWithHeadersSpeedsAndCombos) {
    auto* header = window->StringGrid1->horizontalHeader();
    EXPECT_EQ(header->model()->headerData(0, Qt::Horizontal).toString(), QString::fromUtf8("об/мин"));
    EXPECT_EQ(header->model()->headerData(4, Qt::Horizontal).toString(), QString::fromUtf8("УОЗ"));
    EXPECT_EQ(header->height(), 16);
    EXPECT_EQ(window->StringGrid1->columnWidth(0), 45);
    for (int column = 1; column < 5; ++column) EXPECT_EQ(window->StringGrid1->columnWidth(column), 36);
    EXPECT_EQ(window->StringGrid1->rowHeight(0), 14);
    EXPECT_EQ(Cell(0, 1), "460");
    EXPECT_EQ(Cell(0, 27), "10600");
    EXPECT_EQ(Cell(0, 32), "19500");
    EXPECT_EQ(window->StringGrid1->model()->data(window->StringGrid1->model()->index(31, 0)).toString(), "19500");
    const std::tuple<QComboBox*, QStringList, int> combos[] = {
        {window->ComboBox1, {"40", "35", "30", "25", "20", "15"}, 2},
        {window->ComboBox2, {"1", "2", "3"}, 1},
        {window->ComboBox3, {"200", "100", "50"}, 32767},
    };
    for (const auto& [combo, items, maxLength] : combos) {
        QStringList shown;
        for (int i = 0; i < combo->count(); ++i) shown << combo->itemText(i);
        EXPECT_EQ(shown, items) << combo->objectName().toStdString();
        EXPECT_EQ(combo->lineEdit()->maxLength(), maxLength) << combo->objectName().toStdString();
    }
}

TEST_F(WindowTest, SpeedOfRowOneIsNeverEditableButTheOthersTakeDigitsOnly) {
    // The cell current at start is (0, 1); typing there changes nothing.
    window->StringGrid1->setFocus();
    QTest::keyClicks(window->StringGrid1, "9");
    EXPECT_EQ(Cell(0, 1), "460");
    ClickCell(0, 1);
    QTest::keyClicks(QApplication::focusWidget(), "12");
    EXPECT_EQ(Cell(0, 1), "460");

    TypeIntoCell(0, 2, "7-,.a 50");
    EXPECT_EQ(Cell(0, 2), "750");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    EXPECT_EQ(Cell(0, 2), "75");

    // Table columns are read-only; the angle column is editable again afterwards.
    ClickCell(2, 5);
    QTest::keyClicks(QApplication::focusWidget(), "3");
    EXPECT_EQ(Cell(2, 5), "");
    TypeIntoCell(4, 5, "-1.5");
    EXPECT_EQ(Cell(4, 5), "-1.5");
}

struct SeparatorCase {
    char32_t separator;
    const char* typed;
    const char* stored;
};

class AngleTyping : public WindowTest, public ::testing::WithParamInterface<SeparatorCase> {
protected:
    void SetUp() override { Open(GetParam().separator); }
};

TEST_P(AngleTyping, SeparatorKeysBecomeTheLocalesSeparator) {
    TypeIntoCell(4, 3, QString::fromUtf8(GetParam().typed));
    EXPECT_EQ(Cell(4, 3), QString::fromUtf8(GetParam().stored));
}

INSTANTIATE_TEST_SUITE_P(Separators, AngleTyping,
                         ::testing::Values(SeparatorCase{U',', "19.3", "19,3"}, SeparatorCase{U',', "19,3", "19,3"},
                                           SeparatorCase{U'.', "19,3", "19.3"}, SeparatorCase{U'.', "1a+ 2", "12"},
                                           SeparatorCase{U'\u066B', "19.3", "193"}));

using tc::test::ArrowCase;
using tc::test::ComboTyping;
using tc::test::kComboTypings;

class ComboKeys : public WindowTest, public ::testing::WithParamInterface<ComboTyping> {};

TEST_P(ComboKeys, PassOnlyWhatTheBoxTakes) {
    QComboBox* combos[] = {window->ComboBox1, window->ComboBox2, window->ComboBox3};
    QComboBox* combo = combos[GetParam().combo - 1];
    QTest::mouseClick(combo->lineEdit(), Qt::LeftButton, {}, combo->lineEdit()->rect().center());
    QWidget* target = QApplication::focusWidget();
    ASSERT_NE(target, nullptr);
    QTest::keyClick(target, Qt::Key_End);
    if (GetParam().selectAll) QTest::keyClick(target, Qt::Key_Home, Qt::ShiftModifier);
    for (const char key : std::string(GetParam().keys)) {
        if (key == '\b')
            QTest::keyClick(target, Qt::Key_Backspace);
        else
            QTest::keyClicks(target, QString(QChar(key)));
    }
    QApplication::processEvents();
    EXPECT_EQ(combo->currentText(), QString::fromUtf8(GetParam().shown));
    const tc::GridModel& model = window->Core().Model();
    const std::string held[] = {model.sensor.text, model.table.text, model.spark.text};
    EXPECT_EQ(held[GetParam().combo - 1], GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Combos, ComboKeys, ::testing::ValuesIn(kComboTypings),
                         [](const auto& info) { return std::string(info.param.name); });

// A combo box's list opened by a click on its arrow, as a user opens it, and an item picked with the mouse.
struct DropDownCase {
    const char* name;
    int combo;  // 1 to 3: ComboBox1, ComboBox2, ComboBox3
    QStringList items;
    int pick;  // the row clicked
};

void PrintTo(const DropDownCase& c, std::ostream* os) { *os << c.name; }

const DropDownCase kDropDowns[] = {
    {"SensorAngle", 1, {"40", "35", "30", "25", "20", "15"}, 0},
    {"SensorAngleLast", 1, {"40", "35", "30", "25", "20", "15"}, 5},
    {"TableNumber", 2, {"1", "2", "3"}, 2},
    {"SparkDurationFromATextNotInTheList", 3, {"200", "100", "50"}, 1},
};

class DropDown : public WindowTest, public ::testing::WithParamInterface<DropDownCase> {};

TEST_P(DropDown, ListsTheItemsAndAClickPicksOne) {
    const DropDownCase& c = GetParam();
    QComboBox* combos[] = {window->ComboBox1, window->ComboBox2, window->ComboBox3};
    QComboBox* combo = combos[c.combo - 1];
    QTest::mouseClick(combo, Qt::LeftButton, {}, QPoint(combo->width() - 6, combo->height() / 2));
    QAbstractItemView* list = combo->view();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list->window()));
    QStringList shown;
    for (int row = 0; row < list->model()->rowCount(); ++row) shown << list->model()->index(row, 0).data().toString();
    EXPECT_EQ(shown, c.items);
    // A release this soon after the opening click would count as the end of that click.
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    const QRect item = list->visualRect(list->model()->index(c.pick, 0));
    ASSERT_TRUE(list->viewport()->rect().contains(item)) << "the item is shown whole";
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !list->window()->isVisible(); })) << "the list closes";
    EXPECT_EQ(combo->currentText(), c.items[c.pick]);
    const tc::GridModel& model = window->Core().Model();
    const std::string held[] = {model.sensor.text, model.table.text, model.spark.text};
    EXPECT_EQ(held[c.combo - 1], c.items[c.pick].toStdString());
}

INSTANTIATE_TEST_SUITE_P(Combos, DropDown, ::testing::ValuesIn(kDropDowns),
                         [](const auto& info) { return std::string(info.param.name); });

// Puts the text into a cell through the core, as a finished cell editor hands it over.
void SetCell(TForm1& window, int column, int row, const std::string& text) {
    EXPECT_TRUE(window.Core().Edit({tc::Field::Cell, column, row}, text).Ok()) << column << ", " << row;
}

// Puts codes into a table column as a load would.
void FillTable(TForm1& window, int column, int code) {
    for (int row = 1; row <= 32; ++row) SetCell(window, column, row, std::to_string(code));
}

// The angles of the selected table into the angle column, as a load shows them:
// a new sensor angle refills the column once it holds data, so it gets some first.
void ShowTableAngles(TForm1& window) {
    tc::Core& core = window.Core();
    SetCell(window, tc::kAngleColumn, tc::kProbeRow, "0");
    const std::string sensor = core.Model().sensor.text;
    EXPECT_TRUE(core.SetSensorAngle(sensor == "0" ? "1" : "0").Ok());
    EXPECT_TRUE(core.SetSensorAngle(sensor).Ok());
}

TEST_F(WindowTest, GraphWithoutDataShowsOnlyTheMissingDataMessage) {
    TypeIntoCell(4, 1, "5");
    QTest::mouseClick(window->Button4, Qt::LeftButton);
    EXPECT_EQ(messages.all, (std::vector<Message>{{"warning", "Данные не определены"}}));
    EXPECT_EQ(window->Chart1->Series1()->count(), 0);
    QTest::mouseClick(window->Button7, Qt::LeftButton);
    QTest::mouseClick(window->Button2, Qt::LeftButton);
    EXPECT_EQ(messages.all.back(), (Message{"warning", "Missing data"}));
    EXPECT_EQ(Cell(1, 1), "");
}

TEST_F(WindowTest, PlotColoursStepsAndPartialPlots) {
    for (int row = 1; row <= 32; ++row) SetCell(*window, 4, row, std::to_string(row));
    TypeIntoCell(4, 1, "-");
    TypeIntoCell(4, 2, "12.5");
    TypeIntoCell(4, 5, "-");
    TypeIntoCell(4, 6, "-");
    QTest::mouseClick(window->Button4, Qt::LeftButton);
    EXPECT_TRUE(messages.all.empty());
    const auto& points = window->Core().Series().Points();
    ASSERT_EQ(points.size(), 32u);
    auto* series = window->Chart1->Series1();
    ASSERT_EQ(series->count(), 32);
    const auto colorAt = [&](int i) {
        return series->pointConfiguration(i).value(QXYSeries::PointConfiguration::Color).value<QColor>();
    };
    EXPECT_EQ(series->at(0), QPointF(460, 0));
    EXPECT_EQ(colorAt(0), QColor(0, 128, 0));
    EXPECT_EQ(series->at(1), QPointF(600, 12.5));
    EXPECT_EQ(colorAt(1), QColor(255, 0, 0));
    EXPECT_EQ(series->at(4), QPointF(1200, 4));
    EXPECT_EQ(series->at(5), QPointF(1500, 4));
    EXPECT_EQ(colorAt(5), QColor(0, 128, 0));
    // The step into a point is level first, then up or down, in that point's colour.
    const auto steps = window->Chart1->StepColors();
    ASSERT_EQ(steps.size(), 31u);
    EXPECT_EQ(steps[0], QColor(255, 0, 0));
    EXPECT_EQ(steps[4], QColor(0, 128, 0));
    EXPECT_EQ(window->Chart1->StepPoints(0), (std::vector<QPointF>{{460, 0}, {600, 0}, {600, 12.5}}));
    // The markers are drawn over the steps, and keep their axes.
    const QList<QAbstractSeries*> drawn = window->Chart1->chart()->series();
    ASSERT_EQ(drawn.size(), 32);
    EXPECT_EQ(drawn.back(), series);
    EXPECT_EQ(series->attachedAxes().size(), 2);

    // A bad angle in row 3 leaves rows 1 and 2 plotted.
    TypeIntoCell(4, 3, "1-2");
    QTest::mouseClick(window->Button4, Qt::LeftButton);
    EXPECT_EQ(messages.all, (std::vector<Message>{{"app", "'1-2' is not a valid floating point value."}}));
    EXPECT_EQ(window->Chart1->Series1()->count(), 2);
    EXPECT_EQ(window->Chart1->StepColors().size(), 1u);
}

// Focus taken away from the grid, then a click back into the current cell and
// typing at once, quicker than a double click: every key reaches the cell.
struct Reclick {
    const char* name;
    std::function<void(TForm1&)> away;
};

void PrintTo(const Reclick& c, std::ostream* os) { *os << c.name; }

class ReclickedCell : public WindowTest, public ::testing::WithParamInterface<Reclick> {};

TEST_P(ReclickedCell, TakesTheKeysTypedRightAfterTheClick) {
    TypeIntoCell(4, 3, "7");
    GetParam().away(*window);
    QApplication::processEvents();
    ASSERT_EQ(Editor(), nullptr);
    ClickCell(4, 3);
    ASSERT_NE(Editor(), nullptr) << "the editor opens with the click";
    QTest::keyClicks(QApplication::focusWidget(), "-4");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(Cell(4, 3), "-4");
}

INSTANTIATE_TEST_SUITE_P(Focus, ReclickedCell,
                         ::testing::Values(Reclick{"ToAButton",
                                                   [](TForm1& w) { QTest::mouseClick(w.Button4, Qt::LeftButton); }},
                                           Reclick{"ToAComboBox",
                                                   [](TForm1& w) {
                                                       QTest::mouseClick(w.ComboBox1->lineEdit(), Qt::LeftButton, {},
                                                                         w.ComboBox1->lineEdit()->rect().center());
                                                   }}),
                         [](const auto& info) { return std::string(info.param.name); });

class EditorArrows : public WindowTest, public ::testing::WithParamInterface<ArrowCase> {};

TEST_P(EditorArrows, LeaveTheTextOnlyAtItsEnds) {
    const ArrowCase& c = GetParam();
    TypeIntoCell(c.column, c.row, "12");
    for (const char key : std::string_view(c.keys)) {
        QWidget* target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr);
        switch (key) {
            case '<': QTest::keyClick(target, Qt::Key_Left); break;
            case '>': QTest::keyClick(target, Qt::Key_Right); break;
            case '[': QTest::keyClick(target, Qt::Key_Home); break;
            case ']': QTest::keyClick(target, Qt::Key_End); break;
            case '{': QTest::keyClick(target, Qt::Key_Home, Qt::ShiftModifier); break;
            case '(': QTest::keyClick(target, Qt::Key_Left, Qt::KeypadModifier); break;
            case '^': QTest::keyClick(target, Qt::Key_Up); break;
            case 'v': QTest::keyClick(target, Qt::Key_Down); break;
            default: QTest::keyClicks(target, QString(QChar(key)));
        }
        QApplication::processEvents();
    }
    EXPECT_EQ(window->StringGrid1->currentIndex().column(), c.endColumn);
    EXPECT_EQ(window->StringGrid1->currentIndex().row(), c.endRow - 1);
    EXPECT_EQ(Cell(c.column, c.row), c.text);
}

INSTANTIATE_TEST_SUITE_P(Keys, EditorArrows, ::testing::ValuesIn(tc::test::kEditorArrows),
                         [](const auto& info) { return std::string(info.param.name); });

// As drawn: a marker, up and down its centre where no step runs, shows no other colour than its point's.
TEST_F(WindowTest, MarkersAreDrawnWhollyInTheirPointsColour) {
    for (int row = 1; row <= 32; ++row) SetCell(*window, 4, row, std::to_string(row));
    TypeIntoCell(4, 6, "-");
    TypeIntoCell(4, 7, "-");
    QTest::mouseClick(window->Button4, Qt::LeftButton);
    auto* view = window->Chart1;
    auto* series = view->Series1();
    ASSERT_EQ(series->count(), 32);
    const QImage image = view->grab().toImage();
    for (const int i : {4, 5, 6, 7}) {
        const bool green = i == 5 || i == 6;
        const QPoint centre = view->mapFromScene(view->chart()->mapToPosition(series->at(i), series));
        EXPECT_EQ(image.pixelColor(centre), green ? QColor(0, 128, 0) : QColor(255, 0, 0)) << "point " << i;
        for (int dy = -5; dy <= 5; ++dy) {
            const QColor pixel = image.pixelColor(centre + QPoint(0, dy));
            const int other = green ? pixel.red() - pixel.green() : pixel.green() - pixel.red();
            EXPECT_LT(other, 64) << "point " << i << ", " << dy << " px off: " << pixel.name().toStdString();
        }
    }
}

TEST_F(WindowTest, SpeedsOutOfOrderArePlottedAscending) {
    for (int row = 1; row <= 32; ++row) SetCell(*window, 4, row, std::to_string(row));
    TypeIntoCell(0, 3, "5000");
    TypeIntoCell(0, 4, "600");
    QTest::mouseClick(window->Button4, Qt::LeftButton);
    auto* series = window->Chart1->Series1();
    ASSERT_EQ(series->count(), 32);
    EXPECT_EQ(series->at(1), QPointF(600, 2));
    EXPECT_EQ(series->at(2), QPointF(600, 4));  // equal speeds keep their row order
    for (int i = 1; i < series->count(); ++i) EXPECT_LE(series->at(i - 1).x(), series->at(i).x());
}

TEST_F(WindowTest, TypedAnglesAreStoredAndAnOverRangeAngleStopsAtItsRow) {
    FillTable(*window, 1, 0);
    ShowTableAngles(*window);
    TypeIntoCell(4, 2, "19.3");
    TypeIntoCell(4, 3, "71.8");
    TypeIntoCell(4, 4, "-");
    QTest::mouseClick(window->Button2, Qt::LeftButton);
    EXPECT_TRUE(messages.all.empty());
    EXPECT_EQ(Cell(1, 2), "1");
    EXPECT_EQ(Cell(1, 3), "181");
    EXPECT_EQ(Cell(1, 4), "180");
    EXPECT_EQ(Cell(4, 3), "71.8");  // the angle column keeps what was typed

    TypeIntoCell(4, 6, "10");
    TypeIntoCell(4, 7, "72.15");
    TypeIntoCell(4, 8, "11");
    QTest::mouseClick(window->Button2, Qt::LeftButton);
    EXPECT_EQ(messages.all, (std::vector<Message>{{"warning", "Превышен предел 52° выше датчика"}}));
    EXPECT_EQ(Cell(1, 6), "14");
    EXPECT_EQ(Cell(1, 7), "0");
    EXPECT_EQ(Cell(1, 8), "0");
    EXPECT_EQ(Cell(4, 7), "72.15");
}

TEST_F(WindowTest, ChangingTableOrSensorRefillsTheAngleColumn) {
    FillTable(*window, 1, 17);
    FillTable(*window, 2, 200);
    FillTable(*window, 3, 180);
    ShowTableAngles(*window);
    EXPECT_EQ(Cell(4, 11), "8.1");

    PickItem(window->ComboBox2, 1);
    EXPECT_EQ(window->ComboBox2->currentText(), "2");
    EXPECT_EQ(Cell(4, 11), "58.5");
    EXPECT_EQ(window->Chart1->Series1()->count(), 32);

    auto* sensor = window->ComboBox1->lineEdit();
    sensor->selectAll();
    QTest::keyClicks(sensor, "25");
    EXPECT_EQ(Cell(4, 11), "63.5");
    EXPECT_EQ(Cell(2, 11), "200");

    PickItem(window->ComboBox2, 2);
    EXPECT_EQ(Cell(4, 1), "-");
    EXPECT_TRUE(messages.all.empty());

    // An empty sensor angle is reported once codes need it.
    PickItem(window->ComboBox2, 0);
    sensor->selectAll();
    QTest::keyClick(sensor, Qt::Key_Backspace);
    EXPECT_EQ(messages.all, (std::vector<Message>{{"app", "'' is not a valid integer value."}}));
}

TEST_F(WindowTest, ChangingAComboWithoutDataDoesNothing) {
    FillTable(*window, 2, 17);
    TypeIntoCell(4, 3, "5");
    PickItem(window->ComboBox2, 1);
    EXPECT_EQ(Cell(4, 3), "5");
    EXPECT_EQ(Cell(4, 1), "");
    EXPECT_TRUE(messages.all.empty());
}

TEST_F(WindowTest, LanguageRoundTripRestoresEveryText) {
    const auto texts = [&] {
        QStringList all;
        for (QPushButton* b : {window->Button1, window->Button2, window->Button3, window->Button4, window->Button5,
                               window->Button6, window->Button7})
            all << b->text();
        all << window->Chart1->Title() << window->Label1->text() << window->Label2->text() << window->Label3->text()
            << Cell(0, 0) << Cell(4, 0) << window->windowTitle() << Cell(1, 0) << Cell(2, 0) << Cell(3, 0);
        return all;
    };
    const QStringList russian = texts();
    QTest::mouseClick(window->Button7, Qt::LeftButton);
    EXPECT_EQ(texts(), (QStringList{"File", "Save to table", "Help", "Refresh", "Save to file", "Compile HEX File",
                                    "Russian", "Timing graph", "Sensor angle", "Table", "Spark, us", "RPM", "angle",
                                    "Ignition timing calculator for DA-VED project v0.98", "", "", ""}));
    EXPECT_EQ(window->Button1->toolTip(), QString::fromUtf8("Выберите CDI.asm"));
    QTest::mouseClick(window->Button4, Qt::LeftButton);
    EXPECT_EQ(messages.all.back().text, "Missing data");
    QTest::mouseClick(window->Button7, Qt::LeftButton);
    EXPECT_EQ(texts(), russian);
    QTest::mouseClick(window->Button4, Qt::LeftButton);
    EXPECT_EQ(messages.all.back().text, "Данные не определены");
}

TEST_F(WindowTest, HelpHandsHelpChmToTheDesktopAndSaysNothing) {
    QTest::mouseClick(window->Button3, Qt::LeftButton);
    EXPECT_EQ(desktop.documents, std::vector<std::string>{"Help.chm"});
    EXPECT_TRUE(messages.all.empty());
}

// Where the window's own desktop finds the help: the packages put it beside the
// program (Windows, a zip) or in share/timingcalc (Linux).
TEST(SystemDesktop, FindsTheHelpInTheCurrentFolderAndWhereItIsInstalled) {
    const QString name = "desktop-test-help.chm";
    const QDir programFolder(QCoreApplication::applicationDirPath());
    const QString beside = QDir::cleanPath(programFolder.absoluteFilePath(name));
    const QString shared = QDir::cleanPath(programFolder.absoluteFilePath("../share/timingcalc/" + name));
    const struct {
        const char* row;
        bool current, besideProgram, inShare;
        QString installed;
    } cases[] = {
        {"nowhere", false, false, false, ""},
        {"the current folder is not an installation", true, false, false, ""},
        {"beside the program", false, true, false, beside},
        {"in share/timingcalc", false, false, true, shared},
        {"beside the program first", true, true, true, beside},
    };
    QTemporaryDir current;
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(current.path()));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(shared).path()));
    tc::qt::SystemDesktop desktop;
    for (const auto& c : cases) {
        const std::pair<bool, QString> files[] = {
            {c.current, current.filePath(name)}, {c.besideProgram, beside}, {c.inShare, shared}};
        for (const auto& [wanted, path] : files) {
            QFile file(path);
            if (wanted) {
                ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << c.row;
            }
        }
        EXPECT_EQ(desktop.InCurrentFolder(tc::qt::ToUtf8(name)), c.current) << c.row;
        EXPECT_EQ(desktop.InstalledDocument(tc::qt::ToUtf8(name)), tc::qt::ToUtf8(c.installed)) << c.row;
        for (const auto& [wanted, path] : files) QFile::remove(path);
    }
    QDir().rmpath(QFileInfo(shared).path());
    QDir::setCurrent(before);
}

TEST_F(WindowTest, AngleCellsArePaintedYellowAndTheirHeaderIsNot) {
    TypeIntoCell(4, 20, "12");
    ClickCell(0, 5);
    const QImage image = window->StringGrid1->grab().toImage();
    auto* grid = window->StringGrid1;
    const QPoint offset = grid->viewport()->mapTo(grid, QPoint(0, 0));
    for (int row : {1, 20, 32}) {
        const QRect cell = grid->visualRect(grid->model()->index(row - 1, 4)).translated(offset);
        EXPECT_EQ(image.pixelColor(cell.right() - 2, cell.bottom() - 1), QColor(255, 255, 0)) << row;
    }
    const QRect header(grid->horizontalHeader()->sectionViewportPosition(4) + grid->frameWidth(), grid->frameWidth(),
                       36, 16);
    EXPECT_NE(image.pixelColor(header.center()), QColor(255, 255, 0));
    const QRect speed = grid->visualRect(grid->model()->index(10, 0)).translated(offset);
    EXPECT_NE(image.pixelColor(speed.right() - 2, speed.bottom() - 1), QColor(255, 255, 0));
}

// The title fitted to the chart as it is, whether set before the chart is shown or resized after.
TEST(ChartTitle, FitsWhenSetBeforeShowAndAfterAResize) {
    tc::qt::AdvanceChartView view(nullptr);
    view.setGeometry(0, 0, 449, 505);
    const QString name = "CDI_firmware_for_the_sport_engine_with_a_long_name_2026.asm";
    const QString warning = QString::fromUtf8(". Внимание, с подстроечным резистором!");
    const QString lead = QString::fromUtf8("График УОЗ, файл: ");
    view.SetTitle(lead + name + warning, name);
    const QString hidden = view.Title();
    EXPECT_TRUE(hidden.startsWith(lead + "CD")) << hidden.toStdString();
    EXPECT_TRUE(hidden.endsWith(QString("sm") + warning)) << hidden.toStdString();
    EXPECT_TRUE(hidden.contains(QChar(0x2026))) << hidden.toStdString();

    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    EXPECT_EQ(view.Title(), hidden);
    view.resize(300, 505);
    QApplication::processEvents();
    EXPECT_LT(view.Title().size(), hidden.size());
    EXPECT_TRUE(view.Title().endsWith(warning)) << view.Title().toStdString();
    view.resize(1200, 505);
    QApplication::processEvents();
    EXPECT_EQ(view.Title(), lead + name + warning);
    // Too narrow even for the rest: the file name keeps its mark of a cut.
    view.resize(150, 505);
    QApplication::processEvents();
    EXPECT_TRUE(view.Title().contains(lead + QChar(0x2026) + warning)) << view.Title().toStdString();
}

// The real message boxes: caption, icon and text as a user sees them.
TEST(MessageBoxes, CaptionsAndIconsOfTheThreeKinds) {
    QWidget parent;
    tc::qt::BoxMessages boxes(&parent);
    struct Case {
        std::function<void()> show;
        QString caption;
        QMessageBox::Icon icon;
        QString text;
    };
    const Case cases[] = {
        {[&] { boxes.Warning("Missing data"); }, "Warning", QMessageBox::Warning, "Missing data"},
        {[&] { boxes.Error("No file found x"); }, "Error", QMessageBox::Critical, "No file found x"},
        {[&] { boxes.AppError("'' is not a valid integer value."); }, "Ignition timing calculator",
         QMessageBox::Critical, "'' is not a valid integer value."},
    };
    for (const auto& c : cases) {
        QString caption, text, button;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        int buttons = 0;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            caption = box->windowTitle();
            text = box->text();
            icon = box->icon();
            buttons = static_cast<int>(box->buttons().size());
            button = box->buttons().front()->text();
            QTest::mouseClick(box->buttons().front(), Qt::LeftButton);
        });
        c.show();
        EXPECT_EQ(caption, c.caption);
        EXPECT_EQ(text, c.text);
        EXPECT_EQ(icon, c.icon);
        EXPECT_EQ(buttons, 1);
        EXPECT_EQ(button.remove('&'), "OK");
    }
}

// The real open dialog, a name typed into it and taken with Enter while its completion list shows.
TEST(OpenDialog, TakesATypedNameAndLeavesNoCompletionListBehind) {
    QTemporaryDir folder;
    const QString path = folder.filePath("CDI.asm");
    ASSERT_TRUE(QFile(path).open(QIODevice::WriteOnly));
    tc::qt::DialogChooser chooser(nullptr);
    chooser.Dialog().setDirectory(folder.path());
    int ticks = 0;
    bool typed = false, entered = false;
    QTimer keys;
    // Types once the dialog has the focus, Enter once the list shows (it fills from the disk in the background).
    // After 5 s whatever is modal is cancelled, and the checks below fail.
    QObject::connect(&keys, &QTimer::timeout, [&] {
        if (++ticks > 100) {
            if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget())) modal->reject();
        } else if (QWidget* focus = QApplication::focusWidget(); !typed && chooser.Dialog().isAncestorOf(focus)) {
            QTest::keyClicks(focus, path);
            typed = true;
        } else if (typed && !entered && QApplication::activePopupWidget()) {
            QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Return);
            entered = true;
        }
    });
    keys.start(50);
    const auto chosen = chooser.ChooseSource("");
    EXPECT_TRUE(entered);
    EXPECT_EQ(chosen.value_or(""), path.toStdString());
    for (const QCompleter* completer : chooser.Dialog().findChildren<QCompleter*>())
        EXPECT_FALSE(completer->popup()->isVisible());
}

// The open dialog speaks the system's language where the toolkit's translations are installed.
TEST(OpenDialog, SpeaksTheSystemsLanguage) {
    const struct {
        const char* name;
        const char* locale;
        std::string open;
    } cases[] = {
        {"Russian", "ru_RU", "&Открыть"},
        {"English", "en_US", "&Open"},
    };
    for (const auto& c : cases) {
        QTranslator texts;
        if (tc::qt::LoadToolkitTexts(texts, QLocale(c.locale))) QApplication::installTranslator(&texts);
        tc::qt::DialogChooser chooser(nullptr);
        const auto* buttons = chooser.Dialog().findChild<QDialogButtonBox*>();
        ASSERT_NE(buttons, nullptr);
        EXPECT_EQ(buttons->button(QDialogButtonBox::Open)->text().toStdString(), c.open) << c.name;
        QApplication::removeTranslator(&texts);
    }
}

}  // namespace
}  // namespace gui
