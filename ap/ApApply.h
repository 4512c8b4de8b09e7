// ApApply: the one operation that puts the access point's settings and MAC filter list
// into the adapter, and the stored records read back with every value in its range.
#pragma once

#include "adapter/WlanApi.h"
#include "profiles/ProfileRecord.h"
#include "profiles/ProfileStore.h"

#include <cstddef>
#include <string>

namespace kesto {

// The adapter takes network names of 0 to 32 bytes.
inline constexpr std::size_t kMaxApSsidBytes = 32;

// Key slot index 0..3 (KeyInUse - 1) of the settings.
std::string& ApKey(ApSettings& settings, int index);
const std::string& ApKey(const ApSettings& settings, int index);

// Stores "Mode" = "AP Mode" first, so every later start, restore, tray menu and
// re-detection runs the access point, then sets authentication, channel, WEP status
// and the key in use (only when WEP is on and the key has an accepted form), name,
// hidden name, filter list and mode, basic rate, output power, preamble,
// fragmentation and RTS thresholds and multi-domain capability, in that order. Results
// are not checked: the sequence always runs to its end.
void ApplyApSettings(WlanApi& api, ProfileStore& store, const ApSettings& settings,
                     const FilterList& filter);

// A number outside its range (a missing AP key reads 255, a missing value 0) takes the
// default of a fresh record, so no page shows an unselected choice that a save would
// store, and the adapter is never sent a value it refuses.
ApSettings ApSettingsInRange(ApSettings settings);
FilterList FilterListInRange(FilterList list);

// The stored records, in range.
ApSettings ReadApSettingsInRange(ProfileStore& store);
FilterList ReadFilterListInRange(ProfileStore& store);

} // namespace kesto
