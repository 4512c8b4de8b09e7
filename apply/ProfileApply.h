// ProfileApplier: pushes a station profile into the adapter, records in the adapter's
// driver key what the driver keeps across restarts, and remembers the active profile
// and (through its link) the default one. Every way of joining a network goes through
// here, so what it refuses is refused for every caller: a network without a usable
// name, an 802.1X server that would be accepted on any certificate, WPA settings no
// library takes, and a setting the adapter refuses stops or marks the apply.
#pragma once

#include "adapter/AdapterDiscovery.h"
#include "adapter/WlanApi.h"
#include "apply/ApplyFault.h"
#include "profiles/ProfileRecord.h"
#include "profiles/ProfileStore.h"
#include "profiles/WorkingRecords.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kesto {

// A network of the site survey joined as it is, without a profile: an open network.
struct SurveyNetwork {
    std::string ssid;                    // the name's bytes as the network sends them
    int channel = 0;                     // 1..14; 0 for a network outside the adapter's band
    std::int32_t infrastructureMode = 1; // 0 ad hoc, 1 infrastructure
    std::int32_t privacy = 0;            // 1: the network wants WEP
};

// NoNetworkName when ssid, trimmed of white space, is empty or holds a zero byte (the
// adapter would read it as "any network" or as another, shorter name); else None.
ApplyFault NetworkNameRefusal(std::string_view ssid);
// What the applier refuses a record for before it changes anything: its name, then an
// 802.1X server to validate without a usable server name, then WPA or 802.1X settings
// that no adapter library takes (the pass phrase first). None when it may be applied.
ApplyFault JoinRefusal(const ProfileRecord& record);

class ProfileApplier {
public:
    ProfileApplier(WlanApi& api, ProfileStore& store, WorkingRecords& work,
                   AdapterDiscovery& discovery);

    // Station mode, then the profile at the stored default link. A link that names
    // no stored profile applies nothing and leaves no profile active.
    ApplyFault ApplyDefaultProfile();
    // Makes the stored profile `name` active and current; pushes it to the adapter
    // when the system's wireless service lets go of the adapter. WPA and 802.1X
    // profiles go through the adapter's WPA call with their secrets unscrambled. A
    // profile JoinRefusal refuses stays active and current but reaches neither the
    // service nor the adapter.
    ApplyFault ApplyProfileByName(const std::string& name);
    // Makes the record active and pushes it to the adapter. Refused (JoinRefusal) or
    // stopped at the network name or the WPA call, nothing is stored and the active
    // profile stays what it was.
    ApplyFault ApplyProfileRecord(const ProfileRecord& record);
    // The set requests of the record in the adapter's order, the driver-key records of
    // each accepted setting, and the record's link as the new default link. Refuses
    // what JoinRefusal refuses without a call; stops after a refused SetWL_SSID or
    // SetWL_WPA (nothing recorded, the default link kept); a refused key write is
    // reported and the rest goes on.
    ApplyFault ApplyToAdapter(const ProfileRecord& record);
    // Joins an open survey network as it is (the driver's name, channel, network type
    // and power-save records, every rate, no WEP unless the network wants it). Refuses
    // a network without a usable name; stops after a refused SetWL_SSID.
    ApplyFault ApplySurveyNetwork(const SurveyNetwork& network);

private:
    void RecordDefaultLink(const std::string& profileName);

    WlanApi& m_api;
    ProfileStore& m_store;
    WorkingRecords& m_work;
    AdapterDiscovery& m_discovery;
};

} // namespace kesto
