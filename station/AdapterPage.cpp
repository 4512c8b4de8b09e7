#include "station/AdapterPage.h"

#include "pages/BoundChoice.h"

#include <utility>

namespace kesto {

AdapterPage::AdapterPage(WindowShell& shell, WorkingRecords& work, ProfileStore& store,
                         ProfileApplier& applier, AdapterDiscovery& discovery, Dialogs& dialogs,
                         std::string caption)
    : m_shell(shell), m_work(work), m_store(store), m_applier(applier), m_discovery(discovery),
      m_dialogs(dialogs), m_caption(std::move(caption))
{
}

void AdapterPage::BindHandlers(PageMap& pages)
{
    pages.AddHandler(kAdapterPageId, "ButtonSaveAdp", ElementEvent::Click,
                     [this] { SaveAdapterSettings(); });
}

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

void AdapterPage::SaveAdapterSettings()
{
    if (m_discovery.CheckServiceConflict())
        return;
    WaitCursor wait(m_dialogs);
    m_shell.UpdateData(true);

    const std::string active = m_work.ActiveProfileName;
    const bool stored = !active.empty() && m_store.ProfileExists(active);
    if (stored) {
        m_work.CurrentProfile = m_store.ReadProfile(active);
    } else {
        // The joined network (or the profile that is gone) stays what the adapter
        // gets; without a name it neither names a stored profile nor moves the default.
        m_work.CurrentProfile.ProfileName.clear();
    }

    ProfileRecord& record = m_work.CurrentProfile;
    ElementBinding& fields = m_shell.binding();
    const PageMirror& page = m_shell.page();
    record.TxRate = BoundChoice(fields, page, "SelectRate", record.TxRate);
    record.Preamble = BoundChoice(fields, page, "SelectPreamble", record.Preamble);
    record.PSMode = BoundChoice(fields, page, "SelectSaving", record.PSMode);
    if (stored)
        m_store.WriteProfile(record);

    const ProfileRecord copy = record;
    const ApplyFault fault = m_applier.ApplyProfileRecord(copy);
    // The three settings are the profile's and stay stored; a join the applier refused
    // (WPA without a network name, say) or the adapter stopped keeps the user on this page.
    ReportApplyFault(m_dialogs, m_caption, fault);
    if (!Applied(fault))
        return;
    m_shell.SwitchTab(1);
}

} // namespace kesto
