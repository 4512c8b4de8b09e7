#include "window/StripChart.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace kesto {

namespace {

// How far outside the plot a far-off value's row is held: far enough that the clipped
// segment looks the same, near enough to stay an int and a coordinate Qt can clip.
constexpr double kRowLimit = 1.0e6;

QImage MakeImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    return image;
}

} // namespace

StripChart::StripChart() = default;

void StripChart::Invalidate()
{
    if (m_invalidate)
        m_invalidate();
}

void StripChart::Resize(int width, int height)
{
    m_clientWidth = std::max(0, width);
    m_clientHeight = std::max(0, height);
    m_plot = {0, 0, m_clientWidth, m_clientHeight};
    m_factor = static_cast<double>(m_plot.height()) / m_range;
    DrawGrid();
}

bool StripChart::SetRange(double lower, double upper, int decimals)
{
    if (!(upper > lower) || !std::isfinite(upper - lower))
        return false;
    m_lower = lower;
    m_upper = upper;
    m_range = upper - lower;
    m_decimals = std::max(0, decimals);
    m_factor = static_cast<double>(m_plot.height()) / m_range;
    DrawGrid();
    return true;
}

void StripChart::SetGridColor(const QColor& color)
{
    m_grid = color;
    DrawGrid();
}

void StripChart::SetPlotColor(const QColor& color)
{
    m_plotColor = color;
    DrawGrid();
}

void StripChart::SetBackgroundColor(const QColor& color)
{
    m_background = color;
    DrawGrid();
}

double StripChart::AppendPoint(double value)
{
    const double old = m_current;
    m_previous = m_current;
    m_current = value;
    DrawPoint();
    Invalidate();
    return old;
}

int StripChart::RowOf(double value) const
{
    double scaled = (value - m_lower) * m_factor;
    if (std::isnan(scaled))
        scaled = 0.0;
    scaled = std::clamp(scaled, -kRowLimit, kRowLimit);
    return m_plot.bottom - static_cast<int>(scaled);
}

// The grid image gets the background and the dotted lines; the plot image is cleared to
// the background. Images are made at the client size, and made again when it changed,
// so they always cover the control.
void StripChart::DrawGrid()
{
    if (m_clientWidth <= 0 || m_clientHeight <= 0) {
        m_gridImage = QImage();
        m_plotImage = QImage();
        return;
    }
    const QSize client(m_clientWidth, m_clientHeight);
    if (m_gridImage.size() != client)
        m_gridImage = MakeImage(m_clientWidth, m_clientHeight);
    {
        QPainter painter(&m_gridImage);
        painter.fillRect(QRect(m_plot.left, m_plot.top, m_plot.width(), m_plot.height()),
                         m_background);
    }
    const int middle = (m_plot.top + m_plot.bottom) / 2;
    const int above = middle - m_plot.height() / 4;
    const int below = middle + m_plot.height() / 4;
    const QRgb grid = m_grid.rgb();
    for (int x = m_plot.left; x < m_plot.right; x += 2) {
        for (int y : {above, middle, below}) {
            if (y >= 0 && y < m_clientHeight && x < m_clientWidth)
                m_gridImage.setPixel(x, y, grid);
        }
    }

    if (m_plotImage.size() != client)
        m_plotImage = MakeImage(m_clientWidth, m_clientHeight);
    m_plotImage.fill(m_background);
    Invalidate();
}

// Moves the plot rectangle left by the shift; the top row stays where it is, and the
// freed strip on the right is left for the caller to fill.
void StripChart::ScrollPlot()
{
    const int moved = m_plot.width() - kShift;
    if (moved <= 0)
        return;
    const int last = std::min(m_plot.bottom, m_plotImage.height());
    for (int y = m_plot.top + 1; y < last; ++y) {
        auto* row = reinterpret_cast<QRgb*>(m_plotImage.scanLine(y));
        std::memmove(row + m_plot.left, row + m_plot.left + kShift,
                     static_cast<std::size_t>(moved) * sizeof(QRgb));
    }
}

void StripChart::DrawPoint()
{
    if (m_plotImage.isNull())
        return;
    ScrollPlot();

    QPainter painter(&m_plotImage);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(QRect(m_plot.right - kShift, m_plot.top, kShift, m_plot.height()),
                     m_background);

    const int fromX = m_plot.right - kPlotShift;
    const int toX = m_plot.right - kHalfShift;
    const int fromY = RowOf(m_previous);
    const int toY = RowOf(m_current);
    QPen pen(m_plotColor);
    pen.setWidth(1);
    pen.setStyle(Qt::SolidLine);
    painter.setPen(pen);
    painter.drawLine(QPoint(fromX, fromY), QPoint(toX, toY));

    // A segment reaching the edge is clipped: what lies at or beyond the edge row is
    // painted over, so a value out of range shows as a line leaving the plot.
    const int columns = toX - fromX + 1;
    if (fromY <= m_plot.top || toY <= m_plot.top)
        painter.fillRect(QRect(fromX, 0, columns, m_plot.top + 1), m_background);
    const int rowsBelow = m_clientHeight - (m_plot.bottom + 1);
    if ((fromY >= m_plot.bottom || toY >= m_plot.bottom) && rowsBelow > 0)
        painter.fillRect(QRect(fromX, m_plot.bottom + 1, columns, rowsBelow), m_background);

    m_previous = m_current;
}

QImage StripChart::Compose() const
{
    if (m_gridImage.isNull() || m_plotImage.isNull())
        return QImage();
    QImage out = m_gridImage.copy();
    const int height = std::min(out.height(), m_plotImage.height());
    const int width = std::min(out.width(), m_plotImage.width());
    for (int y = 0; y < height; ++y) {
        auto* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
        const auto* src = reinterpret_cast<const QRgb*>(m_plotImage.constScanLine(y));
        for (int x = 0; x < width; ++x)
            dst[x] |= src[x];
    }
    return out;
}

void StripChart::Paint(QPainter& painter) const
{
    const QImage picture = Compose();
    if (!picture.isNull())
        painter.drawImage(0, 0, picture);
}

} // namespace kesto
