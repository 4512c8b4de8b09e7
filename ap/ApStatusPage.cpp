#include "ap/ApStatusPage.h"

#include "ap/FilterEntry.h"

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

    const int channel = m_api.QueryWL_Channel();
    if (channel != kChannelUnknown) {
        values.SetText("TextAPChannel", std::to_string(channel));
        values.SetText("TextAPOutPower", OutputPowerText(m_store.ReadApSettings().OutputPower));
        values.SetText("TextAPSecurity", AuthenticationText(m_api.QueryWL_AuthenticationMode()));
    }
    m_writePage = writePage;
    m_settle.Start(kSettleMs, [this] { FinishRefresh(); });
}

void ApStatusPage::FinishRefresh()
{
    if (!m_api.IsOpen())
        return;
    ElementBinding& values = m_shell.binding();
    values.SetText("TextAPSSID", m_store.ReadApSettings().SSID);

    // Cleared before each read: a failed read keeps the address last shown rather than
    // showing bytes nobody wrote.
    std::array<std::uint8_t, kMacAddressBytes> mac{};
    if (m_api.GetNICAdapterMAC(mac) != -1)
        values.SetText("TextAPMAC", MacAddressText(mac));

    const int kbps = m_api.QueryWL_CurrentLinkSpeed();
    if (kbps > 0)
        values.SetText("TextAPTrRate", RateText(kbps));

    m_api.WL_SiteSurveyStart();
    // Cleared before each read: a failed read shows no station rather than old ones.
    std::array<std::uint8_t, kFilterBlockSize> stations{};
    m_api.WL_RetrieveStationList(stations);
    RebuildStationList(stations);
    if (std::exchange(m_writePage, false) && m_shell.page().pageId() == kApStatusPageId)
        m_shell.UpdateData(false);
}

void ApStatusPage::RebuildStationList(const std::array<std::uint8_t, 112>& stations)
{
    ListControl& list = m_shell.stationList();
    m_shell.PlaceStationList();
    list.SetColumns({{"", kNumberColumnWidth, true},
                     {"MAC-Adresse", kStationListClientWidth - kNumberColumnWidth, true}});
    list.SetGridLines(true);
    list.SetFullRowSelect(true);

    std::vector<ListRow> rows;
    for (std::size_t i = 0; i < kFilterAddressCount; ++i) {
        const std::uint8_t* entry = stations.data() + i * kFilterEntrySize;
        if (entry[0] != 1)
            break;
        const std::span<const std::uint8_t, kMacAddressBytes> address(entry + 1, kMacAddressBytes);
        rows.push_back({{std::to_string(i), MacAddressText(address)}, -1});
    }
    list.SetRows(rows);
    list.Show(true);
}

} // namespace kesto
