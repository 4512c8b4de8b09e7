#include "station/ProfileWizard.h"

#include "base/AsciiText.h"
#include "pages/BoundChoice.h"
#include "pages/MainWindowIds.h"
#include "station/ProfileTexts.h"
#include "station/SurveyRecords.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace kesto {

namespace {

constexpr int kAdHocChoice = 1;
constexpr int kElevenChannels = 11;
constexpr int kSecurityChoices = 5;

void ClearWepKeys(ProfileRecord& record)
{
    record.KeyLength = 0;
    for (int key = 0; key < kWepKeyCount; ++key)
        record.WepKey(key).clear();
}

} // namespace

ProfileWizard::ProfileWizard(WindowShell& shell, WlanApi& api, AdapterDiscovery& discovery,
                             ProfileStore& store, ProfileList& profiles, ProfileApplier& applier,
                             WorkingRecords& work, Dialogs& dialogs, NetworkPick& networks,
                             PassphraseKeys& keys, std::string caption)
    : m_shell(shell), m_api(api), m_discovery(discovery), m_store(store), m_profiles(profiles),
      m_applier(applier), m_work(work), m_dialogs(dialogs), m_networks(networks),
      m_caption(std::move(caption)), m_security(shell, work, dialogs, keys, m_caption)
{
    m_security.SetFlow({[this] { Confirm(); }, [this] { m_shell.ShowPage(kSecurityMethodPageId); },
                        [this] { Abandon(); }});
}

void ProfileWizard::BindHandlers(PageMap& pages)
{
    const auto bind = [&pages](int pageId, std::string_view id, auto handler) {
        pages.AddHandler(pageId, id, ElementEvent::Click, handler);
    };
    const auto abandon = [this] { Abandon(); };
    for (int pageId : {kAddProfilePageId, kEditProfilePageId}) {
        bind(pageId, "ButtonNextAdd", [this] { OnNextAdd(); });
        bind(pageId, "ButtonExitAdd", abandon);
        bind(pageId, "ButtonScanAdd", [this] { OnScan(); });
        bind(pageId, "ButtonSelectAdd", [this] { OnSelectNetwork(); });
    }
    for (int pageId : {kAdHocPageId, kAdHoc11ChannelsPageId}) {
        bind(pageId, "ButtonBackPrfStep1", [this] { OnBackStep1(); });
        bind(pageId, "ButtonNextPrfStep1", [this] { OnNextStep1(); });
        bind(pageId, "ButtonExitPrfStep1", abandon);
    }
    bind(kSecurityMethodPageId, "ButtonBackPrfStep2", [this] { OnBackStep2(); });
    bind(kSecurityMethodPageId, "ButtonNextPrfStep2", [this] { OnNextStep2(); });
    bind(kSecurityMethodPageId, "ButtonExitPrfStep2", abandon);
    for (int pageId : {kConfirmPageId, kConfirmAdHocPageId}) {
        bind(pageId, "ButtonBackPrfStep3", [this] { OnBackStep3(); });
        bind(pageId, "ButtonNextPrfStep3", [this] { OnNextStep3(); });
        bind(pageId, "ButtonExitPrfStep3", abandon);
    }
    for (int pageId : {kActivatePageId, kActivateAdHocPageId}) {
        bind(pageId, "ActiveNow", [this] { OnActiveNow(); });
        bind(pageId, "ActiveLater", [this] { OnActiveLater(); });
    }
    m_security.BindHandlers(pages);
}

void ProfileWizard::StartAdd()
{
    m_work.WizardProfile = ProfileRecord{};
    m_work.WizardProfile.ProfileName.clear();
    m_work.WizardProfile.SSID.clear();
    ElementBinding& fields = m_shell.binding();
    fields.SetText("TextAddProfile", "");
    fields.SetText("TextAddSSID", "");
    fields.SetNumber("SelectPrfStep2EMode", 0);
    fields.SetNumber("RadioGroup", 0);
    fields.SetNumber("SelectPrfStep1WMode", 0);
    m_editing = false;
    m_shell.PlaceStationList();
    m_shell.surveyList().Show(false);
    m_shell.ShowPage(kAddProfilePageId);
    // The name page lists no network until the survey's are in, none of an earlier one.
    m_found.clear();
    SurveyNetworks();
}

void ProfileWizard::StartEdit(const ProfileRecord& profile)
{
    m_editing = true;
    m_work.WizardProfile = profile;
    ProfileRecord& record = m_work.WizardProfile;
    ElementBinding& fields = m_shell.binding();
    fields.SetText("TextAddProfile", record.ProfileName);
    fields.SetText("TextAddSSID", record.SSID);
    // Both ways: an infrastructure profile edited after an ad-hoc one is no ad-hoc one.
    fields.SetNumber("RadioGroup", record.NetworkType == 0 ? kAdHocChoice : 0);
    fields.SetNumber("SelectPrfStep1WMode", record.WirelessMode);
    if (record.AuthenticationMode == 0)
        ClearWepKeys(record);
    m_shell.PlaceStationList();
    m_shell.surveyList().Show(false);
    m_shell.ShowPage(kEditProfilePageId);
    m_found.clear();
    SurveyNetworks();
}

// The name page's list of networks is replaced when the survey's results are in; until
// then a pick takes a network of the list shown.
void ProfileWizard::SurveyNetworks()
{
    m_networks.Survey([this] {
        m_found = m_networks.Networks();
        FillStationList();
    });
}

void ProfileWizard::FillStationList()
{
    ListControl& list = m_shell.stationList();
    // 182 pixels wide: both columns fit beside the vertical scroll bar.
    list.SetColumns({{"SSID", 112, true}, {"Kanal", 48, true}});
    list.SetGridLines(true);
    list.SetFullRowSelect(true);
    std::vector<ListRow> rows;
    rows.reserve(m_found.size());
    for (const PickableNetwork& network : m_found)
        rows.push_back({{ShowableName(network.ssid),
                         network.channel > 0 ? std::to_string(network.channel) : ""},
                        -1});
    list.SetRows(rows);
    list.Show(true);
}

void ProfileWizard::ShowNamePage()
{
    m_shell.ShowPage(m_editing ? kEditProfilePageId : kAddProfilePageId);
    FillStationList();
}

void ProfileWizard::OnScan()
{
    m_shell.UpdateData(true);
    ElementBinding& fields = m_shell.binding();
    m_work.WizardProfile.ProfileName = fields.Text("TextAddProfile");
    m_work.WizardProfile.SSID = fields.Text("TextAddSSID");
    SurveyNetworks();
    m_shell.UpdateData(false);
}

void ProfileWizard::OnSelectNetwork()
{
    m_shell.UpdateData(true);
    ElementBinding& fields = m_shell.binding();
    m_work.WizardProfile.ProfileName = fields.Text("TextAddProfile");
    m_work.WizardProfile.SSID = fields.Text("TextAddSSID");
    const std::vector<int> selected = m_shell.stationList().SelectedRows();
    std::string ssid;
    if (!selected.empty() && selected.back() >= 0 &&
        static_cast<std::size_t>(selected.back()) < m_found.size())
        ssid = m_found[static_cast<std::size_t>(selected.back())].ssid;
    // A hidden network's zeros are no name to keep: the user types the real one.
    if (ssid.find('\0') != std::string::npos)
        ssid.clear();
    fields.SetText("TextAddSSID", ssid);
    m_shell.UpdateData(false);
}

bool ProfileWizard::AdHocChosen() const
{
    return m_work.WizardProfile.NetworkType == 0;
}

void ProfileWizard::OnNextAdd()
{
    m_shell.UpdateData(true);
    ElementBinding& fields = m_shell.binding();
    ProfileRecord& record = m_work.WizardProfile;
    const int adHoc = BoundChoice(fields, m_shell.page(), "RadioGroup",
                                  record.NetworkType == 0 ? kAdHocChoice : 0);
    record.ProfileName = fields.Text("TextAddProfile");
    record.SSID = fields.Text("TextAddSSID");
    record.NetworkType = adHoc == kAdHocChoice ? 0 : 1;
    if (ShowRefusal(m_dialogs, CheckProfileNaming(record, m_profiles.ShownProfiles(), m_editing),
                    m_caption))
        return;
    // A network of this name seen offering SAE alone is never offered less.
    for (const PickableNetwork& network : m_found)
        if (network.saeOnly && !record.SSID.empty() && network.ssid == record.SSID)
            record.SaeSeen = 1;

    m_shell.stationList().Show(false);
    if (!AdHocChosen()) {
        fields.SetNumber("SelectPrfStep2EMode", record.AuthenticationMode);
        m_shell.ShowPage(kSecurityMethodPageId);
        return;
    }
    fields.SetNumber("SelectPrfStep1Channel", record.Channel - 1);
    ShowAdHocPage();
}

void ProfileWizard::ShowAdHocPage()
{
    std::array<std::uint8_t, 14> channels{};
    int count = 0;
    m_api.QueryWL_SupportChannel(channels, count);
    m_shell.ShowPage(count == kElevenChannels ? kAdHoc11ChannelsPageId : kAdHocPageId);
}

void ProfileWizard::OnNextStep1()
{
    m_shell.UpdateData(true);
    ElementBinding& fields = m_shell.binding();
    const PageMirror& page = m_shell.page();
    ProfileRecord& record = m_work.WizardProfile;
    record.Channel = BoundChoice(fields, page, "SelectPrfStep1Channel", record.Channel - 1) + 1;
    record.WirelessMode = BoundChoice(fields, page, "SelectPrfStep1WMode", record.WirelessMode);
    fields.SetNumber("SelectPrfStep2EMode", record.AuthenticationMode);
    m_shell.ShowPage(kSecurityMethodPageId);
}

void ProfileWizard::OnBackStep1()
{
    ShowNamePage();
}

WizardSecurity ProfileWizard::SecurityChoice()
{
    const int stored = m_work.WizardProfile.AuthenticationMode;
    const int choice = BoundChoice(m_shell.binding(), m_shell.page(), "SelectPrfStep2EMode",
                                   stored >= 0 && stored < kSecurityChoices ? stored : 0);
    return static_cast<WizardSecurity>(std::clamp(choice, 0, kSecurityChoices - 1));
}

void ProfileWizard::OnNextStep2()
{
    m_shell.UpdateData(true);
    ProfileRecord& record = m_work.WizardProfile;
    const WizardSecurity choice = SecurityChoice();
    switch (choice) {
    case WizardSecurity::None:
        // Keys kept from an earlier WEP choice would still switch WEP on when the
        // profile is applied (a key length other than 0 does): "Deaktiviert" means an
        // open network.
        record.AuthenticationMode = 0;
        ClearWepKeys(record);
        Confirm();
        return;
    case WizardSecurity::Wep:
        record.AuthenticationMode = static_cast<int>(WizardSecurity::Wep);
        m_security.Enter(choice);
        return;
    case WizardSecurity::WpaPsk:
    case WizardSecurity::WpaRadius:
    case WizardSecurity::Radius:
        m_security.Enter(choice);
        return;
    }
}

void ProfileWizard::OnBackStep2()
{
    if (!AdHocChosen()) {
        ShowNamePage();
        return;
    }
    m_shell.binding().SetNumber("SelectPrfStep1Channel", m_work.WizardProfile.Channel - 1);
    ShowAdHocPage();
}

void ProfileWizard::Confirm()
{
    const ProfileRecord& record = m_work.WizardProfile;
    ElementBinding& fields = m_shell.binding();
    fields.SetText("TextPrfStep3SSID", record.SSID);
    fields.SetText("TextPrfStep3NetworkType", NetworkTypeText(record.NetworkType));
    fields.SetText("TextPrfStep3Channel", AdHocChosen() ? std::to_string(record.Channel) : "");
    fields.SetText("TextPrfStep3Security", SecurityText(record.AuthenticationMode));
    m_shell.ShowPage(AdHocChosen() ? kConfirmAdHocPageId : kConfirmPageId);
}

void ProfileWizard::OnBackStep3()
{
    const WizardSecurity choice = SecurityChoice();
    if (choice == WizardSecurity::None)
        m_shell.ShowPage(kSecurityMethodPageId);
    else
        m_security.Reenter(choice);
}

void ProfileWizard::OnNextStep3()
{
    m_shell.UpdateData(true);
    const ProfileRecord& record = m_work.WizardProfile;
    const auto& shown = m_profiles.ShownProfiles();
    const bool exists = std::any_of(shown.begin(), shown.end(), [&](const ProfileRecord& p) {
        return p.ProfileName == record.ProfileName;
    });
    if (exists) {
        m_store.WriteProfile(record);
    } else if (ShowRefusal(m_dialogs, AddProfileRecord(m_profiles, record), m_caption)) {
        return;
    }
    m_shell.ShowPage(AdHocChosen() ? kActivateAdHocPageId : kActivatePageId);
}

void ProfileWizard::OnActiveNow()
{
    if (m_discovery.CheckServiceConflict())
        return;
    WaitCursor wait(m_dialogs);
    const ProfileRecord copy = m_work.WizardProfile;
    const ApplyFault fault = m_applier.ApplyProfileRecord(copy);
    ReportApplyFault(m_dialogs, m_caption, fault);
    // Refused, the profile stays saved and the question stays open.
    if (!Applied(fault))
        return;
    m_work.CurrentProfile = copy;
    m_shell.SwitchTab(1);
}

void ProfileWizard::OnActiveLater()
{
    m_shell.ShowPage(kProfilePageId);
    m_profiles.ReloadProfileList();
}

void ProfileWizard::Abandon()
{
    m_shell.stationList().Show(false);
    m_shell.ShowPage(kProfilePageId);
    m_profiles.RefreshProfileList();
}

} // namespace kesto
