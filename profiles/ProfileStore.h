// ProfileStore: the persisted layout of the utility (product key, one key per profile,
// access-point key) over the full-path registry primitives.
#pragma once

#include "profiles/ProfileRecord.h"
#include "profiles/RegistryPaths.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kesto {

inline constexpr std::string_view kProductKey =
    "HKEY_LOCAL_MACHINE\\Software\\Corvane Corporation\\Kesto USB Utility\\R-450\\1.00\\";
inline constexpr std::string_view kProfileRoot =
    "HKEY_LOCAL_MACHINE\\Software\\Corvane Corporation\\Kesto USB Utility\\R-450\\1.00\\Profile\\";
inline constexpr std::string_view kApKey =
    "HKEY_LOCAL_MACHINE\\Software\\Corvane Corporation\\Kesto USB Utility\\R-450\\1.00\\AP\\";

// The stored "Mode" values.
inline constexpr std::string_view kStationMode = "Station Mode";
inline constexpr std::string_view kApMode = "AP Mode";

class ProfileStore : public RegistryPaths {
public:
    explicit ProfileStore(Registry& registry);

    // --- layout ---
    // Every stored value of the profile, with ProfileName set to name. A missing
    // profile key reads as 255 for every number, "" for texts. One transaction.
    ProfileRecord ReadProfile(std::string_view name);
    // Writes the record's 27 values under ProfileRoot + its ProfileName, in one
    // transaction. No link is touched.
    void WriteProfile(const ProfileRecord& record);
    ApSettings ReadApSettings();
    void WriteApSettings(const ApSettings& settings);
    FilterList ReadFilterList();
    void WriteFilterList(const FilterList& list);
};

} // namespace kesto
