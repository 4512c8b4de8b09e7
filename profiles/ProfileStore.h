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

// The profile value that holds ProfileRecord::ServerName: ours, beside the layout's.
inline constexpr std::string_view kServerNameValue = "ServerName";
// The profile value (a number, 1) that holds ProfileRecord::SaeSeen: ours too, and only
// present while set, so a store without it reads as "not seen".
inline constexpr std::string_view kSaeSeenValue = "SaeSeen";

// The stored "Mode" values.
inline constexpr std::string_view kStationMode = "Station Mode";
inline constexpr std::string_view kApMode = "AP Mode";

class ProfileStore : public RegistryPaths {
public:
    explicit ProfileStore(Registry& registry);

    // --- layout ---
    // Every stored value of the profile, with ProfileName set to name. A missing
    // profile key reads as 255 for every number, "" for texts (ServerName too, as does a
    // profile stored without one). The SSID reads whole, zero bytes included; the other
    // texts up to their first zero byte. SaeSeen is 1 when its value holds a nonzero
    // number, else 0 (a missing key or value among them). One transaction.
    ProfileRecord ReadProfile(std::string_view name);
    // True when name addresses a profile key of its own and that key holds the profile
    // (its "Authentication Mode" reads as something other than 255, the store's answer
    // for a missing key). An empty name, or one made only of separators, addresses the
    // key that holds every profile and names none.
    bool ProfileExists(std::string_view name);
    // Writes the record's 27 values under ProfileRoot + its ProfileName, in one
    // transaction, and its ServerName under kServerNameValue and its SaeSeen (as 1) under
    // kSaeSeenValue when it has them (else those values are removed, so a profile without
    // them keeps the 27 values of the layout). No link is touched.
    void WriteProfile(const ProfileRecord& record);
    ApSettings ReadApSettings();
    void WriteApSettings(const ApSettings& settings);
    FilterList ReadFilterList();
    void WriteFilterList(const FilterList& list);

private:
    // A text by its stored length, zero bytes included: the network name, which cut at a
    // zero byte would name another network (or none, which means any).
    std::string ReadWholeText(std::string_view path);
    // 1 when the value is a number other than 0; 0 when it is 0, missing or no number.
    std::int32_t ReadFlag(std::string_view path);
};

} // namespace kesto
