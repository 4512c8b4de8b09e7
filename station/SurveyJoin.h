// SurveyJoin: putting the adapter on a network of the site survey, for the survey page
// (after its security pop-up took the secrets) and the session service (with the secrets
// it was given), through the applier: an open network as it is, a secured one by
// applying the record that holds its secrets. A joined network becomes the current
// record, and no stored profile counts as active.
#pragma once

#include "apply/ApplyFault.h"
#include "apply/ProfileApply.h"
#include "platform/Refusal.h"
#include "profiles/ProfileRecord.h"
#include "profiles/WorkingRecords.h"
#include "station/SurveyRecords.h"

namespace kesto {

// The refusal of a join of entry before any secret is asked: a hidden network's name is
// empty or zero bytes, and the applier would refuse it ("NoNetworkName").
Refused CheckJoinable(const SurveyEntry& entry);
// The record a join of entry starts from: no profile name (joining names no stored
// profile and moves no default), the entry's network name and type, and for a secured
// network its security method, whose secrets the caller then sets (a network offering
// SAE alone marked as seen so).
ProfileRecord JoinRecord(const SurveyEntry& entry);

class SurveyJoin {
public:
    SurveyJoin(WorkingRecords& work, ProfileApplier& applier);

    // Joins entry's network: an open one as it is, a secured one with record (JoinRecord
    // of entry with its secrets set). The caller has checked CheckJoinable and the
    // service guard. The applier's fault; the record becomes current when it was applied.
    ApplyFault Join(const SurveyEntry& entry, ProfileRecord record);

private:
    WorkingRecords& m_work;
    ProfileApplier& m_applier;
};

} // namespace kesto
