// Joining a network of the site survey (see SurveyJoin.h).
#include "station/SurveyJoin.h"

#include <utility>

namespace kesto {

Refused CheckJoinable(const SurveyEntry& entry)
{
    return ApplyRefusal(NetworkNameRefusal(entry.ssid));
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
    case SurveyEncryption::WpaSae:
        // A pre-shared key profile, offered SAE alone from now on: a WPA-PSK twin of the
        // name gets no handshake, whatever the adapter's own scan shows when it is applied.
        joined.AuthenticationMode = 2;
        joined.SaeSeen = 1;
        break;
    case SurveyEncryption::WpaRadius:
        joined.AuthenticationMode = 3;
        break;
    }
    return joined;
}

SurveyJoin::SurveyJoin(WorkingRecords& work, ProfileApplier& applier)
    : m_work(work), m_applier(applier)
{
}

ApplyFault SurveyJoin::Join(const SurveyEntry& entry, ProfileRecord record)
{
    // The applier hands WPA records to the adapter's WPA call.
    const ApplyFault fault =
        entry.encryption == SurveyEncryption::Open
            ? m_applier.ApplySurveyNetwork({entry.ssid, AdapterChannel(entry.frequencyKhz),
                                            entry.infrastructureMode, entry.privacy})
            : m_applier.ApplyProfileRecord(record);
    if (Applied(fault)) {
        m_work.CurrentProfile = std::move(record);
        m_work.ActiveProfileName.clear();
    }
    return fault;
}

} // namespace kesto
