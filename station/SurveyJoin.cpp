// Joining a network of the site survey (see SurveyJoin.h).
#include "station/SurveyJoin.h"

#include <string>
#include <utility>

namespace kesto {

Refused CheckJoinable(const SurveyEntry& entry)
{
    if (entry.ssid.empty())
        return Refusal{"HiddenNetwork", std::string(kHiddenNetworkMessage)};
    return std::nullopt;
}

ProfileRecord JoinRecord(const SurveyEntry& entry)
{
    ProfileRecord joined;
    joined.ProfileName.clear();
    joined.SSID = entry.ssid;
    joined.NetworkType = entry.infrastructureMode;
    switch (entry.encryption) {
    case SurveyEncryption::Open:
        break;
    case SurveyEncryption::Wep:
        joined.AuthenticationMode = 1;
        break;
    case SurveyEncryption::WpaPsk:
        joined.AuthenticationMode = 2;
        break;
    case SurveyEncryption::WpaRadius:
        joined.AuthenticationMode = 3;
        break;
    }
    return joined;
}

SurveyJoin::SurveyJoin(WlanApi& api, AdapterDiscovery& discovery, ProfileStore& store,
                       WorkingRecords& work, ProfileApplier& applier)
    : m_api(api), m_discovery(discovery), m_store(store), m_work(work), m_applier(applier)
{
}

void SurveyJoin::Join(const SurveyEntry& entry, ProfileRecord record)
{
    // The applier hands WPA records to the adapter's WPA call.
    if (entry.encryption == SurveyEncryption::Open)
        ApplyEntry(entry);
    else
        m_applier.ApplyProfileRecord(record);
    m_work.CurrentProfile = std::move(record);
    m_work.ActiveProfileName.clear();
}

void SurveyJoin::RecordDriverText(std::string_view value, std::string_view text)
{
    const std::string driverKey = m_discovery.SelectedAdapterKey();
    // Without an adapter entry there is no driver key to record in.
    if (!driverKey.empty())
        m_store.WriteText(driverKey + "\\" + std::string(value), text);
}

void SurveyJoin::ApplyEntry(const SurveyEntry& entry)
{
    const int channel = AdapterChannel(entry.frequencyKhz);
    m_api.ResetRequestState();
    // The name's own bytes, whatever their encoding: the network compares bytes.
    m_api.SetWL_SSID(entry.ssid);
    RecordDriverText("SSID", entry.ssid);
    // The driver's value holds 1..14: a 5 GHz network leaves the one it has.
    if (channel > 0)
        RecordDriverText("RFChannel", std::to_string(channel));
    m_api.SetDesiredRate(0);
    m_api.SetWL_NetworkType(entry.infrastructureMode);
    RecordDriverText("NetworkType", std::to_string(entry.infrastructureMode));
    RecordDriverText("PowerSaveMode", std::to_string(m_api.QueryWL_PSMode()));
    // A shared-key profile applied before leaves shared-key authentication on, which an
    // open network refuses: open system first.
    m_api.SetWL_AuthenticationMode(0);
    m_api.SetWL_WEPStatus(entry.privacy == 1 ? 0 : 1);
    if (m_api.SetWL_PreambleMode(3) == 0 && entry.privacy == 1)
        m_api.QueryWL_WEPbit();
}

} // namespace kesto
