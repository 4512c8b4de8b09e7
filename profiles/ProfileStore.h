// ProfileStore: the registry primitives addressed by full path, and the persisted
// layout of the utility (product key, one key per profile, access-point key).
#pragma once

#include "platform/Registry.h"
#include "profiles/ProfileRecord.h"

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

class ProfileStore {
public:
    explicit ProfileStore(Registry& registry);

    // --- primitives ---
    // A full path is "HKEY_LOCAL_MACHINE\<subkey>\<value name>": the root is always
    // the local-machine hive whatever the first component says, the value name is the
    // text after the last backslash, the subkey the text between the first and the
    // last backslash. Write failures are silent.
    void WriteText(std::string_view path, std::string_view text);
    void WriteNumber(std::string_view path, std::int32_t n);
    // 255 when the subkey does not exist; 0 when the key exists but the value is
    // missing, is not a number or is shorter than 4 bytes.
    std::int32_t ReadNumber(std::string_view path);
    // The whole stored text (up to its first NUL), or "" when the key or the value is
    // missing. Unlike an 80-byte read buffer, a long text is never lost.
    std::string ReadText(std::string_view path);
    void DeleteValue(std::string_view path);
    // path is a key path (its last component is a key, not a value name): deletes the
    // key with everything below it.
    void DeleteProfileKey(std::string_view path);

    // --- layout ---
    // Reads every stored value of the profile into CurrentProfile and sets its
    // ProfileName. A missing profile key reads as 255 for every number, "" for texts.
    const ProfileRecord& ReadProfile(std::string_view name);
    // Writes CurrentProfile's 27 values under ProfileRoot + name, in one transaction.
    void WriteCurrentProfile(std::string_view name);
    // Writes the record's 27 values under ProfileRoot + its ProfileName, in one
    // transaction. No link is touched.
    void WriteProfile(const ProfileRecord& record);
    ApSettings ReadApSettings();
    void WriteApSettings(const ApSettings& settings);
    FilterList ReadFilterList();
    void WriteFilterList(const FilterList& list);

    Registry& registry() { return m_registry; }

    // --- process-wide working records ---
    ProfileRecord CurrentProfile;
    ProfileRecord WizardProfile;
    std::vector<ProfileRecord> LoadedProfiles;
    std::vector<ProfileRecord> ShownProfiles;
    std::string ActiveProfileName;
    std::int32_t DefaultLinkNumber = 0;

private:
    Registry& m_registry;
};

}  // namespace kesto
