// ProfileList: the numbered links in the product key that give the stored profiles
// their order, the default link, and the in-memory lists LoadedProfiles and
// ShownProfiles that mirror them: first-run seeding, enumeration, add and delete.
#pragma once

#include "platform/Dialogs.h"
#include "profiles/ProfileRecord.h"
#include "profiles/ProfileStore.h"
#include "profiles/WorkingRecords.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace kesto {

inline constexpr std::string_view kDefaultProfileDeleteMessage =
    "The default profile cannot be deleted!";

// The most links the list holds. A stored count beyond it (a damaged or hostile store)
// reads as this many, so listing never walks billions of links, and adds stop there.
inline constexpr std::int32_t kMaxProfileLinks = 1000;

// A decimal number stored as text, read leniently: leading blanks skipped, an optional
// sign, digits up to the first other character; empty or no digits give 0, and values
// beyond 32 bits saturate.
std::int32_t ParseStoredNumber(std::string_view text);
// Full paths of the product-key values that hold the links.
std::string ProfileLinkPath(std::int64_t link);
std::string ProductValuePath(std::string_view valueName);

enum class ProfileDeletion {
    Deleted,
    NotListed, // no link names the profile
    IsDefault, // refused: the default profile stays
};

class ProfileList {
public:
    // caption: the title of the message boxes (the application name).
    ProfileList(ProfileStore& store, WorkingRecords& work, Dialogs& dialogs, std::string caption);

    // Seeds an uninitialised store: one profile "Default" at link 1, the default link,
    // "Exit Utility" and "Mode", the default access-point settings and filter list.
    // Resets CurrentProfile to the default record. One transaction.
    void CreateFirstRunStore();
    // Fills LoadedProfiles in link order. CurrentProfile is left alone: listing is not
    // applying, and the adapter page edits the record in use. Links without a profile
    // key are skipped and stay stored.
    void LoadProfiles();
    // LoadProfiles, then ShownProfiles = LoadedProfiles, then the refresh hook (the
    // profile page redraws its list control there).
    void ReloadProfileList();
    void SetRefreshHook(std::function<void()> hook) { m_refreshHook = std::move(hook); }
    // The refresh hook over ShownProfiles as they are (their order kept).
    void RefreshProfileList()
    {
        if (m_refreshHook)
            m_refreshHook();
    }

    // Appends a link for the record and writes its values. The caller has made sure
    // the name is new. One transaction. False, with nothing written, when the list
    // already holds kMaxProfileLinks links.
    bool AddProfile(const ProfileRecord& record);
    // Deletes the profile of row shownIndex of ShownProfiles (DeleteProfileNamed) and
    // reloads the list; the default profile is refused with a message.
    void DeleteProfile(int shownIndex);
    // Deletes the profile with its key and link and closes the gap in the links. The
    // default link follows its profile when a link below it goes, so the same profile
    // stays the default. The in-memory lists are left as they were.
    ProfileDeletion DeleteProfileNamed(const std::string& name);

    // The count in "ProfileLinkNumber" (0..kMaxProfileLinks) and the number in
    // "DefaultProfileLink".
    std::int32_t ProfileLinkCount();
    std::int32_t DefaultProfileLink();

    // The profiles as last loaded, in link order, and as the profile page shows them.
    const std::vector<ProfileRecord>& LoadedProfiles() const { return m_loaded; }
    const std::vector<ProfileRecord>& ShownProfiles() const { return m_shown; }
    std::vector<ProfileRecord>& ShownProfiles() { return m_shown; }

private:
    ProfileStore& m_store;
    WorkingRecords& m_work;
    Dialogs& m_dialogs;
    std::string m_caption;
    std::function<void()> m_refreshHook;
    std::vector<ProfileRecord> m_loaded;
    std::vector<ProfileRecord> m_shown;
};

} // namespace kesto
