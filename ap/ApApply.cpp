#include "ap/ApApply.h"

#include "ap/FilterEntry.h"
#include "profiles/ProfileList.h"
#include "security/WepKeyRules.h"

#include <array>
#include <cstdint>
#include <optional>

namespace kesto {

namespace {

// WEP status in the 802.11 enumeration: 0 enabled, 1 disabled.
constexpr int kWepEnabled = 0;
constexpr int kWepDisabled = 1;
constexpr int kBasicRate = 1;
constexpr int kLongPreamble = 0;
constexpr int kFragmentationThreshold = 2346;
constexpr int kRtsCtsThreshold = 2347;
constexpr int kMultiDomainOff = 0;
// The settings page's WEP choice that switches it off, and the filter page's rules.
constexpr std::int32_t kWepOff = 0;
constexpr std::int32_t kFilterTypes = 3;

void KeepInRange(std::int32_t& value, std::int32_t low, std::int32_t high, std::int32_t fallback)
{
    if (value < low || value > high)
        value = fallback;
}

// Settings is ApSettings or const ApSettings; an index outside 0..3 throws.
template <typename Settings> auto& KeySlot(Settings& settings, int index)
{
    const std::array keys = {&settings.NetworkKey1, &settings.NetworkKey2, &settings.NetworkKey3,
                             &settings.NetworkKey4};
    return *keys.at(static_cast<std::size_t>(index));
}

} // namespace

std::string& ApKey(ApSettings& settings, int index)
{
    return KeySlot(settings, index);
}

const std::string& ApKey(const ApSettings& settings, int index)
{
    return KeySlot(settings, index);
}

void ApplyApSettings(WlanApi& api, ProfileStore& store, const ApSettings& settings,
                     const FilterList& filter)
{
    store.WriteText(ProductValuePath("Mode"), kApMode);

    api.ResetRequestState();
    api.SetWL_AuthenticationMode(settings.AuthenType);
    api.SetWL_Channel(settings.Channel);

    api.SetWL_WEPStatus(settings.KeyLength == 0 ? kWepDisabled : kWepEnabled);
    if (settings.KeyLength != 0 && settings.KeyInUse >= 1 && settings.KeyInUse <= kWepKeyCount) {
        const int index = settings.KeyInUse - 1;
        if (const std::optional<WepKeyBytes> key = WepKeyToBytes(ApKey(settings, index)))
            api.SetWL_WriteKey(index, key->sizeCode, 1, key->bytes);
    }

    api.SetWL_SSID(settings.SSID);
    api.SetWLAP_HideSSIDState(settings.HideSSID);

    const FilterBlock block = BuildFilterBlock(filter);
    api.SetWLAP_FilterList(block);
    api.SetWLAP_FilterMode(filter.FilterType);

    api.SetWL_BasicRate(kBasicRate);
    api.SetWLAP_TxPowerLevel(settings.OutputPower);
    api.SetWL_PreambleMode(kLongPreamble);
    api.SetWL_FragmentationThreshold(kFragmentationThreshold);
    api.SetWL_RTS_CTS_Threshold(kRtsCtsThreshold);
    api.SetWL_MultiDomainCapability(kMultiDomainOff);
}

ApSettings ApSettingsInRange(ApSettings settings)
{
    const ApSettings fresh;
    // An access point announces a name; an empty one (a missing key reads so) is none.
    if (settings.SSID.empty())
        settings.SSID = fresh.SSID;
    KeepInRange(settings.HideSSID, 0, 1, fresh.HideSSID);
    KeepInRange(settings.Channel, 1, 13, fresh.Channel);
    KeepInRange(settings.OutputPower, 0, 3, fresh.OutputPower);
    KeepInRange(settings.WEP, 0, 3, fresh.WEP);
    KeepInRange(settings.AuthenType, 0, 2, fresh.AuthenType);
    KeepInRange(settings.KeyInUse, 1, kWepKeyCount, fresh.KeyInUse);
    KeepInRange(settings.KeyLength, 0, 3, fresh.KeyLength);
    return settings;
}

FilterList FilterListInRange(FilterList list)
{
    KeepInRange(list.FilterType, 0, 2, FilterList().FilterType);
    return list;
}

ApSettings ReadApSettingsInRange(ProfileStore& store)
{
    return ApSettingsInRange(store.ReadApSettings());
}

FilterList ReadFilterListInRange(ProfileStore& store)
{
    return FilterListInRange(store.ReadFilterList());
}

Refused SaveApSettings(WlanApi& api, ProfileStore& store, ApSettings& settings,
                       const ApChoice& choice, FilterList& filter)
{
    // An empty name is no access point's, and the adapter refuses a longer one: storing
    // either would claim a success it never had.
    if (choice.ssid.empty())
        return Refusal{"SsidEmpty", std::string(kApSsidEmptyMessage)};
    if (choice.ssid.size() > kMaxApSsidBytes)
        return Refusal{"SsidTooLong", std::string(kApSsidTooLongMessage)};
    if (choice.wep != kWepOff) {
        if (Refused refused =
                CheckWepKey(choice.wep, choice.keyIndex, ApKey(settings, choice.keyIndex),
                            WepMessageLanguage::German))
            return refused;
    } else {
        for (int i = 0; i < kWepKeyCount; ++i)
            ApKey(settings, i).clear();
    }

    settings.SSID = choice.ssid;
    settings.HideSSID = choice.hideSsid;
    settings.Channel = choice.channel;
    settings.OutputPower = choice.outputPower;
    settings.WEP = choice.wep;
    settings.AuthenType = choice.authentication;
    settings.KeyInUse = choice.keyIndex + 1;
    settings.KeyLength = choice.wep;
    store.WriteApSettings(settings);

    filter = ReadFilterListInRange(store);
    ApplyApSettings(api, store, settings, filter);
    return std::nullopt;
}

Refused SaveFilterList(WlanApi& api, ProfileStore& store, ApSettings& settings, FilterList& filter,
                       std::int32_t type,
                       const std::array<std::string, kFilterAddressCount>& addresses)
{
    for (const std::string& address : addresses)
        if (!ValidateFilterAddress(address))
            return Refusal{"InvalidAddress", std::string(kInvalidFilterAddressMessage)};

    if (type >= 0 && type < kFilterTypes)
        filter.FilterType = type;
    filter.FilterAddress = addresses;
    store.WriteFilterList(filter);

    // What the settings page shows but was never saved stays out of the adapter: the
    // access point runs on its stored settings.
    settings = ReadApSettingsInRange(store);
    ApplyApSettings(api, store, settings, filter);
    return std::nullopt;
}

} // namespace kesto
