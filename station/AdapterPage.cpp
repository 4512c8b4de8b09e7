#include "station/AdapterPage.h"

namespace kesto {

AdapterPage::AdapterPage(WindowShell& shell, WorkingRecords& work) : m_shell(shell), m_work(work) {}

void AdapterPage::ShowTab()
{
    m_shell.monitorTimers().Stop();
    m_shell.ShowPage(kAdapterPageId);
    const ProfileRecord& current = m_work.CurrentProfile;
    ElementBinding& fields = m_shell.binding();
    fields.SetNumber("SelectRate", current.TxRate);
    fields.SetNumber("SelectPreamble", current.Preamble);
    fields.SetNumber("SelectSaving", current.PSMode);
    // The page shows the profile's values, not the ones it was loaded with.
    m_shell.UpdateData(false);
}

} // namespace kesto
