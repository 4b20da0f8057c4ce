#include "platform/chart_view.h"

#include <QChart>
#include <QFontMetricsF>
#include <QPen>
#include <QGraphicsLayout>

#include "app/layout.h"
#include "chart/axes.h"
#include "platform/qt_ports.h"

namespace tc::qt {

namespace {
QColor ToQColor(const Rgb& rgb) { return QColor(rgb.r, rgb.g, rgb.b); }

void SetAxis(QValueAxis* axis, const Axis& range) {
    axis->setRange(range.low, range.high);
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0);
    axis->setTickInterval(range.step);
}
}  // namespace

AdvanceChartView::AdvanceChartView(QWidget* parent) : QChartView(parent) {
    setObjectName("Chart1");
    setRubberBand(QChartView::NoRubberBand);
    setDragMode(QGraphicsView::NoDrag);
    setRenderHint(QPainter::Antialiasing);
    setFocusPolicy(Qt::NoFocus);
    QChart* plot = chart();
    plot->legend()->hide();
    plot->legend()->detachFromChart();  // out of the layout too, which would measure its hidden entries
    plot->setAnimationOptions(QChart::NoAnimation);
    plot->setBackgroundRoundness(0);
    plot->setPlotAreaBackgroundVisible(false);
    // The whole width for the title, which names the file and may carry a warning.
    plot->setMargins(QMargins(2, 2, 6, 2));
    plot->layout()->setContentsMargins(0, 0, 0, 0);

    axisX_ = new QValueAxis(this);
    axisY_ = new QValueAxis(this);
    axisX_->setLabelFormat("%.0f");
    axisY_->setLabelFormat("%g");
    // An empty chart still shows a plausible frame of speeds and angles.
    ShowAxes(AxesFor({}));
    plot->addAxis(axisX_, Qt::AlignBottom);
    plot->addAxis(axisY_, Qt::AlignLeft);

    series1_ = new QScatterSeries(this);
    series1_->setObjectName("Series1");
    series1_->setName("Series1");
    series1_->setMarkerShape(QScatterSeries::MarkerShapeCircle);
    series1_->setMarkerSize(2 * kMarkerHalfSize + 1);  // around the centre pixel
    series1_->setColor(ToQColor(kRed));
    // One border colour serves every marker, so the markers have none: a green
    // point would get a red rim.
    series1_->setPen(QPen(Qt::NoPen));
    series1_->setPointLabelsVisible(false);
    plot->addSeries(series1_);
    series1_->attachAxis(axisX_);
    series1_->attachAxis(axisY_);
}

void AdvanceChartView::CreateSteps() {
    QChart* plot = chart();
    // A series drawn later lies on top: the markers go after the steps.
    plot->removeSeries(series1_);
    for (int i = 0; i < kGridRows - 2; ++i) {
        auto* step = new QLineSeries(this);
        step->setObjectName(QString("Series1Step%1").arg(i + 1));
        plot->addSeries(step);
        step->attachAxis(axisX_);
        step->attachAxis(axisY_);
        steps_.push_back(step);
    }
    plot->addSeries(series1_);
    series1_->attachAxis(axisX_);
    series1_->attachAxis(axisY_);
}

void AdvanceChartView::SetPoints(const std::vector<PlotPoint>& points) {
    // The steps are made for the first curve, not at start-up, which they would slow.
    if (steps_.empty() && points.size() > 1) CreateSteps();
    QList<QPointF> markers;
    for (const auto& point : points) markers.append(QPointF(point.x, point.y));
    series1_->clearPointsConfiguration();
    series1_->replace(markers);
    for (int i = 0; i < static_cast<int>(points.size()); ++i)
        series1_->setPointConfiguration(i, QXYSeries::PointConfiguration::Color,
                                        ToQColor(points[static_cast<std::size_t>(i)].color));

    usedSteps_ = 0;
    for (const Step& shape : StepsOf(points)) {
        if (usedSteps_ >= static_cast<int>(steps_.size())) break;
        QLineSeries* step = steps_[static_cast<std::size_t>(usedSteps_++)];
        step->replace({QPointF(shape.x0, shape.y0), QPointF(shape.x1, shape.y0), QPointF(shape.x1, shape.y1)});
        QPen pen(ToQColor(shape.color));
        pen.setWidth(1);
        step->setPen(pen);
        step->setVisible(true);
    }
    for (std::size_t i = static_cast<std::size_t>(usedSteps_); i < steps_.size(); ++i) {
        steps_[i]->clear();
        steps_[i]->setVisible(false);
    }
    if (points.empty()) return;
    ShowAxes(AxesFor(points));
}

void AdvanceChartView::ShowAxes(const ChartAxes& axes) {
    SetAxis(axisX_, axes.x);
    SetAxis(axisY_, axes.y);
}

void AdvanceChartView::SetTitle(const QString& title, const QString& fileName) {
    title_ = title;
    fileName_ = fileName;
    FitTitle();
}

void AdvanceChartView::resizeEvent(QResizeEvent* event) {
    QChartView::resizeEvent(event);
    FitTitle();
}

// One line, by the title rule of chart/axes.h.
void AdvanceChartView::FitTitle() {
    const QFontMetricsF metrics(chart()->titleFont());
    const QMargins margins = chart()->margins();
    constexpr qreal kSlack = 4;  // the title item's own padding
    // The frame's inside is known before the view is first shown, unlike its viewport.
    const qreal room = contentsRect().width() - margins.left() - margins.right() - kSlack;
    const std::string shown = tc::FitTitle(ToUtf8(title_), ToUtf8(fileName_), room, [&](const std::string& text) {
        return metrics.horizontalAdvance(FromUtf8(text));
    });
    chart()->setTitle(FromUtf8(shown));
}

QString AdvanceChartView::Title() const { return chart()->title(); }

std::vector<QColor> AdvanceChartView::StepColors() const {
    std::vector<QColor> colors;
    colors.reserve(static_cast<std::size_t>(usedSteps_));
    for (int i = 0; i < usedSteps_; ++i) colors.push_back(steps_[static_cast<std::size_t>(i)]->pen().color());
    return colors;
}

std::vector<QPointF> AdvanceChartView::StepPoints(int step) const {
    const QList<QPointF> points = steps_.at(static_cast<std::size_t>(step))->points();
    return {points.begin(), points.end()};
}

void AdvanceChartView::wheelEvent(QWheelEvent* event) { event->ignore(); }

}  // namespace tc::qt
