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

void ChartOverlay::ApplyStyle(const QJsonObject& style)
{
    const auto color = [&style](const char* key, QColor fallback) {
        const QColor given(style.value(QLatin1String(key)).toString());
        return given.isValid() ? given : fallback;
    };
    m_chart.SetBackgroundColor(color("background", m_chart.backgroundColor()));
    m_chart.SetGridColor(color("grid", m_chart.gridColor()));
    m_chart.SetPlotColor(color("plot", m_chart.plotColor()));
    m_chart.SetRange(style.value(QStringLiteral("lower")).toDouble(m_chart.lowerLimit()),
                     style.value(QStringLiteral("upper")).toDouble(m_chart.upperLimit()),
                     style.value(QStringLiteral("decimals")).toInt(m_chart.decimals()));
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
