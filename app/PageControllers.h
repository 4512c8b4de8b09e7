// PageControllers: every page controller of the main window, made once with what each
// needs, and the one table that routes tabs, pages and timers to them. A new page is
// one more controller here and one more row in Routes().
#pragma once

#include "adapter/AdapterDiscovery.h"
#include "adapter/WlanApi.h"
#include "ap/ApFilterPage.h"
#include "ap/ApSettingsPage.h"
#include "ap/ApStatusPage.h"
#include "app/AppPorts.h"
#include "apply/ProfileApply.h"
#include "chart/ChartController.h"
#include "pages/PageController.h"
#include "pages/WindowShell.h"
#include "profiles/ProfileList.h"
#include "profiles/ProfileRecord.h"
#include "profiles/ProfileStore.h"
#include "profiles/WorkingRecords.h"
#include "security/PassphraseKeys.h"
#include "station/AdapterPage.h"
#include "station/ProfilePage.h"
#include "station/ProfileWizard.h"
#include "station/StatusPage.h"
#include "station/SurveyNetworkPick.h"
#include "station/SurveyPage.h"

#include <string>
#include <vector>

namespace kesto {

class PageControllers {
public:
    // apSettings, filterList: the window's working copies of the access point's records.
    // caption: the title of the pages' message boxes (the application name).
    PageControllers(WindowShell& shell, const AppPorts& ports, WlanApi& api,
                    AdapterDiscovery& discovery, ProfileStore& store, WorkingRecords& work,
                    ProfileList& profiles, ProfileApplier& applier, ApSettings& apSettings,
                    FilterList& filterList, const std::string& caption);

    std::vector<PageRoute> Routes();

    StatusPage& status() { return m_status; }
    ProfilePage& profiles() { return m_profiles; }
    ProfileWizard& wizard() { return m_wizard; }
    AdapterPage& adapter() { return m_adapter; }
    SurveyPage& survey() { return m_survey; }
    // The one pass-phrase key generator of all pages: the last keys it made are the
    // same on every page that takes keys.
    PassphraseKeys& passphraseKeys() { return m_passphraseKeys; }

private:
    // One generator for every page that makes keys from a pass phrase: each shows the
    // keys of the last phrase typed on any of them.
    PassphraseKeys m_passphraseKeys;
    StatusPage m_status;
    ChartController m_chart;
    SurveyPage m_survey;
    SurveyNetworkPick m_networkPick;
    ProfileWizard m_wizard;
    ProfilePage m_profiles;
    AdapterPage m_adapter;
    ApStatusPage m_apStatus;
    ApSettingsPage m_apSettings;
    ApFilterPage m_apFilter;
};

} // namespace kesto
