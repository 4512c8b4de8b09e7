#include "ap/ApStatusPage.h"

namespace kesto {

ApStatusPage::ApStatusPage(WindowShell& shell) : m_shell(shell) {}

void ApStatusPage::ShowTab()
{
    m_shell.timers().SetTimer(kTimerApStatus, kApStatusPeriod);
    m_shell.ShowPage(kApStatusPageId);
}

void ApStatusPage::OnShellStep(ShellStep step)
{
    switch (step) {
    case ShellStep::RestoredInApMode:
        m_shell.timers().SetTimer(kTimerApStatus, kApStatusPeriod);
        m_shell.ShowPage(kApStatusPageId);
        break;
    case ShellStep::FirstShowFromRestore:
    case ShellStep::FirstShowFromMenu:
    case ShellStep::RestoredInStationMode:
    case ShellStep::SiteSurveyCommand:
    case ShellStep::StationModeEntered:
    case ShellStep::ApStartingOnAdapter:
    case ShellStep::ApModeEntered:
    case ShellStep::AdapterReturned:
        break;
    }
}

} // namespace kesto
