// The stored profiles without their pages (see ProfileCommands.h).
#include "station/ProfileCommands.h"

#include "base/AsciiText.h"
#include "security/SecurityForm.h"
#include "station/SurveyRecords.h"

#include <algorithm>

namespace kesto {

Refused CheckProfileNaming(const ProfileRecord& record, const std::vector<ProfileRecord>& shown,
                           bool editing)
{
    const auto refuse = [](std::string_view name, std::string_view message) {
        return Refusal{name, std::string(message)};
    };
    if (record.ProfileName.empty())
        return refuse("ProfileNameEmpty", kNameEmptyMessage);
    if (record.ProfileName.find('\\') != std::string::npos)
        return refuse("ProfileNameInvalid", kNameBackslashMessage);
    if (record.SSID.size() > kMaxSsidBytes)
        return refuse("SsidTooLong", kSsidTooLongMessage);
    if (record.NetworkType == 0 && record.SSID.empty())
        return refuse("SsidEmpty", kSsidEmptyMessage);

    if (editing) {
        const bool found = std::any_of(shown.begin(), shown.end(), [&](const ProfileRecord& p) {
            return p.ProfileName == record.ProfileName;
        });
        if (!found)
            return refuse("UnknownProfile", kProfileMissingMessage);
    } else {
        const bool taken = std::any_of(shown.begin(), shown.end(), [&](const ProfileRecord& p) {
            return EqualsNoCase(p.ProfileName, record.ProfileName);
        });
        if (taken)
            return refuse("ProfileExists", kNameExistsMessage);
    }
    return std::nullopt;
}

Refused AddProfileRecord(ProfileList& list, const ProfileRecord& record)
{
    if (list.AddProfile(record))
        return std::nullopt;
    return Refusal{"ProfileListFull", std::string(kProfileListFullMessage)};
}

Refused DeleteProfileRecord(ProfileList& list, const std::string& name)
{
    switch (list.DeleteProfileNamed(name)) {
    case ProfileDeletion::Deleted:
        return std::nullopt;
    case ProfileDeletion::NotListed:
        return Refusal{"UnknownProfile", std::string(kProfileMissingMessage)};
    case ProfileDeletion::IsDefault:
        return Refusal{"DefaultProfile", std::string(kDefaultProfileDeleteMessage)};
    }
    return std::nullopt;
}

ProfileCommands::ProfileCommands(ProfileStore& store, ProfileList& list, PassphraseKeys& keys)
    : m_store(store), m_list(list), m_keys(keys)
{
}

std::vector<ProfileEntry> ProfileCommands::List()
{
    m_list.LoadProfiles();
    const std::string defaultName = m_store.ReadText(ProfileLinkPath(m_list.DefaultProfileLink()));
    std::vector<ProfileEntry> entries;
    for (const ProfileRecord& record : m_list.LoadedProfiles())
        entries.push_back({record, record.ProfileName == defaultName});
    return entries;
}

std::optional<ProfileEntry> ProfileCommands::Find(std::string_view name)
{
    for (ProfileEntry& entry : List())
        if (entry.record.ProfileName == name)
            return std::move(entry);
    return std::nullopt;
}

Refused ProfileCommands::Add(const ProfileRequest& request)
{
    // A store no utility ever ran on is seeded first, as the utility's first start would:
    // seeding later would write its own first link over this profile's.
    if (m_list.DefaultProfileLink() <= 0)
        m_list.CreateFirstRunStore();
    // The wizard's fresh record, filled page by page.
    ProfileRecord record;
    record.ProfileName = request.name;
    record.SSID = request.ssid;
    record.NetworkType = request.adHoc ? 0 : 1;
    m_list.LoadProfiles();
    if (Refused refused = CheckProfileNaming(record, m_list.LoadedProfiles(), false))
        return refused;
    if (request.adHoc) {
        record.Channel = request.channel;
        record.WirelessMode = request.wirelessMode;
    }
    record.AuthenticationMode = static_cast<int>(request.security);
    switch (request.security) {
    case ProfileSecurity::None:
        break;
    case ProfileSecurity::Wep: {
        const TypedWep typed{request.key, request.passPhrase, request.keyIndex, request.keySize,
                             request.authentication};
        if (Refused refused = StoreTypedWep(record, typed, m_keys, kWizardPageSet))
            return refused;
        break;
    }
    case ProfileSecurity::WpaPsk:
        if (Refused refused = StorePskSelection(record, request.cipher, request.passPhrase))
            return refused;
        break;
    }
    return AddProfileRecord(m_list, record);
}

Refused ProfileCommands::Delete(const std::string& name)
{
    return DeleteProfileRecord(m_list, name);
}

} // namespace kesto
