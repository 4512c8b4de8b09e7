#include "windowlink/WindowChartHost.h"

#include "windowlink/WindowPageHost.h"

#include <cmath>

namespace kesto {

namespace {

QString ColorName(const ChartColor& color)
{
    return QStringLiteral("#%1%2%3")
        .arg(color.red, 2, 16, QLatin1Char('0'))
        .arg(color.green, 2, 16, QLatin1Char('0'))
        .arg(color.blue, 2, 16, QLatin1Char('0'));
}

QJsonObject ChartCommand(const char* op, int chartId)
{
    return {{QStringLiteral("c"), QStringLiteral("chart")},
            {QStringLiteral("op"), QLatin1String(op)},
            {QStringLiteral("chart"), chartId}};
}

} // namespace

WindowChartHost::WindowChartHost(WindowPageHost& host) : m_host(host)
{
    m_host.AttachReplay([this] { Replay(); });
}

QJsonObject WindowChartHost::StyleCommand(int chartId, const ChartStyle& style)
{
    QJsonObject command = ChartCommand("style", chartId);
    command.insert(QStringLiteral("lower"), style.lower);
    command.insert(QStringLiteral("upper"), style.upper);
    command.insert(QStringLiteral("decimals"), style.decimals);
    command.insert(QStringLiteral("background"), ColorName(style.background));
    command.insert(QStringLiteral("grid"), ColorName(style.grid));
    command.insert(QStringLiteral("plot"), ColorName(style.plot));
    return command;
}

void WindowChartHost::ConfigureChart(int chartId, const ChartStyle& style)
{
    m_styles[chartId] = style;
    m_host.Send(StyleCommand(chartId, style));
}

void WindowChartHost::AppendChartValue(int chartId, double value)
{
    if (!std::isfinite(value))
        return; // JSON has no room for it, and no chart could draw it
    QJsonObject command = ChartCommand("value", chartId);
    command.insert(QStringLiteral("value"), value);
    m_host.Send(command);
}

void WindowChartHost::Replay()
{
    for (const auto& [id, style] : m_styles)
        m_host.Send(StyleCommand(id, style));
}

} // namespace kesto
