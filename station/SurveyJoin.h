// SurveyJoin: putting the adapter on a network of the site survey, for the survey page
// (after its security pop-up took the secrets) and the session service (with the secrets
// it was given): an open network directly with the driver values a join records, a
// secured one by applying the record that holds its secrets. The joined network becomes
// the current record, and no stored profile counts as active.
#pragma once

#include "adapter/AdapterDiscovery.h"
#include "adapter/WlanApi.h"
#include "apply/ProfileApply.h"
#include "platform/Refusal.h"
#include "profiles/ProfileRecord.h"
#include "profiles/ProfileStore.h"
#include "profiles/WorkingRecords.h"
#include "station/SurveyRecords.h"

#include <string_view>

namespace kesto {

// Shown when the user joins a network that does not send its name: joining it with an
// empty name would join whichever network the adapter finds first.
inline constexpr std::string_view kHiddenNetworkMessage =
    "Dieses Netzwerk sendet seinen Namen nicht und kann nicht aus der Liste verbunden "
    "werden. Legen Sie ein Profil mit dem Netzwerknamen an.";

// The refusal of a join of entry before any secret is asked ("HiddenNetwork").
Refused CheckJoinable(const SurveyEntry& entry);
// The record a join of entry starts from: no profile name (joining names no stored
// profile and moves no default), the entry's network name and type, and for a secured
// network its security method, whose secrets the caller then sets.
ProfileRecord JoinRecord(const SurveyEntry& entry);

class SurveyJoin {
public:
    SurveyJoin(WlanApi& api, AdapterDiscovery& discovery, ProfileStore& store, WorkingRecords& work,
               ProfileApplier& applier);

    // Joins entry's network: an open one as it is, a secured one with record (JoinRecord
    // of entry with its secrets set). The caller has checked CheckJoinable and the
    // service guard.
    void Join(const SurveyEntry& entry, ProfileRecord record);

private:
    void ApplyEntry(const SurveyEntry& entry);
    void RecordDriverText(std::string_view value, std::string_view text);

    WlanApi& m_api;
    AdapterDiscovery& m_discovery;
    ProfileStore& m_store;
    WorkingRecords& m_work;
    ProfileApplier& m_applier;
};

} // namespace kesto
