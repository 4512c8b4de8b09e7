#include "apply/ProfileApply.h"

#include "profiles/ProfileList.h"
#include "profiles/SecretScrambler.h"
#include "security/CertificateFile.h"
#include "security/WepKeyRules.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace kesto {

namespace {

constexpr int kRefused = -1;
constexpr int kAdHocAccepted = 0;
// Authentication modes from WPA-PSK on reach the adapter through its WPA call.
constexpr int kFirstNonWepAuthentication = 2;
constexpr int kWpaPsk = 2;
constexpr int kEapTls = 1;

// The record's WPA or 802.1X settings, secrets unscrambled: they live in memory only
// for as long as the call takes.
WpaCredentials CredentialsOf(const ProfileRecord& record)
{
    WpaCredentials c;
    c.authenticationMode = record.AuthenticationMode;
    c.cipher = record.EncryptionType;
    c.passphrase = UnscrambleSecret(record.Passphrase);
    c.eapMethod = record.RadiusType;
    c.innerMethod = record.TTLSOrPeapSelection;
    c.identity = record.LoginName;
    c.password = UnscrambleSecret(record.Password);
    c.certificate = record.Certificate;
    c.validateServer = record.ValidatesServer();
    c.serverName = record.ServerName;
    c.saeOnly = record.SaeSeen != 0;
    return c;
}

void SetModeStation(ProfileStore& store)
{
    store.WriteText(ProductValuePath("Mode"), "Station Mode");
}

// The values the driver keeps across restarts, under the selected adapter's driver key.
// Without an adapter entry there is no driver key: the adapter still gets the settings,
// but nothing is recorded (it would land in the adapter class key).
class DriverRecords {
public:
    DriverRecords(ProfileStore& store, std::string key) : m_store(store), m_key(std::move(key)) {}

    void Number(std::string_view value, std::int32_t n)
    {
        if (!m_key.empty())
            m_store.WriteNumber(m_key + "\\" + std::string(value), n);
    }
    void Text(std::string_view value, std::string_view text)
    {
        if (!m_key.empty())
            m_store.WriteText(m_key + "\\" + std::string(value), text);
    }

private:
    ProfileStore& m_store;
    std::string m_key;
};

} // namespace

ApplyFault NetworkNameRefusal(std::string_view ssid)
{
    const std::string_view name = TrimWhiteSpace(ssid);
    if (name.empty() || name.find('\0') != std::string_view::npos)
        return ApplyFault::NoNetworkName;
    return ApplyFault::None;
}

ApplyFault JoinRefusal(const ProfileRecord& record, const FileProbe& probe)
{
    // An empty name is the store's "any network" (the first-run default profile has
    // one); a zero byte would make it another name.
    if (record.SSID.find('\0') != std::string::npos)
        return ApplyFault::NoNetworkName;
    if (record.AuthenticationMode < kFirstNonWepAuthentication)
        return ApplyFault::None;
    if (TrimWhiteSpace(record.SSID).empty())
        return ApplyFault::WpaNeedsName;
    const WpaCredentials c = CredentialsOf(record);
    // The daemon that reads the certificate may read what the user could not.
    if (c.authenticationMode != kWpaPsk && c.eapMethod == kEapTls &&
        !CertificateRefusal(c.certificate, probe).empty())
        return ApplyFault::CertificateUnusable;
    if (WpaCredentialsUsable(c))
        return ApplyFault::None;
    if (c.authenticationMode == kWpaPsk && !PassphraseUsable(c.passphrase))
        return ApplyFault::PassphraseUnusable;
    if (c.authenticationMode != kWpaPsk && c.validateServer && EapMethodChecksServer(c.eapMethod) &&
        !ServerNameUsable(c.serverName))
        return ApplyFault::NoServerName;
    return ApplyFault::SecurityUnusable;
}

ProfileApplier::ProfileApplier(WlanApi& api, ProfileStore& store, WorkingRecords& work,
                               AdapterDiscovery& discovery)
    : m_api(api), m_store(store), m_work(work), m_discovery(discovery)
{
}

ApplyFault ProfileApplier::ApplyDefaultProfile()
{
    m_api.SetWL_OperationMode_STA_AP(0);
    m_work.DefaultLinkNumber =
        ParseStoredNumber(m_store.ReadText(ProductValuePath("DefaultProfileLink")));
    const std::string name = m_store.ReadText(ProfileLinkPath(m_work.DefaultLinkNumber));
    // A default link that names no stored profile would read as a record of 255s and
    // empty texts and push that into the adapter: the adapter keeps what it has, the
    // current record stays, and no profile counts as active.
    if (!m_store.ProfileExists(name)) {
        SetModeStation(m_store);
        m_work.ActiveProfileName.clear();
        return ApplyFault::None;
    }
    return ApplyProfileByName(name);
}

ApplyFault ProfileApplier::ApplyProfileByName(const std::string& name)
{
    SetModeStation(m_store);
    m_work.ActiveProfileName = name;
    m_work.CurrentProfile = m_store.ReadProfile(name);
    if (const ApplyFault refused = JoinRefusal(m_work.CurrentProfile, m_probe);
        refused != ApplyFault::None)
        return refused;

    const int status = m_api.QueryWL_CheckWZCStatus();
    if (status == kServiceNotInCharge || status == kServiceInCharge)
        m_api.SetWL_WZCStatus(0);
    m_discovery.SetServiceStateUnknown();
    m_discovery.SyncServiceState();
    // Still held by the service: its guard tells the user; nothing is pushed.
    if (m_discovery.ServiceState() == kServiceInCharge)
        return ApplyFault::None;
    return ApplyToAdapter(m_work.CurrentProfile);
}

ApplyFault ProfileApplier::ApplyProfileRecord(const ProfileRecord& record)
{
    if (const ApplyFault refused = JoinRefusal(record, m_probe); refused != ApplyFault::None)
        return refused;
    SetModeStation(m_store);
    const ApplyFault fault = ApplyToAdapter(record);
    // Stopped at the name or the WPA call, the adapter is not on the record's network.
    if (Applied(fault))
        m_work.ActiveProfileName = record.ProfileName;
    return fault;
}

ApplyFault ProfileApplier::ApplyToAdapter(const ProfileRecord& record)
{
    if (const ApplyFault refused = JoinRefusal(record, m_probe); refused != ApplyFault::None)
        return refused;
    DriverRecords driver(m_store, m_discovery.SelectedAdapterKey());

    m_api.ResetRequestState();
    // Refused (a name over 32 bytes, or no adapter), the adapter keeps the network it
    // has: the settings that follow, a WPA pass phrase above all, would be handed to it.
    if (m_api.SetWL_SSID(TrimWhiteSpace(record.SSID)) == kRefused)
        return ApplyFault::NameRefused;
    m_api.QueryWL_NetworkType();

    const int networkType = m_api.SetWL_NetworkType(record.NetworkType);
    if (networkType != kRefused)
        driver.Number("NetworkType", record.NetworkType);
    if (networkType == kAdHocAccepted) {
        // The driver reads its ad-hoc 802.11g behaviour from these two texts.
        switch (record.WirelessMode) {
        case 0:
            driver.Text("IBSS_G_Mode", "1");
            driver.Text("IBSS_PureG_Mode", "1");
            break;
        case 1:
            driver.Text("IBSS_G_Mode", "0");
            driver.Text("IBSS_PureG_Mode", "1");
            break;
        case 2:
            driver.Text("IBSS_G_Mode", "0");
            driver.Text("IBSS_PureG_Mode", "0");
            break;
        default:
            break;
        }
    }

    if (m_api.SetDesiredRate(record.TxRate) != kRefused)
        driver.Number("TxRate", record.TxRate);
    if (m_api.SetWL_PSMode(record.PSMode) != kRefused)
        driver.Number("PSMode", record.PSMode);

    ApplyFault fault = ApplyFault::None;
    if (record.AuthenticationMode >= kFirstNonWepAuthentication) {
        // In place of the 802.11 authentication and WEP, which would end the WPA join.
        // Refused, the adapter would join the new name with the old security: stop.
        WpaCredentials credentials = CredentialsOf(record);
        credentials.saeOnly = credentials.saeOnly || SeenSaeAlone(record.SSID);
        if (m_api.SetWL_WPA(credentials) == kRefused)
            return ApplyFault::SecurityRefused;
    } else if (record.KeyLength == 0) {
        m_api.SetWL_AuthenticationMode(0);
        m_api.SetWL_WEPStatus(1);
    } else {
        m_api.SetWL_AuthenticationMode(record.DataEncryption);
        if (record.WepSwitch != 0)
            m_api.SetWL_WEPStatus(0);
        if (record.KeyInUse >= 1 && record.KeyInUse <= kWepKeyCount) {
            const std::string_view text = TrimWhiteSpace(record.WepKey(record.KeyInUse - 1));
            if (const auto key = WepKeyToBytes(text)) {
                // The adapter takes the key bytes padded with zeros to the typed length.
                std::vector<std::uint8_t> buffer = key->bytes;
                buffer.resize(std::max(buffer.size(), text.size()), 0);
                // Refused (an adapter without 256-bit keys), the link cannot come up;
                // the user hears why rather than watching it fail.
                if (m_api.SetWL_WriteKey(record.KeyInUse - 1, key->sizeCode, 1, buffer) == kRefused)
                    fault = ApplyFault::KeyRefused;
            }
        }
    }

    // The driver's own parameter is a text (its start-up default is "2").
    if (m_api.SetWL_PreambleMode(record.Preamble) != kRefused)
        driver.Text("Preamble", std::to_string(record.Preamble));

    RecordDefaultLink(record.ProfileName);
    KeepSaeSeen(record);
    return fault;
}

ApplyFault ProfileApplier::ApplySurveyNetwork(const SurveyNetwork& network)
{
    if (const ApplyFault refused = NetworkNameRefusal(network.ssid); refused != ApplyFault::None)
        return refused;
    DriverRecords driver(m_store, m_discovery.SelectedAdapterKey());
    m_api.ResetRequestState();
    // The name's own bytes, whatever their encoding: the network compares bytes.
    if (m_api.SetWL_SSID(network.ssid) == kRefused)
        return ApplyFault::NameRefused;
    driver.Text("SSID", network.ssid);
    // The driver's value holds 1..14: a 5 GHz network leaves the one it has.
    if (network.channel > 0)
        driver.Text("RFChannel", std::to_string(network.channel));
    m_api.SetDesiredRate(0);
    m_api.SetWL_NetworkType(network.infrastructureMode);
    driver.Text("NetworkType", std::to_string(network.infrastructureMode));
    driver.Text("PowerSaveMode", std::to_string(m_api.QueryWL_PSMode()));
    // A shared-key profile applied before leaves shared-key authentication on, which an
    // open network refuses: open system first.
    m_api.SetWL_AuthenticationMode(0);
    m_api.SetWL_WEPStatus(network.privacy == 1 ? 0 : 1);
    if (m_api.SetWL_PreambleMode(3) == 0 && network.privacy == 1)
        m_api.QueryWL_WEPbit();
    return ApplyFault::None;
}

void ProfileApplier::NoteSaeAlone(std::string_view ssid)
{
    const std::string_view name = TrimWhiteSpace(ssid);
    if (!name.empty())
        m_saeAlone.emplace(name);
}

bool ProfileApplier::SeenSaeAlone(std::string_view ssid) const
{
    return m_saeAlone.contains(TrimWhiteSpace(ssid));
}

void ProfileApplier::KeepSaeSeen(const ProfileRecord& record)
{
    if (record.AuthenticationMode != kWpaPsk || record.SaeSeen != 0 || !SeenSaeAlone(record.SSID) ||
        !m_store.ProfileExists(record.ProfileName))
        return;
    ProfileRecord stored = m_store.ReadProfile(record.ProfileName);
    // Only the profile that was applied: not one that another name has replaced since.
    if (stored.AuthenticationMode != kWpaPsk || stored.SaeSeen != 0 ||
        TrimWhiteSpace(stored.SSID) != TrimWhiteSpace(record.SSID))
        return;
    stored.SaeSeen = 1;
    m_store.WriteProfile(stored);
    if (m_work.CurrentProfile.ProfileName == record.ProfileName)
        m_work.CurrentProfile.SaeSeen = 1;
}

void ProfileApplier::RecordDefaultLink(const std::string& profileName)
{
    // A nameless record (a network joined from the survey) must not match a link
    // whose value is missing.
    if (profileName.empty())
        return;
    const std::int32_t count =
        ParseStoredNumber(m_store.ReadText(ProductValuePath("ProfileLinkNumber")));
    for (std::int32_t link = 1; link <= count; ++link) {
        if (m_store.ReadText(ProfileLinkPath(link)) == profileName) {
            m_store.WriteText(ProductValuePath("DefaultProfileLink"), std::to_string(link));
            m_work.DefaultLinkNumber = link;
            return;
        }
    }
}

} // namespace kesto
