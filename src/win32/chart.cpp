#include "win32/chart.h"

#include <algorithm>
#include <cmath>

#include "app/layout.h"
#include "win32/text.h"

namespace tc::win32 {

namespace {
constexpr wchar_t kClassName[] = L"TcAdvanceChart";
constexpr COLORREF kBackground = RGB(255, 255, 255);
constexpr COLORREF kGridLine = RGB(220, 220, 220);
constexpr COLORREF kFrame = RGB(64, 64, 64);
constexpr COLORREF kInk = RGB(0, 0, 0);
// At 96 DPI: around the plot and above the title, and the ticks' length.
constexpr int kMargin = 8;
constexpr int kTick = 4;

COLORREF ToColorRef(const Rgb& rgb) { return RGB(rgb.r, rgb.g, rgb.b); }

SIZE Measure(HDC dc, const std::wstring& text) {
    SIZE size{0, 0};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

void Text(HDC dc, int x, int y, const std::wstring& text, UINT align) {
    ::SetTextAlign(dc, align);
    ::TextOutW(dc, x, y, text.c_str(), static_cast<int>(text.size()));
}
}  // namespace

AdvanceChart::AdvanceChart(HWND parent, int id, const RECT& place, int dpi, HFONT font) : font_(font), dpi_(dpi) {
    static const bool registered = [] {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = &AdvanceChart::Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kClassName;
        return ::RegisterClassExW(&wc) != 0;
    }();
    (void)registered;
    // No WS_TABSTOP: the chart takes no keyboard input, so Tab passes it by. Made at its size
    // and in its font, its first drawing is already the right one.
    ::CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE, place.left, place.top, place.right - place.left,
                      place.bottom - place.top, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                      ::GetModuleHandleW(nullptr), this);
}

AdvanceChart::~AdvanceChart() {
    if (memory_) {
        ::SelectObject(memory_, oldBitmap_);
        ::DeleteObject(bitmap_);
        ::DeleteDC(memory_);
    }
}

LRESULT CALLBACK AdvanceChart::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* created = static_cast<AdvanceChart*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        created->hwnd_ = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    }
    auto* chart = reinterpret_cast<AdvanceChart*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    return chart ? chart->Handle(message, wParam, lParam) : ::DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT AdvanceChart::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE: Invalidate(); return 0;
        case WM_ERASEBKGND: return 1;
        case WM_PRINTCLIENT:
        case WM_PAINT: {
            PAINTSTRUCT ps{};
            HDC dc = message == WM_PAINT ? ::BeginPaint(hwnd_, &ps) : reinterpret_cast<HDC>(wParam);
            RECT client;
            ::GetClientRect(hwnd_, &client);
            Draw();
            if (memory_) ::BitBlt(dc, 0, 0, client.right, client.bottom, memory_, 0, 0, SRCCOPY);
            if (message == WM_PAINT) ::EndPaint(hwnd_, &ps);
            return 0;
        }
        default: return ::DefWindowProcW(hwnd_, message, wParam, lParam);
    }
}

void AdvanceChart::SetDpi(int dpi, HFONT font) {
    dpi_ = dpi;
    font_ = font;
    Invalidate();
}

void AdvanceChart::SetPoints(const std::vector<PlotPoint>& points) {
    points_ = points;
    steps_ = StepsOf(points);
    // The frame keeps its axes while the curve is cleared, as the Qt chart does.
    if (!points.empty()) axes_ = AxesFor(points);
    Invalidate();
}

void AdvanceChart::SetTitle(const std::string& title, const std::string& fileName) {
    title_ = title;
    fileName_ = fileName;
    Invalidate();
}

void AdvanceChart::Invalidate() {
    stale_ = true;
    if (hwnd_) ::InvalidateRect(hwnd_, nullptr, FALSE);
}

void AdvanceChart::Draw() const {
    if (stale_) Render();
}

POINT AdvanceChart::ToPixel(double x, double y) const {
    Draw();
    return PixelOf(x, y);
}

POINT AdvanceChart::PixelOf(double x, double y) const {
    const double width = plot_.right - plot_.left, height = plot_.bottom - plot_.top;
    const double fx = (x - axes_.x.low) / (axes_.x.high - axes_.x.low);
    const double fy = (y - axes_.y.low) / (axes_.y.high - axes_.y.low);
    return {plot_.left + std::lround(fx * width), plot_.bottom - std::lround(fy * height)};
}

COLORREF AdvanceChart::PixelAt(int x, int y) const {
    Draw();
    return memory_ ? ::GetPixel(memory_, x, y) : CLR_INVALID;
}

void AdvanceChart::FitTitle() const {
    RECT client;
    ::GetClientRect(hwnd_, &client);
    const double room = client.right - 2 * Scaled(4, dpi_);
    shown_ = tc::FitTitle(title_, fileName_, room, [&](const std::string& text) {
        return static_cast<double>(Measure(memory_, Wide(text)).cx);
    });
}

// The frame, grid lines, ticks and their labels.
void AdvanceChart::DrawAxes(HDC dc) const {
    const int tick = Scaled(kTick, dpi_);
    HPEN grid = ::CreatePen(PS_SOLID, 1, kGridLine);
    HGDIOBJ oldPen = ::SelectObject(dc, grid);
    ::SetTextColor(dc, kInk);
    for (const double value : Ticks(axes_.x)) {
        const LONG x = PixelOf(value, axes_.y.low).x;
        ::MoveToEx(dc, x, plot_.top, nullptr);
        ::LineTo(dc, x, plot_.bottom + tick);
        Text(dc, x, plot_.bottom + tick + 1, Wide(TickLabel(value, true)), TA_CENTER | TA_TOP);
    }
    for (const double value : Ticks(axes_.y)) {
        const LONG y = PixelOf(axes_.x.low, value).y;
        ::MoveToEx(dc, plot_.left - tick, y, nullptr);
        ::LineTo(dc, plot_.right, y);
        const int height = Measure(dc, L"0").cy;
        Text(dc, plot_.left - tick - 2, y - height / 2, Wide(TickLabel(value, false)), TA_RIGHT | TA_TOP);
    }
    HPEN frame = ::CreatePen(PS_SOLID, 1, kFrame);
    ::SelectObject(dc, frame);
    ::SelectObject(dc, ::GetStockObject(NULL_BRUSH));
    ::Rectangle(dc, plot_.left, plot_.top, plot_.right + 1, plot_.bottom + 1);
    ::SelectObject(dc, oldPen);
    ::DeleteObject(grid);
    ::DeleteObject(frame);
}

// The steps, then the markers over them, each in its point's colour.
void AdvanceChart::DrawCurve(HDC dc) const {
    ::IntersectClipRect(dc, plot_.left, plot_.top, plot_.right + 1, plot_.bottom + 1);
    for (const Step& step : steps_) {
        HPEN pen = ::CreatePen(PS_SOLID, 1, ToColorRef(step.color));
        HGDIOBJ old = ::SelectObject(dc, pen);
        const POINT from = PixelOf(step.x0, step.y0), corner = PixelOf(step.x1, step.y0),
                    to = PixelOf(step.x1, step.y1);
        ::MoveToEx(dc, from.x, from.y, nullptr);
        ::LineTo(dc, corner.x, corner.y);
        ::LineTo(dc, to.x, to.y);
        ::SelectObject(dc, old);
        ::DeleteObject(pen);
    }
    const int half = Scaled(kMarkerHalfSize, dpi_);
    ::SelectObject(dc, ::GetStockObject(NULL_PEN));
    for (const PlotPoint& point : points_) {
        HBRUSH brush = ::CreateSolidBrush(ToColorRef(point.color));
        HGDIOBJ old = ::SelectObject(dc, brush);
        const POINT at = PixelOf(point.x, point.y);
        // A null pen leaves the right and bottom edge out: one more pixel each way.
        ::Ellipse(dc, at.x - half, at.y - half, at.x + half + 2, at.y + half + 2);
        ::SelectObject(dc, old);
        ::DeleteObject(brush);
    }
    ::SelectClipRgn(dc, nullptr);
}

// Room for the title above, the speeds below and the widest angle on the left.
void AdvanceChart::PlacePlot(HDC dc, const RECT& client) const {
    const int line = Measure(dc, L"0").cy;
    int labels = 0;
    for (const double value : Ticks(axes_.y))
        labels = std::max<int>(labels, Measure(dc, Wide(TickLabel(value, false))).cx);
    const int margin = Scaled(kMargin, dpi_), tick = Scaled(kTick, dpi_);
    plot_ = {margin + labels + tick + 2, margin + line + margin, client.right - 2 * margin,
             client.bottom - margin - line - tick - 1};
    // The last speed's label is centred on its tick: near the right edge, the frame gives way so it is not cut.
    if (const std::vector<double> speeds = Ticks(axes_.x); !speeds.empty()) {
        const int half = Measure(dc, Wide(TickLabel(speeds.back(), true))).cx / 2 + 1;
        const int over = PixelOf(speeds.back(), axes_.y.low).x + half - (client.right - 1);
        if (over > 0) plot_.right -= over;
    }
}

void AdvanceChart::Render() const {
    stale_ = false;
    RECT client;
    ::GetClientRect(hwnd_, &client);
    if (client.right <= 0 || client.bottom <= 0) return;
    if (memory_) {
        ::SelectObject(memory_, oldBitmap_);
        ::DeleteObject(bitmap_);
        ::DeleteDC(memory_);
    }
    HDC screen = ::GetDC(hwnd_);
    memory_ = ::CreateCompatibleDC(screen);
    bitmap_ = ::CreateCompatibleBitmap(screen, client.right, client.bottom);
    ::ReleaseDC(hwnd_, screen);
    oldBitmap_ = ::SelectObject(memory_, bitmap_);
    HDC dc = memory_;
    ::SetBkColor(dc, kBackground);
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &client, nullptr, 0, nullptr);
    ::SetBkMode(dc, TRANSPARENT);
    // The window's font is only borrowed: it may be deleted (a DPI change) before the next drawing.
    HGDIOBJ oldFont = ::SelectObject(dc, font_ ? font_ : ::GetStockObject(DEFAULT_GUI_FONT));
    FitTitle();

    PlacePlot(dc, client);
    ::SetTextColor(dc, kInk);
    Text(dc, client.right / 2, Scaled(kMargin, dpi_) / 2, Wide(shown_), TA_CENTER | TA_TOP);
    DrawAxes(dc);
    DrawCurve(dc);
    ::SelectObject(dc, oldFont);
}

}  // namespace tc::win32
