#include "station/SurveyPage.h"

namespace kesto {

SurveyPage::SurveyPage(WindowShell& shell) : m_shell(shell) {}

void SurveyPage::ShowTab()
{
    m_shell.setSurveyListHoldsSurvey(true);
    m_shell.PlaceSurveyList();
    m_shell.ShowPage(kSurveyPageId);
    m_shell.monitorTimers().Stop();
}

void SurveyPage::OnShellStep(ShellStep step)
{
    switch (step) {
    case ShellStep::SiteSurveyCommand:
        m_shell.ShowPage(kSurveyPageId);
        break;
    case ShellStep::FirstShowFromRestore:
    case ShellStep::FirstShowFromMenu:
    case ShellStep::RestoredInStationMode:
    case ShellStep::RestoredInApMode:
    case ShellStep::StationModeEntered:
    case ShellStep::ApStartingOnAdapter:
    case ShellStep::ApModeEntered:
    case ShellStep::AdapterReturned:
        break;
    }
}

} // namespace kesto
