// ProfileWizard: the pages that add a profile or edit one, filling the wizard's record
// step by step: name, network name and type (256 to add, 260 to edit, with a network
// picked from a site survey in list control 1010), channel and wireless mode of an
// ad-hoc network (264 where the adapter offers 11 channels, else 257), the security
// method (258) and its own page (WizardSecurityPages), the confirmation (247, ad hoc
// 265) that saves, and activating the profile now or later (259, ad hoc 266).
#pragma once

#include "adapter/AdapterDiscovery.h"
#include "adapter/WlanApi.h"
#include "apply/ProfileApply.h"
#include "pages/PageController.h"
#include "pages/WindowShell.h"
#include "platform/Dialogs.h"
#include "profiles/ProfileList.h"
#include "profiles/WorkingRecords.h"
#include "security/WizardSecurityPages.h"
#include "station/NetworkPick.h"
#include "station/ProfileCommands.h"

#include <string>
#include <string_view>
#include <vector>

namespace kesto {

inline constexpr int kAddProfilePageId = 256;
inline constexpr int kEditProfilePageId = 260;
inline constexpr int kAdHocPageId = 257;
inline constexpr int kAdHoc11ChannelsPageId = 264;
inline constexpr int kSecurityMethodPageId = 258;
inline constexpr int kConfirmPageId = 247;
inline constexpr int kConfirmAdHocPageId = 265;
inline constexpr int kActivatePageId = 259;
inline constexpr int kActivateAdHocPageId = 266;

class ProfileWizard : public PageController {
public:
    // caption: the title of message boxes (the application name).
    ProfileWizard(WindowShell& shell, WlanApi& api, AdapterDiscovery& discovery,
                  ProfileStore& store, ProfileList& profiles, ProfileApplier& applier,
                  WorkingRecords& work, Dialogs& dialogs, NetworkPick& networks,
                  PassphraseKeys& keys, std::string caption);

    void BindHandlers(PageMap& pages) override;

    // ButtonAddPrf: a fresh record with no name and no network name.
    void StartAdd();
    // ButtonEditPrf on a row of the profile list: that profile's record.
    void StartEdit(const ProfileRecord& profile);

    bool editingExisting() const { return m_editing; }
    WizardSecurityPages& securityPages() { return m_security; }

private:
    void OnScan();
    void OnSelectNetwork();
    void OnNextAdd();
    void OnNextStep1();
    void OnBackStep1();
    void OnNextStep2();
    void OnBackStep2();
    void OnNextStep3();
    void OnBackStep3();
    void OnActiveNow();
    void OnActiveLater();
    void Abandon();

    void ShowNamePage();
    void ShowAdHocPage();
    void Confirm();
    void SurveyNetworks();
    void FillStationList();
    bool AdHocChosen() const;
    WizardSecurity SecurityChoice();

    WindowShell& m_shell;
    WlanApi& m_api;
    AdapterDiscovery& m_discovery;
    ProfileStore& m_store;
    ProfileList& m_profiles;
    ProfileApplier& m_applier;
    WorkingRecords& m_work;
    Dialogs& m_dialogs;
    NetworkPick& m_networks;
    std::string m_caption;
    WizardSecurityPages m_security;
    bool m_editing = false;
    std::vector<PickableNetwork> m_found;
};

} // namespace kesto
