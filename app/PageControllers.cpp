#include "app/PageControllers.h"

#include "chart/ChartDialog.h"
#include "pages/MainWindowIds.h"

namespace kesto {

PageControllers::PageControllers(WindowShell& shell, const AppPorts& ports, WlanApi& api,
                                 AdapterDiscovery& discovery, ProfileStore& store,
                                 WorkingRecords& work, ProfileList& profiles,
                                 ProfileApplier& applier, ApSettings& apSettings,
                                 FilterList& filterList, const std::string& caption)
    : m_passphraseKeys(ports.passphrases),
      m_status(shell, api, discovery, store, work, ports.clock, ports.oneShots),
      m_chart(ports.pages, api, ports.clock, ports.charts, ports.dialogTimers, ports.manifest),
      m_survey(shell, {api, discovery, work, applier, ports.dialogs, ports.clock, ports.oneShots,
                       ports.pages, m_passphraseKeys, caption, ports.manifest}),
      m_networkPick(m_survey), m_wizard(shell, api, discovery, store, profiles, applier, work,
                                        ports.dialogs, m_networkPick, m_passphraseKeys, caption),
      m_profiles(shell, profiles, work, applier, discovery, ports.dialogs, m_wizard, caption),
      m_adapter(shell, work, store, applier, discovery, ports.dialogs, caption),
      m_apStatus(shell, api, store, ports.oneShots),
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
        {0,
         {kAddProfilePageId, kEditProfilePageId, kAdHocPageId, kAdHoc11ChannelsPageId,
          kSecurityMethodPageId, kWepKeyPageId, kWepPassPhrasePageId, kEapMd5PageId, kEapPeapPageId,
          kEapTlsPageId, kEapTtlsPageId, kWpaPskPageId, kWpaRadiusPageId, kConfirmPageId,
          kConfirmAdHocPageId, kActivatePageId, kActivateAdHocPageId},
         {},
         &m_wizard},
        {4, {kAdapterPageId}, {}, &m_adapter},
        {5, {kApStatusPageId}, {kTimerApStatus}, &m_apStatus},
        {6, {kApSettingsPageId}, {}, &m_apSettings},
        {7, {kApFilterPageId}, {}, &m_apFilter},
    };
}

} // namespace kesto
