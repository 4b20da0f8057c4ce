// Chart1: the advance curve as stairs with a marker on every point. QtCharts
// colours markers per point but not line segments, so each step is a series of its own.
#pragma once

#include <QChartView>
#include <QColor>
#include <QLineSeries>
#include <QScatterSeries>
#include <QValueAxis>
#include <vector>

#include "chart/axes.h"

namespace tc::qt {

class AdvanceChartView : public QChartView {
    Q_OBJECT
public:
    explicit AdvanceChartView(QWidget* parent);
    void SetPoints(const std::vector<PlotPoint>& points);
    // The title, with the file name in it shortened where the whole does not fit.
    void SetTitle(const QString& title, const QString& fileName = {});
    QString Title() const;

    // What is drawn, for checks: the markers with their colours, and each step's colour.
    QScatterSeries* Series1() const { return series1_; }
    std::vector<QColor> StepColors() const;
    std::vector<QPointF> StepPoints(int step) const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void CreateSteps();
    void ShowAxes(const ChartAxes& axes);
    void FitTitle();

    QString title_, fileName_;

    QScatterSeries* series1_;
    std::vector<QLineSeries*> steps_;
    int usedSteps_ = 0;
    QValueAxis* axisX_;
    QValueAxis* axisY_;
};

}  // namespace tc::qt
