#include "station/ProfilePage.h"

#include "station/ProfileTexts.h"

#include <utility>

namespace kesto {

namespace {

constexpr int kProfileListId = 1009;
constexpr int kNameColumn = 1;
constexpr int kSsidColumn = 2;

const char* const kDetailFields[] = {"TextTab3NetworkType", "TextTab3SSID", "TextTab3Channel",
                                     "TextTab3Security", "TextTab3TransTate"};

} // namespace

int ProfileRowImage(const ProfileRecord& profile)
{
    const bool secured = profile.AuthenticationMode != 0;
    switch (profile.NetworkType) {
    case 0:
        return secured ? 3 : 2;
    case 1:
        return secured ? 1 : 0;
    default:
        return 0;
    }
}

ProfilePage::ProfilePage(WindowShell& shell, ProfileList& profiles, WorkingRecords& work,
                         ProfileApplier& applier, AdapterDiscovery& discovery, Dialogs& dialogs,
                         ProfileWizard& wizard, std::string caption)
    : m_shell(shell), m_profiles(profiles), m_work(work), m_applier(applier),
      m_discovery(discovery), m_dialogs(dialogs), m_wizard(wizard), m_caption(std::move(caption))
{
    m_profiles.SetRefreshHook([this] { RefreshProfileList(); });
}

void ProfilePage::BindHandlers(PageMap& pages)
{
    pages.AddHandler(kProfilePageId, "ButtonConPrf", ElementEvent::Click, [this] { OnConnect(); });
    pages.AddHandler(kProfilePageId, "ButtonAddPrf", ElementEvent::Click, [this] { OnAdd(); });
    pages.AddHandler(kProfilePageId, "ButtonEditPrf", ElementEvent::Click, [this] { OnEdit(); });
    pages.AddHandler(kProfilePageId, "ButtonDelPrf", ElementEvent::Click, [this] { OnDelete(); });
}

void ProfilePage::ShowTab()
{
    m_shell.setSurveyListHoldsSurvey(false);
    m_shell.PlaceSurveyList();
    m_shell.monitorTimers().Stop();
    m_profiles.ReloadProfileList();
    m_shell.ShowPage(kProfilePageId);
}

void ProfilePage::RefreshProfileList()
{
    ListControl& list = m_shell.surveyList();
    list.SetColumns({{"", 45, true}, {"Profilname", 150, true}, {"SSID", 100, true}});
    list.SetFullRowSelect(true);
    list.SetGridLines(true);
    std::vector<ListRow> rows;
    for (const ProfileRecord& profile : m_profiles.ShownProfiles())
        rows.push_back({{"", profile.ProfileName, profile.SSID}, ProfileRowImage(profile)});
    list.SetRows(rows);
    list.Show(true);
    // The new rows have no selection: the details describe none.
    for (const char* id : kDetailFields)
        m_shell.binding().SetText(id, "");
    if (m_shell.page().pageId() == kProfilePageId)
        m_shell.UpdateData(false);
}

void ProfilePage::SortProfiles(int column)
{
    if (column != kNameColumn && column != kSsidColumn)
        return;
    bool& ascending = column == kNameColumn ? m_nameAscending : m_ssidAscending;
    const auto key = [column](const ProfileRecord& p) -> const std::string& {
        return column == kNameColumn ? p.ProfileName : p.SSID;
    };
    // Insertion in link order: each profile goes before the first one it does not
    // follow, so equal keys keep their link order. Byte-wise comparison.
    const auto follows = [&](const ProfileRecord& p, const ProfileRecord& shown) {
        return ascending ? !(key(p) < key(shown)) : !(key(shown) < key(p));
    };
    std::vector<ProfileRecord>& shown = m_profiles.ShownProfiles();
    shown.clear();
    for (const ProfileRecord& profile : m_profiles.LoadedProfiles()) {
        auto at = shown.begin();
        while (at != shown.end() && follows(profile, *at))
            ++at;
        shown.insert(at, profile);
    }
    ascending = !ascending;
}

void ProfilePage::OnListEvent(int controlId, ListEvent event, int index)
{
    if (controlId != kProfileListId)
        return;
    switch (event) {
    case ListEvent::Click:
        ShowProfileDetails();
        break;
    case ListEvent::HeaderClick:
        if (index == kNameColumn || index == kSsidColumn) {
            SortProfiles(index);
            RefreshProfileList();
        }
        break;
    case ListEvent::DoubleClick:
        break;
    }
}

std::optional<std::size_t> ProfilePage::SelectedRow()
{
    const std::vector<int> selected = m_shell.surveyList().SelectedRows();
    if (selected.empty() || selected.back() < 0 ||
        static_cast<std::size_t>(selected.back()) >= m_profiles.ShownProfiles().size())
        return std::nullopt;
    return static_cast<std::size_t>(selected.back());
}

void ProfilePage::ShowProfileDetails()
{
    ElementBinding& fields = m_shell.binding();
    const std::optional<std::size_t> row = SelectedRow();
    if (!row) {
        for (const char* id : kDetailFields)
            fields.SetText(id, "");
        m_shell.UpdateData(false);
        return;
    }
    const ProfileRecord& profile = m_profiles.ShownProfiles()[*row];
    fields.SetText("TextTab3SSID", profile.SSID);
    if (profile.NetworkType == 0 || profile.NetworkType == 1) {
        fields.SetText("TextTab3NetworkType", NetworkTypeText(profile.NetworkType));
        fields.SetText("TextTab3Channel",
                       profile.NetworkType == 0 ? std::to_string(profile.Channel) : "");
    }
    if (const std::string security = SecurityText(profile.AuthenticationMode); !security.empty())
        fields.SetText("TextTab3Security", security);
    fields.SetText("TextTab3TransTate", RateText(profile.TxRate));
    m_shell.UpdateData(false);
}

void ProfilePage::OnConnect()
{
    if (m_discovery.CheckServiceConflict())
        return;
    WaitCursor wait(m_dialogs);
    const std::optional<std::size_t> row = SelectedRow();
    if (!row)
        return;
    const ProfileRecord copy = m_profiles.ShownProfiles()[*row];
    const ApplyFault fault = m_applier.ApplyProfileRecord(copy);
    ReportApplyFault(m_dialogs, m_caption, fault);
    if (!Applied(fault))
        return;
    m_work.CurrentProfile = copy;
    // The status page with a fresh monitor and its timers (the lists go with the tab).
    m_shell.SwitchTab(1);
}

void ProfilePage::OnAdd()
{
    m_wizard.StartAdd();
}

void ProfilePage::OnEdit()
{
    m_shell.binding().SetNumber("SelectPrfStep1WMode", 0);
    const std::optional<std::size_t> row = SelectedRow();
    if (!row)
        return;
    m_wizard.StartEdit(m_profiles.ShownProfiles()[*row]);
}

void ProfilePage::OnDelete()
{
    const std::optional<std::size_t> row = SelectedRow();
    if (!row)
        return;
    m_profiles.DeleteProfile(static_cast<int>(*row));
}

} // namespace kesto
