#include "ap/ApSettingsPage.h"

namespace kesto {

ApSettingsPage::ApSettingsPage(WindowShell& shell) : m_shell(shell) {}

void ApSettingsPage::ShowTab()
{
    // The status refresh stops while the access point's other pages are shown.
    m_shell.timers().KillTimer(kTimerApStatus);
    m_shell.ShowPage(kApSettingsPageId);
}

} // namespace kesto
