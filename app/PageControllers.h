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
#include "chart/ChartController.h"
#include "pages/PageController.h"
#include "pages/WindowShell.h"
#include "profiles/ProfileStore.h"
#include "profiles/WorkingRecords.h"
#include "station/AdapterPage.h"
#include "station/ProfilePage.h"
#include "station/StatusPage.h"
#include "station/SurveyPage.h"

#include <vector>

namespace kesto {

class PageControllers {
public:
    PageControllers(WindowShell& shell, const AppPorts& ports, WlanApi& api,
                    AdapterDiscovery& discovery, ProfileStore& store, WorkingRecords& work);

    std::vector<PageRoute> Routes();

    StatusPage& status() { return m_status; }

private:
    StatusPage m_status;
    ChartController m_chart;
    SurveyPage m_survey;
    ProfilePage m_profiles;
    AdapterPage m_adapter;
    ApStatusPage m_apStatus;
    ApSettingsPage m_apSettings;
    ApFilterPage m_apFilter;
};

} // namespace kesto
