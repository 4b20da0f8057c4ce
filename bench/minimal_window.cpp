// The peer for the start-up time: the least a Qt Widgets window with a chart
// does, at the size of the program's window.
#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QLineSeries>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    auto* series = new QLineSeries;
    series->append(0, 0);
    series->append(1, 1);
    auto* chart = new QChart;
    chart->addSeries(series);
    chart->createDefaultAxes();
    QChartView view(chart);
    view.setWindowTitle("timingcalc minimal window");
    view.setFixedSize(873, 535);
    view.show();
    return app.exec();
}
