#include "ap/ApFilterPage.h"

namespace kesto {

ApFilterPage::ApFilterPage(WindowShell& shell) : m_shell(shell) {}

void ApFilterPage::ShowTab()
{
    // The status refresh stops while the access point's other pages are shown.
    m_shell.timers().KillTimer(kTimerApStatus);
    m_shell.ShowPage(kApFilterPageId);
}

} // namespace kesto
