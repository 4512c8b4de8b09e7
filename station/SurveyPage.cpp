// The site survey page (see SurveyPage.h).
#include "station/SurveyPage.h"

#include "security/SecurityPopup.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <utility>

namespace kesto {

namespace {

constexpr int kColumnName = 1;
constexpr int kColumnChannel = 2;
constexpr int kColumnSignal = 3;

// Row images of control 1009: infrastructure open, infrastructure secured, ad hoc open,
// ad hoc secured.
int RowImage(const SurveyEntry& entry)
{
    const int base = entry.infrastructureMode == 0 ? 2 : 0;
    return base + (entry.encryption == SurveyEncryption::Open ? 0 : 1);
}

std::string ChannelText(const SurveyEntry& entry)
{
    const int channel = ChannelFromFrequency(entry.frequencyKhz);
    return channel > 0 ? std::to_string(channel) : std::string();
}

std::string FormatMac(const std::array<std::uint8_t, 6>& mac)
{
    char text[18];
    std::snprintf(text, sizeof text, "%02X:%02X:%02X:%02X:%02X:%02X", mac[0], mac[1], mac[2],
                  mac[3], mac[4], mac[5]);
    return text;
}

std::string FormatTime(const LocalTime& t)
{
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", t.hour, t.minute, t.second);
    return text;
}

std::string_view NetworkTypeText(std::int32_t mode)
{
    switch (mode) {
    case 0:
        return "Ad-Hoc";
    case 1:
        return "Infrastruktur";
    default:
        return "Unknown";
    }
}

// Whether a and b are out of order for an ascending sort by column.
bool GreaterBy(int column, const SurveyEntry& a, const SurveyEntry& b)
{
    switch (column) {
    case kColumnName:
        return a.ssid > b.ssid; // byte-wise, case-sensitive
    case kColumnChannel:
        return ChannelFromFrequency(a.frequencyKhz) > ChannelFromFrequency(b.frequencyKhz);
    case kColumnSignal:
        return a.rssi > b.rssi;
    default:
        return false;
    }
}

} // namespace

SurveyPage::SurveyPage(WindowShell& shell, Needs needs)
    : m_shell(shell), m_needs(std::move(needs)),
      m_scan(m_needs.api, m_needs.clock, m_needs.oneShots, m_needs.dialogs),
      m_join(m_needs.work, m_needs.applier)
{
    m_scan.SetResultsObserver([this](const auto& results) { TakeResults(results); });
}

void SurveyPage::BindHandlers(PageMap& pages)
{
    pages.AddHandler(kSurveyPageId, "ButtonSiteScan", ElementEvent::Click,
                     [this] { ScanFor(kSurveyPageId); });
    pages.AddHandler(kSurveyPageId, "ButtonSiteCon", ElementEvent::Click,
                     [this] { ConnectSelected(); });
}

void SurveyPage::ShowTab()
{
    m_shell.setSurveyListHoldsSurvey(true);
    ScanFor(kSurveyPageId);
    m_shell.PlaceSurveyList();
    m_shell.ShowPage(kSurveyPageId);
    m_shell.monitorTimers().Stop();
}

void SurveyPage::OnListEvent(int controlId, ListEvent event, int index)
{
    if (controlId != kSurveyListId)
        return;
    switch (event) {
    case ListEvent::Click:
        ShowDetails(SelectedRow());
        break;
    case ListEvent::DoubleClick:
        if (m_shell.surveyListHoldsSurvey())
            ConnectSelected();
        break;
    case ListEvent::HeaderClick:
        if (index >= kColumnName && index <= kColumnSignal)
            SortBy(index);
        if (index >= 0 && index <= kColumnSignal)
            FillList();
        break;
    }
}

void SurveyPage::OnShellStep(ShellStep step)
{
    switch (step) {
    case ShellStep::SiteSurveyCommand:
        // The list holds the survey from now on, so a double click in it joins. Until the
        // scan's rows are in, it shows none of another page's.
        m_shell.setSurveyListHoldsSurvey(true);
        m_shell.stationList().Show(false);
        m_shell.surveyList().Show(false);
        ScanFor(kSurveyPageId);
        m_shell.PlaceSurveyList();
        m_shell.ShowPage(kSurveyPageId);
        break;
    case ShellStep::RestoredInStationMode:
        Scan();
        break;
    case ShellStep::PageShown:
        m_scan.KeepPage(m_shell.page().pageId());
        break;
    case ShellStep::WindowHidden:
        m_scan.DropPageRequests();
        break;
    case ShellStep::DropPendingSteps:
        m_scan.DropAll();
        break;
    case ShellStep::FirstShowFromRestore:
    case ShellStep::FirstShowFromMenu:
    case ShellStep::RestoredInApMode:
    case ShellStep::StationModeEntered:
    case ShellStep::ApStartingOnAdapter:
    case ShellStep::ApModeEntered:
    case ShellStep::AdapterReturned:
        break;
    }
}

// --- scanning and the list ---

void SurveyPage::Scan(std::function<void()> then)
{
    ScanFor(m_shell.page().pageId(), std::move(then));
}

void SurveyPage::ScanFor(int pageId, std::function<void()> then)
{
    m_scan.Request(pageId, std::move(then));
}

void SurveyPage::TakeResults(const std::vector<SurveyEntry>& results)
{
    // What a scan teaches about SAE outlives the scan: see ProfileApplier::NoteSaeAlone.
    for (const SurveyEntry& entry : results)
        if (entry.encryption == SurveyEncryption::WpaSae)
            m_needs.applier.NoteSaeAlone(entry.ssid);
    m_raw = results;
    m_shown = m_raw;
    RecordSurveyTimes();
    // The scan replaced the rows behind the list; a list still showing the old rows would
    // join another row's network on a double click.
    if (m_shell.page().pageId() == kSurveyPageId)
        FillList();
}

void SurveyPage::RecordSurveyTimes()
{
    const LocalTime now = m_needs.clock.Now();
    for (std::size_t i = 0; i < m_raw.size() && i < m_times.size(); ++i)
        m_times[i] = {m_raw[i].ssid, now};
}

void SurveyPage::FillList()
{
    for (int& flag : m_sortFlags)
        if (flag != 0 && flag != 1)
            flag = 0;
    ListControl& list = m_shell.surveyList();
    list.SetColumns(
        {{"", 45, true}, {"SSID", 126, true}, {"Kanal", 62, true}, {"Signal", 62, true}});
    list.SetGridLines(true);
    list.SetFullRowSelect(true);
    std::vector<ListRow> rows;
    rows.reserve(m_shown.size());
    const AdapterCalibration& calibration = m_needs.discovery.Calibration();
    for (const SurveyEntry& entry : m_shown)
        rows.push_back({{"", ShowableName(entry.ssid), ChannelText(entry),
                         std::to_string(SignalPercent(entry.rssi, calibration)) + "%"},
                        RowImage(entry)});
    list.SetRows(rows);
    ShowDetails(SelectedRow());
    list.Show(true);
}

int SurveyPage::SelectedRow()
{
    const std::vector<int> selected = m_shell.surveyList().SelectedRows();
    return selected.empty() ? -1 : selected.back();
}

void SurveyPage::ShowDetails(int row)
{
    ElementBinding& b = m_shell.binding();
    if (row < 0 || static_cast<std::size_t>(row) >= m_shown.size()) {
        for (std::string_view id : {"TextTab2NetworkType", "TextTab2Channel", "TextTab2Encry",
                                    "TextTab2MAC", "TextTab2Survey"})
            b.SetText(id, "");
    } else {
        const SurveyEntry& entry = m_shown[static_cast<std::size_t>(row)];
        b.SetText("TextTab2Channel", ChannelText(entry));
        b.SetText("TextTab2NetworkType", NetworkTypeText(entry.infrastructureMode));
        b.SetText("TextTab2Encry", EncryptionLabel(entry.encryption));
        b.SetText("TextTab2MAC", FormatMac(entry.bssid));
        const std::size_t slots = std::min(m_raw.size(), m_times.size());
        for (std::size_t i = 0; i < slots; ++i) {
            if (m_times[i].ssid == entry.ssid) {
                b.SetText("TextTab2Survey", FormatTime(m_times[i].time));
                break;
            }
        }
    }
    m_shell.UpdateData(false);
}

void SurveyPage::SortBy(int column)
{
    if (column < kColumnName || column > kColumnSignal)
        return;
    int& flag = m_sortFlags[static_cast<std::size_t>(column - kColumnName)];
    const bool descending = flag == 1;
    flag = descending ? 0 : 1;
    for (std::size_t i = 0; i + 1 < m_shown.size(); ++i) {
        for (std::size_t j = i + 1; j < m_shown.size(); ++j) {
            const bool outOfOrder = descending ? GreaterBy(column, m_shown[j], m_shown[i])
                                               : GreaterBy(column, m_shown[i], m_shown[j]);
            if (outOfOrder)
                std::swap(m_shown[i], m_shown[j]);
        }
    }
}

// --- joining ---

void SurveyPage::ConnectSelected()
{
    if (m_needs.discovery.CheckServiceConflict())
        return;
    const int row = SelectedRow();
    if (row < 0 || static_cast<std::size_t>(row) >= m_shown.size())
        return;
    const SurveyEntry entry = m_shown[static_cast<std::size_t>(row)];
    if (ShowRefusal(m_needs.dialogs, CheckJoinable(entry), m_needs.caption))
        return;

    ProfileRecord joined = JoinRecord(entry);
    if (entry.encryption != SurveyEncryption::Open) {
        // The pop-up collects the network's secrets on the page of its security: WEP
        // keys, the WPA pass phrase, or the cipher and then the 802.1X login. Only a save
        // button joins.
        // An SAE network takes a pass phrase too: its profile is a pre-shared key
        // profile, and the adapter offers SAE where the network asks for it.
        const int firstPage = entry.encryption == SurveyEncryption::Wep ? kPopupWepPageId
                              : entry.encryption == SurveyEncryption::WpaPsk ||
                                      entry.encryption == SurveyEncryption::WpaSae
                                  ? kPopupWpaPskPageId
                                  : kPopupWpaRadiusPageId;
        SecurityPopup popup(m_needs.pages, m_needs.dialogs, m_needs.caption, m_needs.keys,
                            firstPage, m_needs.manifest);
        std::optional<ProfileRecord> saved = popup.Run(joined);
        if (!saved) {
            m_shell.ShowPage(kSurveyPageId);
            FillList();
            return;
        }
        joined = std::move(*saved);
    }
    ApplyFault fault = ApplyFault::None;
    {
        WaitCursor wait(m_needs.dialogs);
        fault = m_join.Join(entry, std::move(joined));
    }
    ReportApplyFault(m_needs.dialogs, m_needs.caption, fault);
    if (!Applied(fault)) {
        // The adapter stays where it was, and so does the page.
        m_shell.ShowPage(kSurveyPageId);
        FillList();
        return;
    }
    m_shell.binding().SetText("TextProfileName", "");

    m_shell.surveyList().Show(false);
    // The status page's own step: cleared, shown, the monitor started afresh.
    m_shell.SwitchTab(1);
}

} // namespace kesto
