// ProfileApplier: pushes a station profile into the adapter, records in the adapter's
// driver key what the driver keeps across restarts, and remembers the active profile
// and (through its link) the default one. Every way of joining a network goes through
// here, so what it refuses is refused for every caller: a network name it cannot use,
// a certificate file the user could not read, an 802.1X server that would be accepted
// on any certificate, WPA settings no library takes, and a setting the adapter refuses
// stops or marks the apply.
#pragma once

#include "adapter/AdapterDiscovery.h"
#include "adapter/WlanApi.h"
#include "apply/ApplyFault.h"
#include "profiles/ProfileRecord.h"
#include "profiles/ProfileStore.h"
#include "profiles/WorkingRecords.h"
#include "security/CertificateFile.h"

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <utility>

namespace kesto {

// A network of the site survey joined as it is, without a profile: an open network.
struct SurveyNetwork {
    std::string ssid;                    // the name's bytes as the network sends them
    int channel = 0;                     // 1..14; 0 for a network outside the adapter's band
    std::int32_t infrastructureMode = 1; // 0 ad hoc, 1 infrastructure
    std::int32_t privacy = 0;            // 1: the network wants WEP
};

// The name of a network of the survey: NoNetworkName when ssid, trimmed of white space,
// is empty or holds a zero byte (a network that hides its name: joined by it, the
// adapter would take "any network" or another, shorter name); else None.
ApplyFault NetworkNameRefusal(std::string_view ssid);
// What the applier refuses a record for before it changes anything: a name holding a
// zero byte; for WPA and 802.1X, an empty name (only open and WEP profiles may ask for
// "any network", as the store defines an empty name), an EAP-TLS certificate that is not
// a readable file of the user's own (probe examines it), an 802.1X server to validate
// without a usable server name, then settings that no adapter library takes (the pass
// phrase first). None when it may be applied.
ApplyFault JoinRefusal(const ProfileRecord& record, const FileProbe& probe = ProbeLocalFile);

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

    // How an EAP-TLS certificate file is examined (the local file system unless told).
    void SetFileProbe(FileProbe probe) { m_probe = std::move(probe); }

    // A scan saw a network named ssid offering SAE alone (WPA3-Personal). From now on a
    // pre-shared key record of that name is offered SAE alone, and a stored profile
    // applied with it keeps that in the store (SaeSeen), so a WPA-PSK twin of the network
    // never gets a handshake, not even before the next scan after a restart.
    void NoteSaeAlone(std::string_view ssid);

private:
    void RecordDefaultLink(const std::string& profileName);
    bool SeenSaeAlone(std::string_view ssid) const;
    // The stored profile of record, applied with SAE alone for a name a scan saw so,
    // keeps SaeSeen.
    void KeepSaeSeen(const ProfileRecord& record);

    WlanApi& m_api;
    ProfileStore& m_store;
    WorkingRecords& m_work;
    AdapterDiscovery& m_discovery;
    FileProbe m_probe = ProbeLocalFile;
    std::set<std::string, std::less<>> m_saeAlone; // names, trimmed of white space
};

} // namespace kesto
