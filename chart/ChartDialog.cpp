#include "chart/ChartDialog.h"

#include <cmath>

namespace kesto {

ChartDialog::ChartDialog(PageHost& host, WlanApi& api, Clock& clock, Timers& timers,
                         ChartHost& charts, ManifestLookup manifest)
    : HtmlDialog(host, kChartPageId, std::move(manifest)), m_timers(timers), m_charts(charts),
      m_meter(api, clock)
{
}

ChartDialog::~ChartDialog()
{
    StopTimer();
}

int ChartDialog::DoModal()
{
    const int result = HtmlDialog::DoModal();
    StopTimer();
    return result;
}

void ChartDialog::StopTimer()
{
    if (!m_timerRunning)
        return;
    m_timers.KillTimer(kRefreshTimer);
    m_timers.SetSink(nullptr);
    m_timerRunning = false;
}

void ChartDialog::OnInitDialog()
{
    m_charts.ConfigureChart(kTransmitChartId, kThroughputChartStyle);
    m_charts.ConfigureChart(kReceiveChartId, kThroughputChartStyle);
    m_meter.TakeBaseline();
    m_timers.SetSink(this);
    m_timers.SetTimer(kRefreshTimer, kFirstRefreshMs);
    m_timerRunning = true;
}

void ChartDialog::OnTimer(int id)
{
    if (id == kRefreshTimer && m_timerRunning)
        RefreshChart();
}

void ChartDialog::Push(PageMirror& page)
{
    page.SetText("ChartTransmitRate", m_transmitText);
    page.SetText("ChartReceiveRate", m_receiveText);
}

double ChartDialog::RateKbps(std::uint32_t bytes, std::uint32_t elapsedMs)
{
    if (elapsedMs == 0)
        return 0.0;
    const std::uint32_t bits = bytes * 8u;
    return static_cast<double>(bits) / static_cast<double>(elapsedMs);
}

std::string ChartDialog::RateText(double kbps)
{
    if (std::isnan(kbps) || kbps > 100000.0 || kbps < 0.0)
        return "0";
    return std::to_string(static_cast<long long>(kbps));
}

double ChartDialog::ChartValue(double kbps)
{
    if (std::isnan(kbps))
        return 0.0;
    if (kbps < 10.0)
        return kbps;
    if (kbps < 100.0)
        return (kbps - 10.0) * (1.0 / 9.0) + 10.0;
    if (kbps < 1000.0)
        return (kbps - 100.0) * (1.0 / 90.0) + 20.0;
    if (kbps < 10000.0)
        return (kbps - 1000.0) * (1.0 / 900.0) + 30.0;
    return 40.0;
}

void ChartDialog::RefreshChart()
{
    const ThroughputSample sample = m_meter.Measure();
    const double tx = RateKbps(sample.txBytes, sample.elapsedMs);
    const double rx = RateKbps(sample.rxBytes, sample.elapsedMs);
    if (sample.readOk) {
        m_transmitText = RateText(tx);
        m_receiveText = RateText(rx);
    } else {
        m_transmitText.clear();
        m_receiveText.clear();
    }
    m_charts.AppendChartValue(kTransmitChartId, ChartValue(tx));
    m_charts.AppendChartValue(kReceiveChartId, ChartValue(rx));
    UpdateData(false);
    m_timers.SetTimer(kRefreshTimer, kRefreshMs);
}

} // namespace kesto
