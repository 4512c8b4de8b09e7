// WorkingRecords: the process-wide working values that the pages share: the record
// last read from the store or applied to the adapter (which the survey and the
// security pop-up edit), the record the profile wizard edits, and the name of the
// profile in use (empty after joining a network from the survey). Owned by the
// application next to the store and handed to every page controller that needs it.
#pragma once

#include "profiles/ProfileRecord.h"

#include <cstdint>
#include <string>

namespace kesto {

struct WorkingRecords {
    ProfileRecord CurrentProfile;
    ProfileRecord WizardProfile;
    std::string ActiveProfileName;
    // The link number of the default profile as last read or moved.
    std::int32_t DefaultLinkNumber = 0;
};

} // namespace kesto
