// AdapterPage: the adapter settings page (239): transmit rate, preamble and power
// saving of the profile in use, stored with that profile and applied to the adapter.
#pragma once

#include "adapter/AdapterDiscovery.h"
#include "apply/ProfileApply.h"
#include "pages/PageController.h"
#include "pages/WindowShell.h"
#include "platform/Dialogs.h"
#include "profiles/ProfileStore.h"
#include "profiles/WorkingRecords.h"

#include <string>

namespace kesto {

class AdapterPage : public PageController {
public:
    AdapterPage(WindowShell& shell, WorkingRecords& work, ProfileStore& store,
                ProfileApplier& applier, AdapterDiscovery& discovery, Dialogs& dialogs,
                std::string caption);

    void BindHandlers(PageMap& pages) override;
    void ShowTab() override;

    // ButtonSaveAdp. With an active profile that is still stored: that profile, read
    // afresh, with the three choices, written back and applied. Otherwise (a network
    // joined from the survey, or the active profile deleted meanwhile) the record in
    // use with the three choices is applied as a nameless record: nothing is stored and
    // the default link stays. Then the status page with a fresh monitor; a join the
    // applier refused or the adapter stopped is told, and the page stays.
    void SaveAdapterSettings();

private:
    WindowShell& m_shell;
    WorkingRecords& m_work;
    ProfileStore& m_store;
    ProfileApplier& m_applier;
    AdapterDiscovery& m_discovery;
    Dialogs& m_dialogs;
    std::string m_caption; // the title of message boxes (the application name)
};

} // namespace kesto
