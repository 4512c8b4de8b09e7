// StripChart: a scrolling strip chart drawn off screen. Each appended value scrolls the
// plot left by four pixels and draws the segment from the previous value into the
// freed strip; the grid (three dotted lines) lives in an image of its own, and the
// screen shows the grid with the plot ORed over it. Qt Gui only: a widget of the window
// process owns one, forwards its size, and paints Compose() when told to.
#pragma once

#include <QColor>
#include <QImage>
#include <QString>

#include <functional>

class QPainter;

namespace kesto {

class StripChart {
public:
    // Pixels the plot scrolls per appended value; the new segment runs from
    // right - kPlotShift to right - kHalfShift.
    static constexpr int kShift = 4;
    static constexpr int kHalfShift = 2;
    static constexpr int kPlotShift = kShift + kHalfShift;

    // The plot area in pixels; right and bottom are exclusive (one past the last
    // column and row), so bottom is the height.
    struct PlotRect {
        int left = 0;
        int top = 0;
        int right = 0;
        int bottom = 0;
        int width() const { return right - left; }
        int height() const { return bottom - top; }
    };

    // Range -10 to 10 with 3 decimal places, white on black, cyan grid; no images until
    // the first Resize.
    StripChart();

    // The client size. The plot rectangle becomes the whole client area, the vertical
    // factor height / range, and the grid is drawn again (which clears the plot).
    void Resize(int width, int height);
    // Values at the bottom and top edges; false (and nothing changed) unless
    // upper > lower. Decimal places below 0 count as 0. Redraws the grid.
    bool SetRange(double lower, double upper, int decimals);
    void SetGridColor(const QColor& color);
    void SetPlotColor(const QColor& color);
    void SetBackgroundColor(const QColor& color);

    // Appends value and draws its segment; returns the value appended before it.
    double AppendPoint(double value);

    // The picture the control shows: the grid image with the plot image ORed over it
    // pixel by pixel (background | background stays background). Null before the first
    // Resize.
    QImage Compose() const;
    // Draws Compose() at the painter's origin in one step.
    void Paint(QPainter& painter) const;
    // Called whenever the control should be repainted.
    void SetInvalidateHandler(std::function<void()> handler) { m_invalidate = std::move(handler); }

    // The row of value v: bottom - truncate((v - lower) * factor). Far-off values are
    // held a long way outside the plot, where they draw the same clipped segment.
    int RowOf(double value) const;

    double currentValue() const { return m_current; }
    double previousValue() const { return m_previous; }
    double lowerLimit() const { return m_lower; }
    double upperLimit() const { return m_upper; }
    double range() const { return m_range; }
    int decimals() const { return m_decimals; }
    double verticalFactor() const { return m_factor; }
    const PlotRect& plotRect() const { return m_plot; }
    QColor backgroundColor() const { return m_background; }
    QColor gridColor() const { return m_grid; }
    QColor plotColor() const { return m_plotColor; }
    const QImage& gridImage() const { return m_gridImage; }
    const QImage& plotImage() const { return m_plotImage; }
    // Captions the control prepares but does not draw: the page labels the axis.
    QString LowerLimitText() const { return QString::number(m_lower, 'f', m_decimals); }
    QString UpperLimitText() const { return QString::number(m_upper, 'f', m_decimals); }
    const QString& xAxisText() const { return m_xAxisText; }
    const QString& yAxisText() const { return m_yAxisText; }

private:
    void DrawGrid();
    void DrawPoint();
    void ScrollPlot();
    void Invalidate();

    double m_current = 0.0;
    double m_previous = 0.0;
    double m_lower = -10.0;
    double m_upper = 10.0;
    double m_range = 20.0;
    int m_decimals = 3;
    QColor m_background{0, 0, 0};
    QColor m_grid{0, 255, 255};
    QColor m_plotColor{255, 255, 255};
    QString m_xAxisText = QStringLiteral("Samples");
    QString m_yAxisText = QStringLiteral("Y units");

    int m_clientWidth = 0;
    int m_clientHeight = 0;
    PlotRect m_plot;
    double m_factor = 0.0;
    QImage m_gridImage;
    QImage m_plotImage;
    std::function<void()> m_invalidate;
};

} // namespace kesto
