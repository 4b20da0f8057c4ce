// Chart1: the advance curve as stairs with a marker on every point, drawn by
// us off screen into a bitmap of the control's size and copied whole. A change
// only marks the bitmap out of date: it is drawn once when next painted or
// looked at, however many changes came before.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "chart/axes.h"

namespace tc::win32 {

class AdvanceChart {
public:
    AdvanceChart(HWND parent, int id, const RECT& place, int dpi, HFONT font);
    ~AdvanceChart();
    AdvanceChart(const AdvanceChart&) = delete;
    AdvanceChart& operator=(const AdvanceChart&) = delete;

    HWND Handle() const { return hwnd_; }
    void SetDpi(int dpi, HFONT font);
    void SetPoints(const std::vector<PlotPoint>& points);
    // The title, with the file name in it shortened where the whole does not fit.
    void SetTitle(const std::string& title, const std::string& fileName);

    // What is drawn, for checks: the title as shown, the points, steps and axes,
    // where a value lies on the bitmap, and the bitmap's pixels. The title, the
    // places and the pixels are those of the drawing brought up to date.
    const std::string& Title() const {
        Draw();
        return shown_;
    }
    const std::vector<PlotPoint>& Points() const { return points_; }
    const std::vector<Step>& Steps() const { return steps_; }
    const ChartAxes& Axes() const { return axes_; }
    POINT ToPixel(double x, double y) const;
    COLORREF PixelAt(int x, int y) const;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Invalidate();
    void Draw() const;
    void Render() const;
    POINT PixelOf(double x, double y) const;
    void PlacePlot(HDC dc, const RECT& client) const;
    void FitTitle() const;
    void DrawAxes(HDC dc) const;
    void DrawCurve(HDC dc) const;

    HWND hwnd_ = nullptr;
    HFONT font_ = nullptr;
    int dpi_ = 96;
    std::string title_, fileName_;
    std::vector<PlotPoint> points_;
    std::vector<Step> steps_;
    ChartAxes axes_ = AxesFor({});
    // The drawing: made from the state above, so the const checks may bring it up to date.
    mutable bool stale_ = true;
    mutable std::string shown_;
    mutable RECT plot_{};  // the plot area inside the frame
    mutable HDC memory_ = nullptr;
    mutable HBITMAP bitmap_ = nullptr;
    mutable HGDIOBJ oldBitmap_ = nullptr;
};

}  // namespace tc::win32
