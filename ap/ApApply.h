// ApApply: the one operation that puts the access point's settings and MAC filter list
// into the adapter, the stored records read back with every value in its range, and the
// saves of the settings page and the filter page (checked, stored, applied), which the
// session service takes too.
#pragma once

#include "adapter/WlanApi.h"
#include "platform/Refusal.h"
#include "profiles/ProfileRecord.h"
#include "profiles/ProfileStore.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace kesto {

// The adapter takes network names of 0 to 32 bytes.
inline constexpr std::size_t kMaxApSsidBytes = 32;

// Shown when the name typed is longer than the adapter takes.
inline constexpr std::string_view kApSsidTooLongMessage =
    "Die SSID darf h\u00f6chstens 32 Bytes lang sein. Bitte geben Sie die SSID neu ein.";
// Shown when the name is empty: an access point announces a name, and the store would
// otherwise hold one that no radio takes.
inline constexpr std::string_view kApSsidEmptyMessage =
    "Die SSID darf nicht leer sein. Bitte geben Sie eine SSID ein.";
inline constexpr std::string_view kInvalidFilterAddressMessage = "The MAC Addresses are not valid!";

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

// A number outside its range (a missing AP key reads 255, a missing value 0), and an
// empty name, take the default of a fresh record, so no page shows an unselected choice
// or a name that a save would store or refuse, and the adapter is never sent a value it
// refuses.
ApSettings ApSettingsInRange(ApSettings settings);
FilterList FilterListInRange(FilterList list);

// The stored records, in range.
ApSettings ReadApSettingsInRange(ProfileStore& store);
FilterList ReadFilterListInRange(ProfileStore& store);

// What the settings page's save takes from its fields; the keys are the working
// record's, as typed or made from a pass phrase.
struct ApChoice {
    std::string ssid;
    std::int32_t hideSsid = 0;    // 0 or 1
    std::int32_t channel = 6;     // 1..13
    std::int32_t outputPower = 0; // 0..3
    std::int32_t wep = 0;         // 0 off, 1 64-bit, 2 128-bit, 3 256-bit
    std::int32_t authentication = 0;
    int keyIndex = 0; // the key in use, 0..3
};

// The settings page's save: the name (1..32 bytes) and (WEP on) the key in use checked with
// the German messages, the keys emptied when WEP is off, the choice copied into
// settings (the working record), which is stored and put with the stored filter list
// (read into filter) into the adapter. A refusal changes nothing.
Refused SaveApSettings(WlanApi& api, ProfileStore& store, ApSettings& settings,
                       const ApChoice& choice, FilterList& filter);
// The filter page's save: every address checked, the type (kept when outside 0..2) and
// the addresses as typed into filter (the working list), which is stored and put with the
// stored settings (read into settings) into the adapter. A refusal changes nothing.
Refused SaveFilterList(WlanApi& api, ProfileStore& store, ApSettings& settings, FilterList& filter,
                       std::int32_t type,
                       const std::array<std::string, kFilterAddressCount>& addresses);

} // namespace kesto
