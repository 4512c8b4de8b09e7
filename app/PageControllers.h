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
#include "profiles/ProfileStore.h"
#include "profiles/WorkingRecords.h"
#include "security/PassphraseKeys.h"
#include "station/AdapterPage.h"
#include "station/NetworkPick.h"
#include "station/ProfilePage.h"
#include "station/ProfileWizard.h"
#include "station/StatusPage.h"
#include "station/SurveyPage.h"

#include <vector>

namespace kesto {

class NoNetworks : public NetworkPick {
public:
    void Survey() override {}
    std::vector<PickableNetwork> Networks() const override { return {}; }
};

// Stands in for the pass-phrase library where the application was given none: every
// phrase gives the empty text, so no keys.
class NoPassphrases : public PassphraseLibrary {
public:
    int Passphrase64(const char*, std::span<char> out) override { return Empty(out); }
    int Passphrase128(const char*, std::span<char> out) override { return Empty(out); }

private:
    static int Empty(std::span<char> out)
    {
        if (!out.empty())
            out[0] = '\0';
        return 0;
    }
};

class PageControllers {
public:
    // caption: the title of the pages' message boxes (the application name).
    PageControllers(WindowShell& shell, const AppPorts& ports, WlanApi& api,
                    AdapterDiscovery& discovery, ProfileStore& store, WorkingRecords& work,
                    ProfileList& profiles, ProfileApplier& applier, const std::string& caption);

    std::vector<PageRoute> Routes();

    StatusPage& status() { return m_status; }
    ProfilePage& profiles() { return m_profiles; }
    ProfileWizard& wizard() { return m_wizard; }
    AdapterPage& adapter() { return m_adapter; }

private:
    StatusPage m_status;
    ChartController m_chart;
    SurveyPage m_survey;
    NoNetworks m_noNetworks;
    NoPassphrases m_noPassphrases;
    // One generator for every page that takes a pass phrase: its last keys are shared.
    PassphraseKeys m_passphraseKeys;
    ProfileWizard m_wizard;
    ProfilePage m_profiles;
    AdapterPage m_adapter;
    ApStatusPage m_apStatus;
    ApSettingsPage m_apSettings;
    ApFilterPage m_apFilter;
};

} // namespace kesto
