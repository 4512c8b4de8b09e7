#include "ap/ApStatusPage.h"

#include "ap/FilterEntry.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace kesto {

namespace {

static_assert(kFilterBlockSize == 112);

constexpr int kChannelUnknown = -1;
constexpr std::uint32_t kSettleMs = 100;

// The station list control is 182 pixels wide with a two-pixel sunken edge on each
// side; its first column holds the row number.
constexpr int kStationListClientWidth = 178;
constexpr int kNumberColumnWidth = 44;

const char* OutputPowerText(std::int32_t storedPower)
{
    switch (storedPower) {
    case 1:
        return "Medium-High";
    case 2:
        return "Medium-Low";
    case 3:
        return "Low";
    default:
        return "High";
    }
}

const char* AuthenticationText(int mode)
{
    switch (mode) {
    case 0:
        return "Open System";
    case 1:
        return "Shared Key";
    default:
        return "Auto";
    }
}

std::string RateText(int kbps)
{
    const int mbps = kbps / 1000;
    return mbps == 5 ? std::string("5.5 Mbps") : std::to_string(mbps) + " Mbps";
}

} // namespace

void ReadApStatusFirst(WlanApi& api, ProfileStore& store, ApStatus& status)
{
    status.channel = api.QueryWL_Channel();
    if (status.channel == kChannelUnknown)
        return;
    status.outputPower = OutputPowerText(store.ReadApSettings().OutputPower);
    status.security = AuthenticationText(api.QueryWL_AuthenticationMode());
}

void ReadApStatusRest(WlanApi& api, ProfileStore& store, ApStatus& status)
{
    status.ssid = store.ReadApSettings().SSID;
    // Cleared before each read: a failed read gives no address rather than bytes nobody
    // wrote.
    std::array<std::uint8_t, kMacAddressBytes> mac{};
    status.mac = api.GetNICAdapterMAC(mac) != -1 ? MacAddressText(mac) : "";
    status.rateKbps = std::max(api.QueryWL_CurrentLinkSpeed(), 0);

    api.WL_SiteSurveyStart();
    // Cleared before each read: a failed read shows no station rather than old ones.
    std::array<std::uint8_t, kFilterBlockSize> stations{};
    api.WL_RetrieveStationList(stations);
    status.stations.clear();
    for (std::size_t i = 0; i < kFilterAddressCount; ++i) {
        const std::uint8_t* entry = stations.data() + i * kFilterEntrySize;
        if (entry[0] != 1)
            break;
        status.stations.push_back(MacAddressText(
            std::span<const std::uint8_t, kMacAddressBytes>(entry + 1, kMacAddressBytes)));
    }
}

ApStatusPage::ApStatusPage(WindowShell& shell, WlanApi& api, ProfileStore& store,
                           OneShotTimers& oneShots)
    : m_shell(shell), m_api(api), m_store(store), m_settle(oneShots)
{
}

void ApStatusPage::BindHandlers(PageMap& pages)
{
    pages.AddHandler(kApStatusPageId, "ButtonAPRefresh", ElementEvent::Click,
                     [this] { RefreshApStatus(true); });
}

// The page shows at once with what the first reading gave; the values of the rest follow
// when it has settled.
void ApStatusPage::ShowTab()
{
    m_shell.timers().SetTimer(kTimerApStatus, kApStatusPeriod);
    RefreshApStatus(true);
    m_shell.ShowPage(kApStatusPageId);
}

void ApStatusPage::OnTimer(int id)
{
    if (id == kTimerApStatus)
        RefreshApStatus();
}

void ApStatusPage::OnShellStep(ShellStep step)
{
    switch (step) {
    case ShellStep::RestoredInApMode:
        RefreshApStatus(true);
        m_shell.timers().SetTimer(kTimerApStatus, kApStatusPeriod);
        m_shell.ShowPage(kApStatusPageId);
        break;
    case ShellStep::ApModeEntered:
        // The window then starts timer 8 and shows this page.
        RefreshApStatus(true);
        break;
    case ShellStep::PageShown:
        // A refresh for the page shown is what another page's show leaves behind.
        if (m_shell.page().pageId() != kApStatusPageId)
            m_settle.Cancel();
        break;
    case ShellStep::WindowHidden:
    case ShellStep::DropPendingSteps:
        m_settle.Cancel();
        break;
    case ShellStep::FirstShowFromRestore:
    case ShellStep::FirstShowFromMenu:
    case ShellStep::RestoredInStationMode:
    case ShellStep::SiteSurveyCommand:
    case ShellStep::StationModeEntered:
    case ShellStep::ApStartingOnAdapter:
    case ShellStep::AdapterReturned:
        break;
    }
}

void ApStatusPage::RefreshApStatus(bool writePage)
{
    if (m_settle.pending()) {
        m_writePage = m_writePage || writePage;
        return;
    }
    // A lost adapter's context is closed; the timer may still tick once before the
    // window stops it.
    if (!m_api.IsOpen())
        return;
    ElementBinding& values = m_shell.binding();
    m_status = {};
    ReadApStatusFirst(m_api, m_store, m_status);
    if (m_status.channel != kChannelUnknown) {
        values.SetText("TextAPChannel", std::to_string(m_status.channel));
        values.SetText("TextAPOutPower", m_status.outputPower);
        values.SetText("TextAPSecurity", m_status.security);
    }
    m_writePage = writePage;
    m_settle.Start(kSettleMs, [this] { FinishRefresh(); });
}

void ApStatusPage::FinishRefresh()
{
    if (!m_api.IsOpen())
        return;
    ReadApStatusRest(m_api, m_store, m_status);
    ElementBinding& values = m_shell.binding();
    values.SetText("TextAPSSID", m_status.ssid);
    // A failed read keeps the address and rate last shown.
    if (!m_status.mac.empty())
        values.SetText("TextAPMAC", m_status.mac);
    if (m_status.rateKbps > 0)
        values.SetText("TextAPTrRate", RateText(m_status.rateKbps));
    RebuildStationList(m_status.stations);
    if (std::exchange(m_writePage, false) && m_shell.page().pageId() == kApStatusPageId)
        m_shell.UpdateData(false);
}

void ApStatusPage::RebuildStationList(const std::vector<std::string>& stations)
{
    ListControl& list = m_shell.stationList();
    m_shell.PlaceStationList();
    list.SetColumns({{"", kNumberColumnWidth, true},
                     {"MAC-Adresse", kStationListClientWidth - kNumberColumnWidth, true}});
    list.SetGridLines(true);
    list.SetFullRowSelect(true);

    std::vector<ListRow> rows;
    for (std::size_t i = 0; i < stations.size(); ++i)
        rows.push_back({{std::to_string(i), stations[i]}, -1});
    list.SetRows(rows);
    list.Show(true);
}

} // namespace kesto
