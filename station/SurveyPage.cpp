// The site survey page (see SurveyPage.h).
#include "station/SurveyPage.h"

#include "security/SecurityPopup.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <utility>

namespace kesto {

namespace {

// The radio is asked this often whether its scan is done, and the results are taken
// after the limit whatever it says.
constexpr std::uint32_t kScanPollMs = 100;
constexpr std::uint32_t kScanLimitMs = 10000;
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
    : m_shell(shell), m_needs(std::move(needs)), m_scanStep(m_needs.oneShots)
{
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
    case ShellStep::PageShown: {
        const int shown = m_shell.page().pageId();
        std::erase_if(m_scanRequests, [shown](const ScanRequest& r) { return r.pageId != shown; });
        if (m_scanRequests.empty())
            DropScan();
        break;
    }
    case ShellStep::DropPendingSteps:
        DropScan();
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
    m_scanRequests.push_back({pageId, std::move(then)});
    if (m_scanStep.pending())
        return; // the scan under way serves this request too
    m_scanCursor.emplace(m_needs.dialogs);
    m_needs.api.WL_SiteSurveyStart();
    m_scanStarted = m_needs.clock.TickCount();
    m_scanStep.Start(kScanPollMs, [this] { PollScan(); });
}

void SurveyPage::PollScan()
{
    const int state = m_needs.api.WL_SiteSurveyState();
    if (state == 0 && m_needs.clock.TickCount() - m_scanStarted < kScanLimitMs) {
        m_scanStep.Start(kScanPollMs, [this] { PollScan(); });
        return;
    }
    FinishScan();
}

void SurveyPage::FinishScan()
{
    std::vector<std::uint8_t> buffer(kSurveyBufferSize, 0);
    m_needs.api.WL_RetrieveSiteSurveyData(buffer);
    m_raw = ReadSurveyRecords(buffer);
    m_shown = m_raw;
    m_scanCursor.reset();
    const std::vector<ScanRequest> requests = std::exchange(m_scanRequests, {});
    RecordSurveyTimes();
    // The scan replaced the rows behind the list; a list still showing the old rows would
    // join another row's network on a double click.
    if (m_shell.page().pageId() == kSurveyPageId)
        FillList();
    for (const ScanRequest& request : requests)
        if (request.then)
            request.then();
}

void SurveyPage::DropScan()
{
    m_scanStep.Cancel();
    m_scanCursor.reset();
    m_scanRequests.clear();
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
    // A hidden network's name is empty or zero bytes: asked for no secrets, joined never.
    if (const ApplyFault refused = NetworkNameRefusal(entry.ssid); refused != ApplyFault::None) {
        ReportApplyFault(m_needs.dialogs, m_needs.caption, refused);
        return;
    }

    WorkingRecords& work = m_needs.work;
    // The entry's network as a fresh record: no name, so joining it names no stored
    // profile and moves no default.
    ProfileRecord joined;
    joined.ProfileName.clear();
    joined.SSID = entry.ssid;
    joined.NetworkType = entry.infrastructureMode;

    ApplyFault fault = ApplyFault::None;
    switch (entry.encryption) {
    case SurveyEncryption::Open: {
        WaitCursor wait(m_needs.dialogs);
        fault = m_needs.applier.ApplySurveyNetwork({entry.ssid, AdapterChannel(entry.frequencyKhz),
                                                    entry.infrastructureMode, entry.privacy});
        break;
    }
    case SurveyEncryption::Wep:
    case SurveyEncryption::WpaPsk:
    case SurveyEncryption::WpaRadius:
    case SurveyEncryption::WpaSae: {
        // The pop-up collects the network's secrets on the page of its security: WEP
        // keys, the WPA pass phrase, or the cipher and then the 802.1X login. Only a save
        // button joins; the applier hands WPA records to the adapter's WPA call. An SAE
        // network takes a pass phrase too: its profile is a pre-shared key profile, and
        // the adapter offers SAE where the network asks for it.
        const bool wep = entry.encryption == SurveyEncryption::Wep;
        const bool psk = entry.encryption == SurveyEncryption::WpaPsk ||
                         entry.encryption == SurveyEncryption::WpaSae;
        joined.AuthenticationMode = wep ? 1 : psk ? 2 : 3;
        const int firstPage = wep   ? kPopupWepPageId
                              : psk ? kPopupWpaPskPageId
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
        WaitCursor wait(m_needs.dialogs);
        fault = m_needs.applier.ApplyProfileRecord(joined);
        break;
    }
    }
    ReportApplyFault(m_needs.dialogs, m_needs.caption, fault);
    if (!Applied(fault)) {
        // The adapter stays where it was, and so does the page.
        m_shell.ShowPage(kSurveyPageId);
        FillList();
        return;
    }
    work.CurrentProfile = std::move(joined);
    work.ActiveProfileName.clear();
    m_shell.binding().SetText("TextProfileName", "");

    m_shell.surveyList().Show(false);
    // The status page's own step: cleared, shown, the monitor started afresh.
    m_shell.SwitchTab(1);
}

} // namespace kesto
