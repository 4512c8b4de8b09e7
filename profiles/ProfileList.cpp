#include "profiles/ProfileList.h"

#include <algorithm>

namespace kesto {

namespace {

constexpr std::string_view kLinkCountValue = "ProfileLinkNumber";
constexpr std::string_view kDefaultLinkValue = "DefaultProfileLink";

// A profile's key is ProfileRoot + name. A name made only of separators (or empty)
// would address ProfileRoot itself, the key that holds every profile: such a link names
// no profile, and deleting "its" key would delete them all.
bool NamesProfileKey(std::string_view name)
{
    return name.find_first_not_of('\\') != std::string_view::npos;
}

// The link count as written after a delete: one leading blank below ten.
std::string CountText(std::int32_t count)
{
    return (count < 10 ? " " : "") + std::to_string(count);
}

} // namespace

std::int32_t ParseStoredNumber(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::int64_t limit = negative ? std::int64_t{1} << 31 : (std::int64_t{1} << 31) - 1;
    std::int64_t magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        magnitude = std::min(limit, magnitude * 10 + (text[i] - '0'));
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

std::string ProductValuePath(std::string_view valueName)
{
    std::string path(kProductKey);
    path += valueName;
    return path;
}

std::string ProfileLinkPath(std::int64_t link)
{
    return ProductValuePath("ProfileLink " + std::to_string(link));
}

ProfileList::ProfileList(ProfileStore& store, WorkingRecords& work, Dialogs& dialogs,
                         std::string caption)
    : m_store(store), m_work(work), m_dialogs(dialogs), m_caption(std::move(caption))
{
}

std::int32_t ProfileList::ProfileLinkCount()
{
    const std::int32_t count =
        ParseStoredNumber(m_store.ReadText(ProductValuePath(kLinkCountValue)));
    return std::clamp(count, std::int32_t{0}, kMaxProfileLinks);
}

std::int32_t ProfileList::DefaultProfileLink()
{
    return ParseStoredNumber(m_store.ReadText(ProductValuePath(kDefaultLinkValue)));
}

void ProfileList::CreateFirstRunStore()
{
    // All or nothing: a store left with its default link but without the profile it
    // names would count as initialised and never be seeded again.
    m_store.registry().RunInTransaction([this] {
        m_store.WriteText(ProductValuePath(kDefaultLinkValue), "1");
        m_store.WriteText(ProductValuePath(kLinkCountValue), " 1");
        m_store.WriteText(ProfileLinkPath(1), "Default");
        m_store.WriteText(ProductValuePath("Exit Utility"), "0");
        m_store.WriteText(ProductValuePath("Mode"), "Station Mode");
        m_work.CurrentProfile = ProfileRecord{};
        m_work.CurrentProfile.ProfileName = "Default";
        m_store.WriteProfile(m_work.CurrentProfile);
        m_store.WriteApSettings(ApSettings{});
        m_store.WriteFilterList(FilterList{});
    });
}

void ProfileList::LoadProfiles()
{
    m_loaded.clear();
    const std::int32_t count = ProfileLinkCount();
    for (std::int32_t link = 1; link <= count; ++link) {
        const std::string name = m_store.ReadText(ProfileLinkPath(link));
        if (m_store.ProfileExists(name))
            m_loaded.push_back(m_store.ReadProfile(name));
    }
}

void ProfileList::ReloadProfileList()
{
    LoadProfiles();
    m_shown = m_loaded;
    if (m_refreshHook)
        m_refreshHook();
}

bool ProfileList::AddProfile(const ProfileRecord& record)
{
    const std::int32_t count = ProfileLinkCount();
    if (count >= kMaxProfileLinks)
        return false;
    const std::string countText = " " + std::to_string(count + 1);
    m_store.registry().RunInTransaction([&] {
        m_store.WriteText(ProductValuePath(kLinkCountValue), countText);
        m_store.WriteText(ProductValuePath("ProfileLink" + countText), record.ProfileName);
        m_store.WriteProfile(record);
    });
    return true;
}

void ProfileList::DeleteProfile(int shownIndex)
{
    if (shownIndex < 0 || static_cast<std::size_t>(shownIndex) >= m_shown.size())
        return;
    const std::string name = m_shown[static_cast<std::size_t>(shownIndex)].ProfileName;
    switch (DeleteProfileNamed(name)) {
    case ProfileDeletion::Deleted:
        ReloadProfileList();
        break;
    case ProfileDeletion::IsDefault:
        m_dialogs.MessageBox(kDefaultProfileDeleteMessage, m_caption);
        break;
    case ProfileDeletion::NotListed:
        break;
    }
}

ProfileDeletion ProfileList::DeleteProfileNamed(const std::string& name)
{
    if (!NamesProfileKey(name))
        return ProfileDeletion::NotListed;

    // The link is looked up among the stored links rather than by the profile's place
    // in LoadedProfiles: a link whose key is missing is not loaded, and counting past
    // it would shift every later link number by one and could delete the default.
    const std::int32_t defaultLink = DefaultProfileLink();
    const std::int32_t count = ProfileLinkCount();
    std::int32_t link = 0;
    for (std::int32_t k = 1; k <= count && link == 0; ++k) {
        if (m_store.ReadText(ProfileLinkPath(k)) == name)
            link = k;
    }
    if (link == 0)
        return ProfileDeletion::NotListed;
    if (link == defaultLink)
        return ProfileDeletion::IsDefault;

    m_store.registry().RunInTransaction([&] {
        std::string key(kProfileRoot);
        key += name;
        m_store.DeleteProfileKey(key);
        for (std::int32_t k = link + 1; k <= count; ++k)
            m_store.WriteText(ProfileLinkPath(k - 1), m_store.ReadText(ProfileLinkPath(k)));
        m_store.DeleteValue(ProfileLinkPath(count));
        m_store.WriteText(ProductValuePath(kLinkCountValue), CountText(count - 1));
        // Every link above the deleted one moved down by one; the default link moves
        // with its profile, or the next start would apply a different profile.
        if (link < defaultLink) {
            m_store.WriteText(ProductValuePath(kDefaultLinkValue), std::to_string(defaultLink - 1));
            m_work.DefaultLinkNumber = defaultLink - 1;
        }
    });
    return ProfileDeletion::Deleted;
}

} // namespace kesto
