// ProfileCommands: the stored profiles for callers without the profile pages (the session
// service and kestoctl, with or without a running utility): listing, showing, adding and
// deleting, each through the steps of the profile page and the wizard (the links and the
// default link, the name checks, the WEP key rules and pass-phrase keys, the scrambled
// secrets), so a profile added here is the one the wizard would have stored, and every
// refusal carries the wizard's or the page's message.
#pragma once

#include "platform/Refusal.h"
#include "profiles/ProfileList.h"
#include "profiles/ProfileRecord.h"
#include "profiles/ProfileStore.h"
#include "security/PassphraseKeys.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kesto {

inline constexpr std::string_view kNameEmptyMessage = "The Profile Name cannot be empty!";
inline constexpr std::string_view kSsidEmptyMessage = "The SSID cannot be empty!";
inline constexpr std::string_view kNameExistsMessage = "This Profile Name has already existed!";
inline constexpr std::string_view kProfileMissingMessage = "This Profile doesn't exist!";
// A name is a key of the store: a backslash would address a key below another one.
inline constexpr std::string_view kNameBackslashMessage =
    "The Profile Name cannot contain a backslash!";
inline constexpr std::string_view kSsidTooLongMessage = "The SSID cannot be longer than 32 bytes!";
inline constexpr std::string_view kProfileListFullMessage = "No more profiles can be stored!";

// The wizard's checks of record's name and network name before its security step:
// a name, no backslash in it, a network name of at most 32 bytes and one at all for an
// ad-hoc network; editing, the name must be one of shown (an edit cannot rename, not even
// in letter case); adding, none of shown in any letter case (the store's names ignore
// it: "default" would overwrite "Default").
Refused CheckProfileNaming(const ProfileRecord& record, const std::vector<ProfileRecord>& shown,
                           bool editing);
// ProfileList::AddProfile, refused when the list is full.
Refused AddProfileRecord(ProfileList& list, const ProfileRecord& record);
// The profile page's refusal of a delete of name ("UnknownProfile" for a name no link
// names, the default profile's message for the default one); nothing when it was deleted.
Refused DeleteProfileRecord(ProfileList& list, const std::string& name);

enum class ProfileSecurity { None = 0, Wep = 1, WpaPsk = 2 };

// A profile as the wizard's pages describe it. The 802.1X methods are left to the
// wizard, whose pages ask what they need.
struct ProfileRequest {
    std::string name = {};
    std::string ssid = {};
    bool adHoc = false;
    int channel = 6;      // ad hoc: 1..13
    int wirelessMode = 0; // ad hoc: 0 mixed 802.11b/g, 1 802.11g only, 2 802.11b only
    ProfileSecurity security = ProfileSecurity::None;
    // WEP: the key in use typed, or the pass phrase that makes the keys; WPA-PSK: the
    // network's pass phrase.
    std::string key = {};
    std::string passPhrase = {};
    int keyIndex = 0;       // WEP key in use, 0..3
    int keySize = 0;        // WEP KeyLength 1..3; 0: as the key's length says
    int authentication = 2; // WEP DataEncryption; the wizard starts on 2 (automatic)
    int cipher = 0;         // WPA-PSK EncryptionType: 0 TKIP, 1 AES
};

struct ProfileEntry {
    ProfileRecord record;
    bool isDefault = false; // the profile of the default link, applied at start
};

class ProfileCommands {
public:
    // keys: the pass-phrase key generator (the application's one where it runs).
    ProfileCommands(ProfileStore& store, ProfileList& list, PassphraseKeys& keys);

    // The stored profiles in link order, as the profile page lists them.
    std::vector<ProfileEntry> List();
    // The stored profile named name (exact letter case, as the list compares).
    std::optional<ProfileEntry> Find(std::string_view name);
    // The wizard's record of request, checked, stored and linked as the last profile (in
    // a store never seeded, after the first start's seeding).
    Refused Add(const ProfileRequest& request);
    Refused Delete(const std::string& name);

private:
    ProfileStore& m_store;
    ProfileList& m_list;
    PassphraseKeys& m_keys;
};

} // namespace kesto
