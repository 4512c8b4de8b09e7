// ProfilePage: the profile page (238), with list control 1009 holding the profiles:
// the list with its row images, the details of the selected profile, sorting by name
// or network name, and Connect, Add, Edit (the wizard) and Delete.
#pragma once

#include "adapter/AdapterDiscovery.h"
#include "apply/ProfileApply.h"
#include "pages/PageController.h"
#include "pages/WindowShell.h"
#include "platform/Dialogs.h"
#include "profiles/ProfileList.h"
#include "profiles/WorkingRecords.h"
#include "station/ProfileWizard.h"

#include <optional>
#include <string>

namespace kesto {

// The row image of a profile: infrastructure 0 (open) or 1 (secured), ad hoc 2 or 3;
// any other network type 0.
int ProfileRowImage(const ProfileRecord& profile);

class ProfilePage : public PageController {
public:
    ProfilePage(WindowShell& shell, ProfileList& profiles, WorkingRecords& work,
                ProfileApplier& applier, AdapterDiscovery& discovery, Dialogs& dialogs,
                ProfileWizard& wizard, std::string caption);

    void BindHandlers(PageMap& pages) override;
    void ShowTab() override;
    void OnListEvent(int controlId, ListEvent event, int index) override;

    // Rebuilds list control 1009 from ShownProfiles and shows it.
    void RefreshProfileList();
    // ShownProfiles rebuilt from LoadedProfiles by profile name (column 1) or network
    // name (column 2); the first sort of a column is descending, each next one flips.
    void SortProfiles(int column);

private:
    void OnConnect();
    void OnAdd();
    void OnEdit();
    void OnDelete();
    void ShowProfileDetails();
    std::optional<std::size_t> SelectedRow();

    WindowShell& m_shell;
    ProfileList& m_profiles;
    WorkingRecords& m_work;
    ProfileApplier& m_applier;
    AdapterDiscovery& m_discovery;
    Dialogs& m_dialogs;
    ProfileWizard& m_wizard;
    std::string m_caption; // the title of message boxes (the application name)
    // Per sortable column: the next sort is ascending.
    bool m_nameAscending = false;
    bool m_ssidAscending = false;
};

} // namespace kesto
