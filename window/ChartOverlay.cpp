#include "window/ChartOverlay.h"

#include <QColor>
#include <QPainter>

namespace kesto {

ChartOverlay::ChartOverlay(int chartId, QWidget* parent) : QWidget(parent), m_chartId(chartId)
{
    setObjectName(QStringLiteral("chart%1").arg(chartId));
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_chart.SetInvalidateHandler([this] { update(); });
}

void ChartOverlay::ApplyStyle(const ChartStyle& style)
{
    const auto color = [](const ChartColor& c) { return QColor(c.red, c.green, c.blue); };
    m_chart.SetBackgroundColor(color(style.background));
    m_chart.SetGridColor(color(style.grid));
    m_chart.SetPlotColor(color(style.plot));
    m_chart.SetRange(style.lower, style.upper, style.decimals);
    update();
}

void ChartOverlay::Append(double value)
{
    m_chart.AppendPoint(value);
    ++m_points;
}

void ChartOverlay::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    m_chart.Paint(painter);
}

void ChartOverlay::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_chart.Resize(width(), height());
}

} // namespace kesto
