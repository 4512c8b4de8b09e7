#include "app/PageControllers.h"

#include "chart/ChartDialog.h"
#include "pages/MainWindowIds.h"

namespace kesto {

PageControllers::PageControllers(WindowShell& shell, const AppPorts& ports, WlanApi& api,
                                 AdapterDiscovery& discovery, ProfileStore& store,
                                 WorkingRecords& work, ApSettings& apSettings,
                                 FilterList& filterList, const std::string& caption)
    : m_passphraseKeys(ports.passphrases),
      m_status(shell, api, discovery, store, work, ports.clock),
      m_chart(ports.pages, api, ports.clock, ports.charts, ports.dialogTimers, ports.manifest),
      m_survey(shell), m_profiles(shell), m_adapter(shell, work),
      m_apStatus(shell, api, store, ports.clock),
      m_apSettings(shell, api, store, ports.dialogs, caption, m_passphraseKeys, apSettings,
                   filterList),
      m_apFilter(shell, api, store, ports.dialogs, caption, apSettings, filterList)
{
}

std::vector<PageRoute> PageControllers::Routes()
{
    return {
        {1, {kStatusPageId}, {kTimerLinkStatus, kTimerSignal, kTimerThroughput}, &m_status},
        {0, {kChartPageId}, {}, &m_chart},
        {2, {kSurveyPageId}, {}, &m_survey},
        {3, {kProfilePageId}, {}, &m_profiles},
        {4, {kAdapterPageId}, {}, &m_adapter},
        {5, {kApStatusPageId}, {kTimerApStatus}, &m_apStatus},
        {6, {kApSettingsPageId}, {}, &m_apSettings},
        {7, {kApFilterPageId}, {}, &m_apFilter},
    };
}

} // namespace kesto
