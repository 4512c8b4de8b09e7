#include "windowlink/WindowChartHost.h"

#include "windowlink/WindowPageHost.h"

#include <cmath>

namespace kesto {

WindowChartHost::WindowChartHost(WindowPageHost& host) : m_host(host)
{
    m_host.AttachReplay([this] { Replay(); });
}

void WindowChartHost::ConfigureChart(int chartId, const ChartStyle& style)
{
    m_styles[chartId] = style;
    m_host.Send(wire::ChartStyleCommand{chartId, style});
}

void WindowChartHost::AppendChartValue(int chartId, double value)
{
    if (!std::isfinite(value))
        return; // JSON has no room for it, and no chart could draw it
    m_host.Send(wire::ChartValueCommand{chartId, value});
}

void WindowChartHost::Replay()
{
    for (const auto& [id, style] : m_styles)
        m_host.Send(wire::ChartStyleCommand{id, style});
}

} // namespace kesto
