// ProfileApplier: pushes a station profile into the adapter, records in the adapter's
// driver key what the driver keeps across restarts, and remembers the active profile
// and (through its link) the default one.
#pragma once

#include "adapter/AdapterDiscovery.h"
#include "adapter/WlanApi.h"
#include "profiles/ProfileRecord.h"
#include "profiles/ProfileStore.h"
#include "profiles/WorkingRecords.h"

#include <cstdint>
#include <string>

namespace kesto {

class ProfileApplier {
public:
    ProfileApplier(WlanApi& api, ProfileStore& store, WorkingRecords& work,
                   AdapterDiscovery& discovery);

    // Station mode, then the profile at the stored default link. A link that names
    // no stored profile applies nothing and leaves no profile active.
    void ApplyDefaultProfile();
    // Makes the stored profile `name` active and current; pushes it to the adapter
    // when the system's wireless service lets go of the adapter. WPA and 802.1X
    // profiles go through the adapter's WPA call with their secrets unscrambled.
    void ApplyProfileByName(std::string name);
    // Makes the record active and pushes it to the adapter.
    void ApplyProfileRecord(const ProfileRecord& record);
    // The set requests of the record in the adapter's order, the driver-key records of
    // each accepted setting, and the record's link as the new default link.
    void ApplyToAdapter(const ProfileRecord& record);

private:
    void RecordDefaultLink(const std::string& profileName);

    WlanApi& m_api;
    ProfileStore& m_store;
    WorkingRecords& m_work;
    AdapterDiscovery& m_discovery;
};

} // namespace kesto
