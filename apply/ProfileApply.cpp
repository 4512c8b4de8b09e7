#include "apply/ProfileApply.h"

#include "profiles/ProfileList.h"
#include "profiles/SecretScrambler.h"
#include "security/WepKeyRules.h"

#include <algorithm>
#include <vector>

namespace kesto {

namespace {

constexpr int kRefused = -1;
constexpr int kAdHocAccepted = 0;
// Authentication modes from WPA-PSK on reach the adapter through its WPA call.
constexpr int kFirstNonWepAuthentication = 2;

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
    c.validateServer = record.ValServerCertificate == 1;
    return c;
}

void SetModeStation(ProfileStore& store)
{
    store.WriteText(ProductValuePath("Mode"), "Station Mode");
}

} // namespace

ProfileApplier::ProfileApplier(WlanApi& api, ProfileStore& store, WorkingRecords& work,
                               AdapterDiscovery& discovery)
    : m_api(api), m_store(store), m_work(work), m_discovery(discovery)
{
}

void ProfileApplier::ApplyDefaultProfile()
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
        return;
    }
    ApplyProfileByName(name);
}

void ProfileApplier::ApplyProfileByName(std::string name)
{
    SetModeStation(m_store);
    m_work.ActiveProfileName = name;
    m_work.CurrentProfile = m_store.ReadProfile(name);

    const int status = m_api.QueryWL_CheckWZCStatus();
    if (status == kServiceNotInCharge || status == kServiceInCharge)
        m_api.SetWL_WZCStatus(0);
    m_discovery.SetServiceStateUnknown();
    m_discovery.SyncServiceState();
    // Still held by the service: its guard tells the user; nothing is pushed.
    if (m_discovery.ServiceState() == kServiceInCharge)
        return;
    ApplyToAdapter(m_work.CurrentProfile);
}

void ProfileApplier::ApplyProfileRecord(const ProfileRecord& record)
{
    SetModeStation(m_store);
    m_work.ActiveProfileName = record.ProfileName;
    ApplyToAdapter(record);
}

void ProfileApplier::ApplyToAdapter(const ProfileRecord& record)
{
    // Without an adapter entry there is no driver key: the adapter still gets the
    // settings, but nothing is recorded (it would land in the adapter class key).
    const std::string driverKey = m_discovery.SelectedAdapterKey();
    const auto recordNumber = [&](std::string_view value, std::int32_t n) {
        if (!driverKey.empty())
            m_store.WriteNumber(driverKey + "\\" + std::string(value), n);
    };
    const auto recordText = [&](std::string_view value, std::string_view text) {
        if (!driverKey.empty())
            m_store.WriteText(driverKey + "\\" + std::string(value), text);
    };

    m_api.ResetRequestState();
    m_api.SetWL_SSID(TrimWhiteSpace(record.SSID));
    m_api.QueryWL_NetworkType();

    const int networkType = m_api.SetWL_NetworkType(record.NetworkType);
    if (networkType != kRefused)
        recordNumber("NetworkType", record.NetworkType);
    if (networkType == kAdHocAccepted) {
        // The driver reads its ad-hoc 802.11g behaviour from these two texts.
        switch (record.WirelessMode) {
        case 0:
            recordText("IBSS_G_Mode", "1");
            recordText("IBSS_PureG_Mode", "1");
            break;
        case 1:
            recordText("IBSS_G_Mode", "0");
            recordText("IBSS_PureG_Mode", "1");
            break;
        case 2:
            recordText("IBSS_G_Mode", "0");
            recordText("IBSS_PureG_Mode", "0");
            break;
        default:
            break;
        }
    }

    if (m_api.SetDesiredRate(record.TxRate) != kRefused)
        recordNumber("TxRate", record.TxRate);
    if (m_api.SetWL_PSMode(record.PSMode) != kRefused)
        recordNumber("PSMode", record.PSMode);

    if (record.AuthenticationMode >= kFirstNonWepAuthentication) {
        // In place of the 802.11 authentication and WEP, which would end the WPA join.
        m_api.SetWL_WPA(CredentialsOf(record));
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
                m_api.SetWL_WriteKey(record.KeyInUse - 1, key->sizeCode, 1, buffer);
            }
        }
    }

    // The driver's own parameter is a text (its start-up default is "2").
    if (m_api.SetWL_PreambleMode(record.Preamble) != kRefused)
        recordText("Preamble", std::to_string(record.Preamble));

    RecordDefaultLink(record.ProfileName);
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
