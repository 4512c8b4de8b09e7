#include "station/ProfilePage.h"

namespace kesto {

ProfilePage::ProfilePage(WindowShell& shell) : m_shell(shell) {}

void ProfilePage::ShowTab()
{
    m_shell.setSurveyListHoldsSurvey(false);
    m_shell.PlaceSurveyList();
    m_shell.monitorTimers().Stop();
    m_shell.ShowPage(kProfilePageId);
}

} // namespace kesto
