#include "platform/chart_view.h"

#include <QChart>
#include <QFontMetricsF>
#include <QPen>
#include <QGraphicsLayout>
#include <algorithm>
#include <cmath>

namespace tc::qt {

namespace {
QColor ToQColor(const Rgb& rgb) { return QColor(rgb.r, rgb.g, rgb.b); }

// Ticks at round values (1, 2 or 5 times a power of ten), about five of them.
double NiceStep(double span) {
    if (!(span > 0)) return 1;
    const double raw = span / 5;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    for (double factor : {1.0, 2.0, 5.0})
        if (raw <= factor * magnitude) return factor * magnitude;
    return 10 * magnitude;
}

void SetAxis(QValueAxis* axis, double low, double high) {
    axis->setRange(low, high);
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0);
    axis->setTickInterval(NiceStep(high - low));
}

// Room beyond the extreme points, so a marker at an edge is drawn whole.
std::pair<double, double> Padded(double low, double high) {
    const double span = high - low;
    const double pad = span > 0 ? span * 0.04 : std::max(1.0, std::abs(low) * 0.04);
    return {low - pad, high + pad};
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
    SetAxis(axisX_, 0, 20000);
    SetAxis(axisY_, 0, 40);
    plot->addAxis(axisX_, Qt::AlignBottom);
    plot->addAxis(axisY_, Qt::AlignLeft);

    series1_ = new QScatterSeries(this);
    series1_->setObjectName("Series1");
    series1_->setName("Series1");
    series1_->setMarkerShape(QScatterSeries::MarkerShapeCircle);
    series1_->setMarkerSize(7);  // half-width 3 around the centre pixel
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

    // Level to the next point's speed, then up or down, in the colour of the point it leads to.
    usedSteps_ = 0;
    for (std::size_t i = 1; i < points.size(); ++i) {
        const PlotPoint& from = points[i - 1];
        const PlotPoint& to = points[i];
        if (usedSteps_ >= static_cast<int>(steps_.size())) break;
        QLineSeries* step = steps_[static_cast<std::size_t>(usedSteps_++)];
        step->replace({QPointF(from.x, from.y), QPointF(to.x, from.y), QPointF(to.x, to.y)});
        QPen pen(ToQColor(to.color));
        pen.setWidth(1);
        step->setPen(pen);
        step->setVisible(true);
    }
    for (std::size_t i = static_cast<std::size_t>(usedSteps_); i < steps_.size(); ++i) {
        steps_[i]->clear();
        steps_[i]->setVisible(false);
    }
    if (points.empty()) return;
    double minX = points.front().x, maxX = points.back().x;
    auto [minY, maxY] = std::minmax_element(points.begin(), points.end(),
                                            [](const PlotPoint& a, const PlotPoint& b) { return a.y < b.y; });
    const auto [x0, x1] = Padded(minX, maxX);
    const auto [y0, y1] = Padded(minY->y, maxY->y);
    SetAxis(axisX_, x0, x1);
    SetAxis(axisY_, y0, y1);
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

// One line: a long file name gives way in its middle, so that the warning after it stays whole.
void AdvanceChartView::FitTitle() {
    const QFontMetricsF metrics(chart()->titleFont());
    const QMargins margins = chart()->margins();
    constexpr qreal kSlack = 4;  // the title item's own padding
    // The frame's inside is known before the view is first shown, unlike its viewport.
    const qreal room = contentsRect().width() - margins.left() - margins.right() - kSlack;
    const qsizetype at = fileName_.isEmpty() ? -1 : title_.lastIndexOf(fileName_);
    QString shown = title_;
    // Measured only when there is a name to shorten: a title without one is shown as it is.
    const qreal width = at >= 0 ? metrics.horizontalAdvance(title_) : 0;
    if (width > room && at >= 0) {
        const qreal left =
            std::max(room - (width - metrics.horizontalAdvance(fileName_)), metrics.horizontalAdvance(QChar(0x2026)));
        shown =
            title_.left(at) + metrics.elidedText(fileName_, Qt::ElideMiddle, left) + title_.mid(at + fileName_.size());
    }
    chart()->setTitle(shown);
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
