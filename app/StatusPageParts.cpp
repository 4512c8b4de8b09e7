#include "app/StatusPageParts.h"

#include "chart/CChartDlg.h"

namespace kesto {

static_assert(LinkMonitor::kLinkStatusTimer == kTimerLinkStatus);
static_assert(LinkMonitor::kThroughputTimer == kTimerThroughput);

StatusPageParts::StatusPageParts(MainDialog& dialog, const AppPorts& ports)
    : m_dialog(dialog), m_pages(ports.pages), m_clock(ports.clock), m_manifest(ports.manifest),
      m_charts(ports.charts), m_dialogTimers(ports.dialogTimers),
      m_monitor(
          dialog.api(), dialog.discovery(), dialog.store(), dialog.binding(),
          [&dialog] { dialog.UpdateData(false); }, dialog.timers(), ports.clock)
{
    HostedParts& parts = m_dialog.parts();
    parts.ClearStatus = [this] { m_monitor.ClearStatus(); };
    parts.StartMonitor = [this] { m_monitor.StartMonitor(); };
    parts.RefreshLinkInfo = [this] { m_monitor.RefreshLinkInfo(); };
    parts.RefreshSignal = [this] { m_monitor.RefreshSignal(); };
    parts.RefreshThroughput = [this] { m_monitor.RefreshThroughput(); };
    if (m_charts && m_dialogTimers)
        parts.RunChart = [this] { RunChart(); };
}

StatusPageParts::~StatusPageParts()
{
    HostedParts& parts = m_dialog.parts();
    parts.ClearStatus = nullptr;
    parts.StartMonitor = nullptr;
    parts.RefreshLinkInfo = nullptr;
    parts.RefreshSignal = nullptr;
    parts.RefreshThroughput = nullptr;
    parts.RunChart = nullptr;
}

void StatusPageParts::RunChart()
{
    if (!m_charts || !m_dialogTimers)
        return;
    CChartDlg chart(m_pages, m_dialog.api(), m_clock, *m_dialogTimers, *m_charts, m_manifest);
    chart.DoModal();
}

} // namespace kesto
