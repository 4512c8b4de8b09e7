#include "station/StatusPage.h"

namespace kesto {

static_assert(LinkMonitor::kLinkStatusTimer == kTimerLinkStatus);
static_assert(LinkMonitor::kThroughputTimer == kTimerThroughput);

StatusPage::StatusPage(WindowShell& shell, WlanApi& api, AdapterDiscovery& discovery,
                       ProfileStore& store, WorkingRecords& work, Clock& clock,
                       OneShotTimers& oneShots)
    : m_shell(shell), m_monitor(
                          api, discovery, store, work, shell.binding(),
                          [&shell] {
                              // The monitor runs on while the survey command shows page 237;
                              // pushing there would overwrite what the user is doing on that page.
                              if (shell.page().pageId() == kStatusPageId)
                                  shell.UpdateData(false);
                          },
                          shell.timers(), clock, oneShots)
{
    shell.monitorTimers().SetResetObserver([this] { m_monitor.DropPendingTick(); });
}

void StatusPage::ShowTab()
{
    m_monitor.ClearStatus();
    m_shell.ShowPage(kStatusPageId);
    m_monitor.StartMonitor();
    m_shell.monitorTimers().Start();
}

void StatusPage::OnTimer(int id)
{
    switch (id) {
    case kTimerLinkStatus:
        m_monitor.RefreshLinkInfo();
        break;
    case kTimerSignal:
        m_monitor.RefreshSignal();
        break;
    case kTimerThroughput:
        m_monitor.RefreshThroughput();
        break;
    default:
        break;
    }
}

void StatusPage::OnShellStep(ShellStep step)
{
    switch (step) {
    case ShellStep::FirstShowFromRestore:
        m_monitor.ClearStatus();
        m_monitor.StartMonitor();
        break;
    case ShellStep::StationModeEntered:
        m_monitor.ClearStatus();
        m_monitor.StartMonitor();
        m_monitor.ValuesChanged();
        break;
    case ShellStep::FirstShowFromMenu:
        m_monitor.StartMonitor();
        break;
    case ShellStep::AdapterReturned:
        m_monitor.StartMonitor();
        m_monitor.ValuesChanged();
        break;
    case ShellStep::WindowHidden:
        m_monitor.DropPendingTick();
        break;
    case ShellStep::DropPendingSteps:
        m_monitor.DropPendingTick();
        m_monitor.ValuesChanged();
        break;
    case ShellStep::ApModeEntered:
        m_monitor.ValuesChanged();
        break;
    case ShellStep::RestoredInStationMode:
    case ShellStep::RestoredInApMode:
    case ShellStep::SiteSurveyCommand:
    case ShellStep::ApStartingOnAdapter:
    case ShellStep::PageShown:
        break;
    }
}

} // namespace kesto
